#include "cli/mnr2txt/Convert.h"

#include <cstdio>
#include <memory>
#include <new>

#include "cli/HostText.h"
#include "cli/ProblemInput.h"
#include "cli/Shell.h"
#include "cli/ShellTexts.h"
#include "cli/mnr2txt/Texts.h"
#include "format/GenreExport.h"
#include "format/ProblemReader.h"
#include "frontend/Messages.h"
#include "path/PathText.h"
#include "platform/ReplacementFile.h"

namespace cli {

namespace {

using namespace mnr2txt_texts;

// Every output is written in pieces of this size (the window program keeps
// its 128-byte write-outs).
constexpr std::size_t kWriteSize = 64 * 1024;

void PrintGenreList(const std::string& shown, const HeaderBytes& header) {
  TerminalLine().Host(shown).Host(":").PrintTo(Stream::kOut);
  for (int g = 0; g < mnr_layout::kGenreCount; ++g) {
    TerminalLine()
        .Cp932(messages::GenreListLine(g, std::string(mnr_header::GenreName(header, g))))
        .Tab()
        .Host(std::to_string(mnr_header::ListedCount(header, g)))
        .PrintTo(Stream::kOut);
  }
}

void TellIoError(const std::string& name, const platform::EInOutError& error) {
  Tell(Stream::kErr, name, IoErrorText(error.ErrorCode(), true));
}

// Writes what a single-stream format makes of the problem set to sink (the
// genre files go through WriteGenreFiles); returns the count of bytes written
// as U+FFFD.
std::size_t WriteOutput(ProblemSource& problems, const std::string& file, const ConvertSettings& settings,
                        const ByteSink& sink) {
  const TextEncoding encoding = settings.utf8 ? TextEncoding::kUtf8 : TextEncoding::kShiftJis;
  switch (settings.format) {
    case OutputFormat::kOneFile: return WriteOneFileText(problems, encoding, sink);
    case OutputFormat::kCsv: return WriteCsv(problems, sink, settings.formulaGuard);
    case OutputFormat::kXlsx: return WriteXlsx(problems, sink);
    case OutputFormat::kGenreFiles:
    case OutputFormat::kJson: break;
  }
  return WriteJson(problems, HostTextAsUtf8(ShownFileName(file)), sink);
}

// One output while it is written, held private until the run puts it in
// place; each name a run tried to write, whether it was written or failed,
// is that run's.
class OutputFile {
 public:
  OutputFile(const std::string& path, RunFiles& runFiles)
      : path_(path), runFiles_(runFiles), file_(path, kWriteSize) {
    runFiles_.AddWritten(path_);
  }
  void Write(std::string_view bytes) { file_.Write(bytes); }
  ByteSink Sink() {
    return ByteSink([this](std::string_view bytes) { file_.Write(bytes); },
                    [this](std::uint64_t offset, std::string_view bytes) { file_.Rewrite(offset, bytes); });
  }
  platform::ReplacementFile& File() { return file_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  RunFiles& runFiles_;
  platform::ReplacementFile file_;
};

// The file for one output, or none (told) when it cannot be written.
std::unique_ptr<OutputFile> Open(const std::string& path, RunFiles& runFiles) {
  switch (runFiles.RefusalOf(path)) {
    case RunFiles::Refusal::kNone: break;
    case RunFiles::Refusal::kInput: Tell(Stream::kErr, path, Say(kInputOfThisRun)); return nullptr;
    case RunFiles::Refusal::kWritten:
      Tell(Stream::kErr, path, shell_texts::Say(shell_texts::kWrittenByThisRun));
      return nullptr;
  }
  try {
    return std::make_unique<OutputFile>(path, runFiles);
  } catch (const platform::EInOutError& e) {
    TellIoError(path, e);
    runFiles.AddWritten(path);
    return nullptr;
  }
}

// A write that failed: an I/O error is told for that output (others pass on).
void FailedWrite(OutputFile& out) {
  try {
    throw;
  } catch (const platform::EInOutError& e) {
    TellIoError(out.Path(), e);
  }
}

// Writes the outputs into private files, told when one fails. The eight
// genre files are one set: the first that fails ends it. False when any was
// not written whole; the outputs written are left in written.
bool WriteTargets(const std::vector<std::string>& targets, ProblemSource& problems, const std::string& file,
                  const ConvertSettings& settings, RunFiles& runFiles, std::vector<std::unique_ptr<OutputFile>>& written,
                  std::size_t& invalidBytes) {
  written.resize(targets.size());
  if (settings.format == OutputFormat::kGenreFiles) {
    bool failed = false;
    return WriteGenreFiles(
        problems, settings.utf8 ? TextEncoding::kUtf8 : TextEncoding::kShiftJis, invalidBytes,
        [&](int g) {
          if (!failed && !(written[g] = Open(targets[g], runFiles))) failed = true;
          return written[g].get();
        },
        [](OutputFile&) {},
        [&](OutputFile& out, int g) {
          FailedWrite(out);
          written[g].reset();
          failed = true;
        });
  }
  written[0] = Open(targets.front(), runFiles);
  if (!written[0]) return false;
  try {
    invalidBytes += WriteOutput(problems, file, settings, written[0]->Sink());
    return true;
  } catch (...) {
    FailedWrite(*written[0]);
    written[0].reset();
    return false;
  }
}

void TellSetLeft(const std::string& shown, const std::string& first, const std::string& last) {
  Tell(Stream::kErr, shown, texts::Fill(Say(kSetLeftAsItWas), {first, last}));
}

// Puts the outputs of a problem file in place, all together; false (told)
// when any could not be. Those renamed before a failing one stay replaced.
bool PutInPlace(const std::vector<std::unique_ptr<OutputFile>>& outputs, const std::string& shown) {
  std::vector<platform::ReplacementFile*> files;
  for (const auto& output : outputs) files.push_back(&output->File());
  std::size_t failed = 0, renamed = 0;
  try {
    platform::CommitTogether(files, failed, renamed);
    return true;
  } catch (const platform::EInOutError& e) {
    TellIoError(outputs[failed]->Path(), e);
  }
  if (renamed > 0) {
    Tell(Stream::kErr, shown,
         texts::Fill(Say(kSetPartlyReplaced), {outputs.front()->Path(), outputs[renamed - 1]->Path(), outputs[failed]->Path()}));
  } else if (outputs.size() > 1) {
    TellSetLeft(shown, outputs.front()->Path(), outputs.back()->Path());
  }
  return false;
}

void WriteToStandardOutput(std::string_view bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) throw StandardOutputError();
}

// Standard output takes the bytes as they come; a workbook, whose headers
// are rewritten, is held in a private file until it is complete.
void WriteStandardOutput(ProblemSource& problems, const std::string& file, const ConvertSettings& settings,
                         std::size_t& invalidBytes) {
  if (settings.format == OutputFormat::kXlsx) {
    platform::ReplacementFile held(HostFolderPrefix(platform::TemporaryFolder()) + "stdout.xlsx", kWriteSize);
    const ByteSink sink([&](std::string_view bytes) { held.Write(bytes); },
                        [&](std::uint64_t offset, std::string_view bytes) { held.Rewrite(offset, bytes); });
    invalidBytes += WriteOutput(problems, file, settings, sink);
    held.CopyTo(WriteToStandardOutput);
  } else {
    invalidBytes += WriteOutput(problems, file, settings, WriteToStandardOutput);  // never genre files (Options)
  }
  if (std::fflush(stdout) != 0) throw StandardOutputError();
}

bool Export(ProblemReader& reader, const std::string& file, const ConvertSettings& settings, RunFiles& runFiles) {
  const std::string shown = ShownFileName(file);
  std::size_t invalidBytes = 0;
  bool written = true;
  std::vector<std::string> targets;
  std::vector<std::unique_ptr<OutputFile>> outputs;
  if (settings.toStandardOutput) {
    WriteStandardOutput(reader, file, settings, invalidBytes);
  } else {
    targets = OutputTargets(settings.format, file, settings.outputDir);
    platform::RequireWindowsForm(targets.front());
    written = WriteTargets(targets, reader, file, settings, runFiles, outputs, invalidBytes);
  }
  // Nothing is put in place for bytes that turn out to be no problem file.
  if (!reader.ReadToEnd()) {
    TellCp932(Stream::kErr, shown, messages::kNotAProblemFile);
    return false;
  }
  if (!written && targets.size() > 1) {
    outputs.clear();  // none is put in place
    TellSetLeft(shown, targets.front(), targets.back());
  } else if (written && !targets.empty()) {
    written = PutInPlace(outputs, shown);
  }
  if (invalidBytes > 0) Tell(Stream::kErr, shown, texts::Fill(Say(kInvalidBytes), {std::to_string(invalidBytes)}));
  if (!written) {
    TellCp932(Stream::kErr, shown, messages::kExportFailed);
    return false;
  }
  if (targets.size() > 1) {
    LineAbout(shown).Cp932(messages::kExported).Host(" " + targets.front() + " ... " + targets.back()).PrintTo(Stream::kOut);
  } else if (targets.size() == 1) {
    LineAbout(shown).Utf8Naming(shell_texts::Say(shell_texts::kWrote), targets.front()).PrintTo(Stream::kOut);
  }
  return true;
}

}  // namespace

bool ConvertFile(const std::string& file, const ConvertSettings& settings, RunFiles& runFiles) {
  const std::string shown = ShownFileName(file);
  try {
    ProblemInput input(file);
    if (input.Missing()) {
      Tell(Stream::kErr, shown, shell_texts::Say(shell_texts::kNoSuchFile));
      return false;
    }
    // The JSON keeps the bytes after the last record, as far as it keeps them.
    ProblemReader reader(input, settings.format == OutputFormat::kJson && !settings.list ? kJsonTrailingBytesKept : 0);
    if (!input.Exists() || !reader.ReadHeader()) {
      TellCp932(Stream::kErr, shown, messages::kNotAProblemFile);
      return false;
    }
    if (settings.list) {
      if (!reader.ReadToEnd()) {
        TellCp932(Stream::kErr, shown, messages::kNotAProblemFile);
        return false;
      }
      PrintGenreList(shown, reader.Header());
      return true;
    }
    return Export(reader, file, settings, runFiles);
  } catch (const platform::EInOutError& e) {
    TellIoError(shown, e);
  } catch (const StandardOutputError&) {
    throw;  // the run cannot go on
  } catch (const std::bad_alloc&) {
    Tell(Stream::kErr, shown, shell_texts::Say(shell_texts::kOutOfMemory));
  } catch (const std::exception& e) {
    TellCp932(Stream::kErr, shown, e.what());  // the core's other errors speak CP932 too
  }
  return false;
}

}  // namespace cli
