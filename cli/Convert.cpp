#include "cli/Convert.h"

#include <cstdio>
#include <memory>
#include <new>

#include "cli/HostText.h"
#include "cli/Mnr2txtTexts.h"
#include "cli/StandardInput.h"
#include "cli/Terminal.h"
#include "format/OutputFormats.h"
#include "format/mnrFormat.h"
#include "frontend/Messages.h"
#include "platform/FileServices.h"
#include "platform/ReplacementFile.h"

namespace cli {

namespace {

using namespace mnr2txt_texts;

// Single-stream outputs are written in pieces of this size; genre files keep
// the 128-byte write-outs of the window program.
constexpr std::size_t kStreamBufferSize = 64 * 1024;

void PrintGenreList(const std::string& file, const T_mnrFormat& problems) {
  TerminalLine().Host(file).Host(":").PrintTo(Stream::kOut);
  for (int g = 0; g < mnr_layout::kGenreCount; ++g) {
    const int count = problems.ProblemCount(g) > 0 ? problems.ProblemCount(g) : 0;
    TerminalLine()
        .Cp932(messages::GenreListLine(g, problems.GenreName(g)))
        .Tab()
        .Host(std::to_string(count))
        .PrintTo(Stream::kOut);
  }
}

void ReportFile(const std::string& shown, const std::string& utf8Message) {
  TerminalLine().Host("mnr2txt: ").Host(shown).Host(": ").Utf8(utf8Message).PrintTo(Stream::kErr);
}

// Writes what the format makes of the problem set (or of genre g) to sink;
// returns the count of bytes written as U+FFFD.
std::size_t WriteOutput(const T_mnrFormat& problems, const std::string& file,
                        const ConvertSettings& settings, int genre, const ByteSink& sink) {
  const TextEncoding encoding = settings.utf8 ? TextEncoding::kUtf8 : TextEncoding::kShiftJis;
  switch (settings.format) {
    case OutputFormat::kGenreFiles: return WriteGenreText(problems, genre, encoding, sink);
    case OutputFormat::kOneFile: return WriteOneFileText(problems, encoding, sink);
    case OutputFormat::kCsv: return WriteCsv(problems, sink, settings.formulaGuard);
    case OutputFormat::kXlsx: return WriteXlsx(problems, sink);
    case OutputFormat::kJson: break;
  }
  return WriteJson(problems, HostTextAsUtf8(ShownFileName(file)), sink);
}

// Writes one output file; false (reported) when it was not written whole.
bool WriteTarget(const OutputTarget& target, const T_mnrFormat& problems, const std::string& file,
                 const ConvertSettings& settings, int genre, RunFiles& runFiles,
                 std::size_t& invalidBytes) {
  const std::string refusal = runFiles.Refusal(target.path, target.shown);
  if (!refusal.empty()) {
    ReportFile(target.shown, refusal);
    return false;
  }
  const bool genreFile = settings.format == OutputFormat::kGenreFiles;
  bool written = false;
  try {
    // Replaces what stands at the name only when complete: after any failure
    // or interrupt the earlier file is still there, untouched.
    platform::ReplacementFile out(target.path,
                                  genreFile ? platform::TextFile::kBufferSize : kStreamBufferSize);
    invalidBytes += WriteOutput(problems, file, settings, genre,
                                [&out](std::string_view bytes) { out.Write(bytes); });
    out.Commit();
    written = true;
  } catch (const platform::EInOutError& e) {
    Report(Stream::kErr, target.shown, messages::WithFullStop(e.what()));
  }
  runFiles.AddWritten(target.path, target.shown);  // written or failed, that name is this run's
  return written;
}

bool WriteToStandardOutput(const T_mnrFormat& problems, const std::string& file,
                           const ConvertSettings& settings, std::size_t& invalidBytes) {
  invalidBytes += WriteOutput(problems, file, settings, 0, [](std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) throw StandardOutputError();
  });
  if (std::fflush(stdout) != 0) throw StandardOutputError();
  return true;
}

bool Export(const std::string& file, const std::string& fullFile, const T_mnrFormat& problems,
            const ConvertSettings& settings, RunFiles& runFiles) {
  std::size_t invalidBytes = 0;
  bool written = true;
  std::vector<OutputTarget> targets;
  if (settings.toStandardOutput) {
    written = WriteToStandardOutput(problems, file, settings, invalidBytes);
  } else {
    targets = OutputTargets(settings.format, file, fullFile, settings.outputDir,
                            settings.outputDirShown);
    for (std::size_t i = 0; i < targets.size(); ++i) {
      if (!WriteTarget(targets[i], problems, file, settings, static_cast<int>(i), runFiles,
                       invalidBytes)) {
        written = false;
      }
    }
  }
  if (invalidBytes > 0) {
    ReportFile(ShownFileName(file), Fill(Say(kInvalidBytes), {std::to_string(invalidBytes)}));
  }
  if (!written) {
    Report(Stream::kErr, ShownFileName(file), messages::kExportFailed);
    return false;
  }
  if (targets.size() > 1) {
    TerminalLine()
        .Host("mnr2txt: ").Host(ShownFileName(file)).Host(": ")
        .Cp932(messages::kExported)
        .Host(" " + targets.front().shown + " ... " + targets.back().shown)
        .PrintTo(Stream::kOut);
  } else if (targets.size() == 1) {
    TerminalLine()
        .Host("mnr2txt: ").Host(ShownFileName(file)).Host(": ")
        .Utf8Naming(Say(kWrote), targets.front().shown)
        .PrintTo(Stream::kOut);
  }
  return true;
}

}  // namespace

bool ConvertFile(const std::string& file, const ConvertSettings& settings, RunFiles& runFiles) {
  const std::string shown = ShownFileName(file);
  try {
    std::string fullFile;
    if (file != kStandardStream) fullFile = platform::FullPathFromNative(file);
    // Up to 64 MiB of records: on the heap, and freed before the next file.
    auto problems = std::make_unique<T_mnrFormat>();
    if (settings.format == OutputFormat::kJson && !settings.list) problems->KeepTrailingBytes(kJsonTrailingBytesKept);
    StandardInputSource standardInput;
    const bool loaded = file == kStandardStream ? problems->LoadFromSource(standardInput, shown)
                                                : problems->LoadFromFile(fullFile);
    if (!loaded) {
      Report(Stream::kErr, shown, messages::kNotAProblemFile);
      return false;
    }
    if (settings.list) {
      PrintGenreList(shown, *problems);
      return true;
    }
    return Export(file, fullFile, *problems, settings, runFiles);
  } catch (const platform::EInOutError& e) {
    Report(Stream::kErr, shown, messages::WithFullStop(e.what()));
  } catch (const StandardOutputError&) {
    throw;  // the run cannot go on
  } catch (const std::bad_alloc&) {
    ReportFile(shown, Say(kOutOfMemory));
  } catch (const std::exception& e) {
    Report(Stream::kErr, shown, e.what());  // the core's other errors speak CP932 too
  }
  return false;
}

}  // namespace cli
