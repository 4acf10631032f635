#include "cli/txt2mnr/WriteBack.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "cli/ProblemInput.h"
#include "cli/Shell.h"
#include "cli/ShellTexts.h"
#include "cli/txt2mnr/InputBytes.h"
#include "cli/txt2mnr/Texts.h"
#include "format/GenreExport.h"
#include "format/ProblemFileWriter.h"
#include "frontend/import/CsvInput.h"
#include "frontend/import/GenreTextInput.h"
#include "frontend/import/InputBounds.h"
#include "frontend/import/JsonInput.h"
#include "frontend/import/ProblemSetBuilder.h"
#include "path/PathText.h"
#include "platform/FileServices.h"
#include "platform/ReplacementFile.h"

namespace cli {

namespace {

using namespace txt2mnr_texts;

enum class InputKind { kUnknown, kJson, kCsv, kGenreText };

// A name's extension, lower case ("" when it has none).
std::string ExtensionOf(const std::string& name) {
  const std::string fileName = HostNameOf(name);
  std::string extension = fileName.substr(RemoveExtension(fileName).size());
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

// A genre text file is BASE0.txt ... BASE7.txt: its name without ".txt"
// ends in the genre's digit.
InputKind KindOf(const std::string& file) {
  const std::string name = StoredHostPath(file);
  const std::string extension = ExtensionOf(name);
  if (extension == ".json") return InputKind::kJson;
  if (extension == ".csv") return InputKind::kCsv;
  if (extension == ".txt" && name.size() > 4) {
    const char digit = name[name.size() - 5];
    if (digit >= '0' && digit <= '7') return InputKind::kGenreText;
  }
  return InputKind::kUnknown;
}

// What standard input holds, by its first byte after any byte-order mark
// and white space: a JSON begins with "{", a CSV with its header row.
InputKind KindOfBytes(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const std::size_t first = bytes.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && bytes[first] == '{' ? InputKind::kJson : InputKind::kCsv;
}

// The name without its extension, and for genre text also without the
// digit, as the system stores names ("set1.csv." is set1.csv).
std::string BaseOf(const std::string& file, InputKind kind) {
  if (file == kStandardStream) return kStandardInputName;
  const std::string name = StoredHostPath(file);
  std::string base = name.substr(0, name.size() - ExtensionOf(name).size());
  if (kind == InputKind::kGenreText) base.pop_back();
  return base;
}

std::uint64_t BoundOf(InputKind kind) {
  switch (kind) {
    case InputKind::kJson: return importing::kMaxJsonBytes;
    case InputKind::kGenreText: return importing::kMaxGenreTextBytes;
    case InputKind::kCsv: return importing::kMaxCsvBytes;
    case InputKind::kUnknown: break;
  }
  return importing::kMaxJsonBytes;  // standard input, until its bytes tell: the largest
}

// Why an input's bytes were not read, in the language in use.
std::string WhyUnread(InputRead result, InputKind kind) {
  switch (result) {
    case InputRead::kMissing: return shell_texts::Say(shell_texts::kNoSuchFile);
    case InputRead::kFolder: return Say(kFolder);
    case InputRead::kNotARegularFile: return Say(kNotARegularFile);
    case InputRead::kTooLarge: break;
    case InputRead::kRead: return {};
  }
  return texts::Fill(Say(kInputTooLarge), {std::to_string(BoundOf(kind) / importing::kMiB)});
}

void PrintDiagnostics(const importing::Diagnostics& diagnostics, const std::string& shown,
                      const std::string& genreBase) {
  for (const importing::Diagnostic& d : diagnostics.Items()) {
    // For genre text files, each message names the genre's own file.
    const std::string file = genreBase.empty() || d.where.genre < 0 ? shown : GenreFileName(genreBase, d.where.genre);
    LineAbout("").Host(importing::Describe(file, d)).PrintTo(Stream::kErr);
  }
}

// The eight genre files, each read and bounded alone; what cannot be read
// is told in its genre's place.
std::optional<ProblemFileImage> ReadGenreFiles(const std::string& base, const WriteBackSettings& settings,
                                               importing::Diagnostics& diagnostics) {
  importing::ProblemSetBuilder builder(settings.templateHeader, diagnostics);
  std::string bytes;
  for (int g = 0; g < mnr_layout::kGenreCount && !diagnostics.Full(); ++g) {
    try {
      const InputRead read = ReadInputBytes(GenreFileName(base, g), importing::kMaxGenreTextBytes, bytes);
      if (read != InputRead::kRead) {
        diagnostics.Error({0, 0, g}, WhyUnread(read, InputKind::kGenreText));
        continue;
      }
    } catch (const platform::EInOutError& e) {
      diagnostics.Error({0, 0, g}, texts::Fill(Say(kCannotRead), {IoErrorText(e.ErrorCode())}));
      continue;
    }
    importing::ReadGenreText(bytes, g, builder, diagnostics, settings.encoding);
  }
  return diagnostics.HasErrors() ? std::nullopt : builder.Finish();
}

std::optional<ProblemFileImage> Read(InputKind kind, std::string_view bytes, const WriteBackSettings& settings,
                                     importing::Diagnostics& diagnostics) {
  if (kind == InputKind::kJson) return importing::ReadJson(bytes, settings.templateHeader, diagnostics);
  return importing::ReadCsv(bytes, {settings.formulaGuard, settings.templateHeader, settings.encoding}, diagnostics);
}

void WriteToStandardOutput(std::string_view bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) throw StandardOutputError();
}

// The output appears complete or not at all, and without --force never in
// place of a file that appeared at its name meanwhile.
void WriteOutput(const ProblemFileImage& image, const std::string& output, bool force) {
  if (output == kStandardStream) {
    WriteProblemFile(image, WriteToStandardOutput);
    if (std::fflush(stdout) != 0) throw StandardOutputError();
    return;
  }
  using platform::ReplacementFile;
  ReplacementFile out(output, 64 * 1024, force ? ReplacementFile::Existing::kReplace : ReplacementFile::Existing::kKeep);
  WriteProblemFile(image, [&out](std::string_view bytes) { out.Write(bytes); });
  out.Commit();
}

// "txt2mnr: FILE: " a text naming a file (host text).
void TellNaming(const std::string& shown, const char* utf8Text, const std::string& name) {
  LineAbout(shown).Utf8Naming(utf8Text, name).PrintTo(Stream::kErr);
}

// False (told) when the output may not be written: an input of the run,
// written by it already, a folder, or a file that exists without --force.
bool MayWrite(const std::string& shown, const std::string& output, bool force, RunFiles& runFiles) {
  if (output == kStandardStream) return true;
  switch (runFiles.RefusalOf(output)) {
    case RunFiles::Refusal::kNone: break;
    case RunFiles::Refusal::kInput: TellNaming(shown, Say(kInputOfThisRun), output); return false;
    case RunFiles::Refusal::kWritten: TellNaming(shown, Say(kWrittenByThisRun), output); return false;
  }
  runFiles.AddWritten(output);  // the first input naming it has it
  const platform::Entry entry = platform::EntryAt(output);  // a link, even a dangling one, stands there
  if (entry == platform::Entry::kFolder) TellNaming(shown, Say(kOutputIsFolder), output);
  else if (entry != platform::Entry::kNone && !force) TellNaming(shown, Say(kOutputExists), output);
  else return true;
  return false;
}

}  // namespace

std::vector<std::string> FilesRead(const std::string& file) {
  if (KindOf(file) != InputKind::kGenreText) return {file};
  std::vector<std::string> files;
  for (int g = 0; g < mnr_layout::kGenreCount; ++g) files.push_back(GenreFileName(BaseOf(file, InputKind::kGenreText), g));
  return files;
}

bool WriteBack(const std::string& file, const WriteBackSettings& settings, RunFiles& runFiles,
               std::size_t& olderReadersCuts) {
  const bool standardInput = file == kStandardStream;
  const std::string shown = ShownFileName(file);
  InputKind kind = standardInput ? InputKind::kUnknown : KindOf(file);
  if (!standardInput && kind == InputKind::kUnknown) {
    Tell(Stream::kErr, shown, Say(kUnknownKind));
    return false;
  }
  const std::string output = StoredHostPath(settings.output ? *settings.output : BaseOf(file, kind) + ".mnr");
  try {
    if (output != kStandardStream) platform::RequireWindowsForm(output);
  } catch (const platform::EInOutError& e) {
    TellNaming(shown, (Say(kNotWritten) + IoErrorText(e.ErrorCode())).c_str(), output);
    return false;
  }
  if (!MayWrite(shown, output, settings.force, runFiles)) return false;

  importing::Diagnostics diagnostics(settings.verbose);
  std::optional<ProblemFileImage> image;
  if (kind == InputKind::kGenreText) {
    image = ReadGenreFiles(BaseOf(file, kind), settings, diagnostics);
    PrintDiagnostics(diagnostics, shown, BaseOf(file, kind));
  } else {
    std::string bytes;
    try {
      const InputRead read = ReadInputBytes(file, BoundOf(kind), bytes);
      if (read != InputRead::kRead) {
        Tell(Stream::kErr, shown, WhyUnread(read, kind));
        return false;
      }
    } catch (const platform::EInOutError& e) {
      Tell(Stream::kErr, shown, texts::Fill(Say(kCannotRead), {IoErrorText(e.ErrorCode())}));
      return false;
    }
    if (standardInput) kind = KindOfBytes(bytes);
    if (bytes.size() > BoundOf(kind)) {
      Tell(Stream::kErr, shown, WhyUnread(InputRead::kTooLarge, kind));
      return false;
    }
    if (kind == InputKind::kJson && settings.encoding == importing::Encoding::kCp932) {
      Tell(Stream::kErr, shown, Say(kJsonIsUtf8));
      return false;
    }
    image = Read(kind, bytes, settings, diagnostics);
    PrintDiagnostics(diagnostics, shown, "");
  }
  if (!image) {
    if (diagnostics.EncodingAsked()) Tell(Stream::kErr, shown, Say(kSayEncoding));
    Tell(Stream::kErr, shown, Say(kNothingWritten));
    return false;
  }
  try {
    WriteOutput(*image, output, settings.force);
  } catch (const platform::EInOutError& e) {
    TellNaming(shown, (Say(kNotWritten) + IoErrorText(e.ErrorCode())).c_str(), output);
    return false;
  }
  olderReadersCuts += diagnostics.OlderReadersCuts();
  if (output != kStandardStream)
    LineAbout(shown).Utf8Naming(shell_texts::Say(shell_texts::kWrote), output).PrintTo(Stream::kOut);
  return true;
}

}  // namespace cli
