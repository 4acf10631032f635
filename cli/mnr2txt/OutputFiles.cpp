#include "cli/mnr2txt/OutputFiles.h"

#include "cli/ProblemInput.h"
#include "format/GenreExport.h"
#include "path/PathText.h"

namespace cli {

namespace {

std::vector<std::string> Suffixes(OutputFormat format) {
  switch (format) {
    case OutputFormat::kOneFile: return {".txt"};
    case OutputFormat::kCsv: return {".csv"};
    case OutputFormat::kJson: return {".json"};
    case OutputFormat::kXlsx: return {".xlsx"};
    case OutputFormat::kGenreFiles: break;
  }
  return {};
}

}  // namespace

std::vector<std::string> OutputTargets(OutputFormat format, const std::string& file, const std::string& outputDir) {
  const bool standardInput = file == kStandardStream;
  // Named as the system stores names: "set1.mnr." is set1.mnr, its CSV set1.csv.
  const std::string stored = StoredHostPath(file);
  const std::string folder = !outputDir.empty() ? HostFolderPrefix(outputDir)
                             : standardInput    ? std::string()
                                                : HostFolderOf(stored);
  const std::string base =
      folder + (standardInput ? kStandardInputName : RemoveExtension(HostNameOf(stored), NameRule::kHost));
  std::vector<std::string> targets;
  if (format == OutputFormat::kGenreFiles) {
    for (int g = 0; g < mnr_layout::kGenreCount; ++g) targets.push_back(StoredHostPath(GenreFileName(base, g)));
  }
  for (const std::string& suffix : Suffixes(format)) targets.push_back(StoredHostPath(base + suffix));
  return targets;
}

}  // namespace cli
