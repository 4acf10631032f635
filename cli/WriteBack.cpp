#include "cli/WriteBack.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "cli/Terminal.h"
#include "cli/Txt2mnrTexts.h"
#include "format/ProblemFileWriter.h"
#include "frontend/import/CsvInput.h"
#include "frontend/import/GenreTextInput.h"
#include "frontend/import/JsonInput.h"
#include "frontend/import/ProblemSetBuilder.h"
#include "path/PathText.h"
#include "platform/CodePage.h"
#include "platform/FileServices.h"
#include "platform/ReplacementFile.h"

namespace cli {

namespace {

using namespace txt2mnr_texts;

enum class InputKind { kUnknown, kJson, kCsv, kGenreText };

#ifdef _WIN32
constexpr char kSeparators[] = "\\/:";
#else
constexpr char kSeparators[] = "/";
#endif

// A name and its extension, lower case ("" when it has none).
std::string ExtensionOf(const std::string& name) {
  const std::size_t dot = FindLastOf(name, ".");
  const std::size_t separator = FindLastOf(name, kSeparators);
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return {};
  std::string extension = name.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

// A genre text file is BASE0.txt ... BASE7.txt: its name without ".txt"
// ends in the genre's digit.
InputKind KindOf(const std::string& name) {
  const std::string extension = ExtensionOf(name);
  if (extension == ".json") return InputKind::kJson;
  if (extension == ".csv") return InputKind::kCsv;
  if (extension == ".txt" && name.size() > 4) {
    const char digit = name[name.size() - 5];
    if (digit >= '0' && digit <= '7') return InputKind::kGenreText;
  }
  return InputKind::kUnknown;
}

// The name without its extension, and for genre text also without the digit.
std::string BaseOf(const std::string& name, InputKind kind) {
  std::string base = name.substr(0, name.size() - ExtensionOf(name).size());
  if (kind == InputKind::kGenreText) base.pop_back();
  return base;
}

void Print(Stream stream, const std::string& shown, const std::string& utf8Text) {
  TerminalLine().Host(kProgram).Host(shown).Host(": ").Utf8(utf8Text).PrintTo(stream);
}

// "txt2mnr: FILE: " a text naming a file (host text), then the system's
// message (CP932) if any.
void PrintFailure(const std::string& shown, const char* utf8Text, const std::string& name, const char* cp932) {
  TerminalLine().Host(kProgram).Host(shown).Host(": ").Utf8Naming(utf8Text, name).Cp932(cp932).PrintTo(Stream::kErr);
}

void PrintDiagnostics(const importing::Diagnostics& diagnostics, const std::string& shown,
                      const std::string& genreBase) {
  for (const importing::Diagnostic& d : diagnostics.Items()) {
    // For genre text files, each message names the genre's own file.
    const std::string file = genreBase.empty() || d.where.genre < 0
                                 ? shown
                                 : genreBase + std::to_string(d.where.genre) + ".txt";
    TerminalLine().Host(kProgram).Host(importing::Describe(file, d)).PrintTo(Stream::kErr);
  }
}

std::optional<ProblemFileImage> ReadInput(InputKind kind, const std::string& full, const std::string& fullBase,
                                          const WriteBackSettings& settings, importing::Diagnostics& diagnostics) {
  if (kind == InputKind::kGenreText) {
    importing::ProblemSetBuilder builder(settings.templateHeader, diagnostics);
    for (int g = 0; g < mnr_layout::kGenreCount && !diagnostics.Full(); ++g) {
      std::string bytes;
      try {
        bytes = ReadWholeFile(fullBase + std::to_string(g) + ".txt");
      } catch (const platform::EInOutError& e) {
        std::string message;
        std::size_t ignored = 0;
        codepage::AppendCp932AsUtf8(e.what(), message, ignored);
        diagnostics.Error({0, 0, g}, texts::Fill(Say(kCannotRead), {message}));
        continue;
      }
      importing::ReadGenreText(bytes, g, builder, diagnostics);
    }
    return diagnostics.HasErrors() ? std::nullopt : builder.Finish();
  }
  const std::string bytes = ReadWholeFile(full);
  if (kind == InputKind::kJson) return importing::ReadJson(bytes, settings.templateHeader, diagnostics);
  return importing::ReadCsv(bytes, {settings.formulaGuard, settings.templateHeader}, diagnostics);
}

// The output appears complete or not at all, and without --force never in
// place of a file that appeared at its name meanwhile.
void WriteOutput(const ProblemFileImage& image, const std::string& outFull, bool force) {
  using platform::ReplacementFile;
  ReplacementFile out(outFull, 64 * 1024, force ? ReplacementFile::Existing::kReplace : ReplacementFile::Existing::kKeep);
  WriteProblemFile(image, [&out](std::string_view bytes) { out.Write(bytes); });
  out.Commit();
}

}  // namespace

std::string ReadWholeFile(const std::string& fullPath) {
  // In pieces, joined once at the end: growing one string by doubling
  // would hold up to three times the file for a moment.
  platform::BlockFile file(fullPath);
  std::vector<std::string> pieces;
  std::size_t total = 0, n;
  do {
    pieces.emplace_back(1 << 20, '\0');
    n = file.Read(pieces.back().data(), pieces.back().size());
    pieces.back().resize(n);
    total += n;
  } while (n > 0);
  file.Close();
  std::string bytes;
  bytes.reserve(total);
  for (std::string& piece : pieces) {
    bytes += piece;
    std::string().swap(piece);
  }
  return bytes;
}

bool WriteBack(const std::string& file, const WriteBackSettings& settings) {
  const InputKind kind = KindOf(file);
  if (kind == InputKind::kUnknown) {
    Print(Stream::kErr, file, Say(kUnknownKind));
    return false;
  }
  std::string full, outFull;
  const std::string outShown = settings.output ? *settings.output : BaseOf(file, kind) + ".mnr";
  try {
    full = platform::FullPathFromNative(file);
  } catch (const platform::EInOutError& e) {
    PrintFailure(file, texts::Fill(Say(kCannotRead), {""}).c_str(), "", e.what());
    return false;
  }
  try {
    outFull = platform::FullPathFromNative(outShown);
  } catch (const platform::EInOutError& e) {
    PrintFailure(file, Say(kNotWritten), outShown, e.what());
    return false;
  }
  if (!settings.force && (platform::FileExists(outFull) || platform::DirectoryExists(outFull))) {
    PrintFailure(file, Say(kOutputExists), outShown, "");
    return false;
  }
  const std::string genreBase = kind == InputKind::kGenreText ? BaseOf(file, kind) : "";
  importing::Diagnostics diagnostics;
  std::optional<ProblemFileImage> image;
  try {
    image = ReadInput(kind, full, BaseOf(full, kind), settings, diagnostics);
  } catch (const platform::EInOutError& e) {
    PrintDiagnostics(diagnostics, file, genreBase);
    PrintFailure(file, texts::Fill(Say(kCannotRead), {""}).c_str(), "", e.what());
    return false;
  }
  PrintDiagnostics(diagnostics, file, genreBase);
  if (!image) {
    Print(Stream::kErr, file, Say(kNothingWritten));
    return false;
  }
  try {
    WriteOutput(*image, outFull, settings.force);
  } catch (const platform::EInOutError& e) {
    PrintFailure(file, Say(kNotWritten), outShown, e.what());
    return false;
  }
  TerminalLine().Host(kProgram).Host(file).Host(": ").Utf8Naming(Say(kWrote), outShown).PrintTo(Stream::kOut);
  return true;
}

}  // namespace cli
