#include "cli/Convert.h"

#include <memory>
#include <new>

#include "platform/CodePage.h"
#include "cli/OutputFiles.h"
#include "cli/Terminal.h"
#include "format/mnrFormat.h"
#include "frontend/Messages.h"
#include "path/PathText.h"
#include "platform/FileServices.h"

namespace cli {

namespace {

void PrintGenreList(const std::string& file, const T_mnrFormat& problems) {
  TerminalLine().Host(file).Host(":").PrintTo(Stream::kOut);
  for (int g = 0; g < mnr_layout::kGenreCount; ++g) {
    const int count = problems.ProblemCount(g) > 0 ? problems.ProblemCount(g) : 0;
    TerminalLine()
        .Cp932(messages::GenreListLine(g, problems.GenreName(g)))
        .Host("\t")
        .Host(std::to_string(count))
        .PrintTo(Stream::kOut);
  }
}

// After a failed export: every genre file that does not hold what it should
// is named, so no partial file goes unreported.
void ReportUnfinishedFiles(const std::vector<std::string>& names, const T_mnrFormat& problems,
                           TextEncoding encoding) {
  for (int g = 0; g < mnr_layout::kGenreCount; ++g) {
    const FileState state = CheckGenreFile(names[g], ExpectedGenreText(problems, g, encoding));
    if (state == FileState::kComplete) continue;
    const char* what = state == FileState::kMissing ? "not written" : "incomplete";
    TerminalLine().Host("mnr2txt: ").Host(names[g]).Host(": ").Host(what).PrintTo(Stream::kErr);
  }
}

bool Export(const std::string& file, T_mnrFormat& problems, const ConvertSettings& settings) {
  std::size_t invalidBytes = 0;
  const TextEncoding encoding = settings.utf8 ? TextEncoding::kUtf8 : TextEncoding::kShiftJis;

  bool written = false;
  std::string error;
  try {
    written = problems.ExportGenreFiles(settings.outputDir, encoding, invalidBytes);
  } catch (const platform::EInOutError& e) {
    error = messages::WithFullStop(e.what());
  }

  const std::string base = RemoveExtension(FileNamePart(problems.FileName()));
  const auto names = ShownGenreFileNames(file, settings.outputDirShown, base);
  if (written) {
    TerminalLine()
        .Host("mnr2txt: ").Host(file).Host(": ")
        .Cp932(messages::kExported)
        .Host(" " + names.front() + " ... " + names.back())
        .PrintTo(Stream::kOut);
    if (invalidBytes > 0) {
      TerminalLine()
          .Host("mnr2txt: ").Host(file).Host(": warning: ")
          .Host(std::to_string(invalidBytes) + " byte(s) not valid CP932 written as U+FFFD")
          .PrintTo(Stream::kErr);
    }
    return true;
  }
  Report(Stream::kErr, file, error.empty() ? std::string(messages::kExportFailed) : error);
  ReportUnfinishedFiles(names, problems, encoding);
  return false;
}

}  // namespace

bool ConvertFile(const std::string& file, const ConvertSettings& settings) {
  try {
    // Up to 64 MiB of records: on the heap, and freed before the next file.
    auto problems = std::make_unique<T_mnrFormat>();
    if (!problems->LoadFromFile(platform::FullPathFromNative(file))) {
      Report(Stream::kErr, file, messages::kNotAProblemFile);
      return false;
    }
    if (settings.list) {
      PrintGenreList(file, *problems);
      return true;
    }
    return Export(file, *problems, settings);
  } catch (const platform::EInOutError& e) {
    Report(Stream::kErr, file, messages::WithFullStop(e.what()));
  } catch (const std::bad_alloc&) {
    TerminalLine().Host("mnr2txt: ").Host(file).Host(": out of memory").PrintTo(Stream::kErr);
  } catch (const std::exception& e) {
    Report(Stream::kErr, file, e.what());  // the core's other errors speak CP932 too
  }
  return false;
}

}  // namespace cli
