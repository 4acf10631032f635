#pragma once
// The command line of mnr2txt: options and problem file names.

#include <optional>
#include <string>
#include <vector>

namespace cli {

// What each problem file becomes.
enum class OutputFormat {
  kGenreFiles,  // BASE0.txt ... BASE7.txt
  kOneFile,     // --one-file: BASE.txt
  kCsv,         // --csv: BASE.csv
  kJson,        // --json: BASE.json
  kXlsx,        // --xlsx: BASE.xlsx
};

struct Options {
  OutputFormat format = OutputFormat::kGenreFiles;
  bool list = false;     // -l, --list: show the genres instead of exporting
  bool utf8 = false;     // --utf8: write the genre files in UTF-8
  bool formulaGuard = true;  // off with --no-formula-guard: CSV cells as they are
  bool help = false;     // -h, --help
  bool version = false;  // --version
  std::optional<std::string> outputDir;  // -o, --output: as typed; "-" is standard output
  std::vector<std::string> files;        // as typed
};

struct ParsedCommandLine {
  Options options;
  std::string error;  // empty when the command line is usable
};

// args without the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text -h prints.
const char* UsageText();

}  // namespace cli
