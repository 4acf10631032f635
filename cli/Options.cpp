#include "cli/Options.h"

namespace cli {

namespace {

// "--output=DIR" and "-oDIR" carry their value; "-o DIR" takes the next one.
bool TakeOutputDir(const std::vector<std::string>& args, std::size_t& i,
                   Options& options, std::string& error) {
  const std::string& arg = args[i];
  if (arg.rfind("--output=", 0) == 0) {
    options.outputDir = arg.substr(9);
  } else if (arg.size() > 2 && arg.rfind("-o", 0) == 0) {
    options.outputDir = arg.substr(2);
  } else if (i + 1 < args.size()) {
    options.outputDir = args[++i];
  } else {
    error = "option " + arg + " needs a directory";
    return false;
  }
  if (options.outputDir->empty()) {
    error = "option -o needs a directory";
    return false;
  }
  return true;
}

bool IsOutputOption(const std::string& arg) {
  return arg == "-o" || arg == "--output" || arg.rfind("--output=", 0) == 0 ||
         (arg.size() > 2 && arg.rfind("-o", 0) == 0);
}

bool TakeFormat(const std::string& arg, Options& options, std::string& error) {
  OutputFormat format;
  if (arg == "--one-file") format = OutputFormat::kOneFile;
  else if (arg == "--csv") format = OutputFormat::kCsv;
  else if (arg == "--json") format = OutputFormat::kJson;
  else if (arg == "--xlsx") format = OutputFormat::kXlsx;
  else return false;
  if (options.format != OutputFormat::kGenreFiles && options.format != format) {
    error = "--one-file, --csv, --json and --xlsx exclude each other";
  }
  options.format = format;
  return true;
}

// The combinations that cannot work, once every argument is known.
std::string CheckCombination(const Options& options) {
  if (options.help || options.version) return {};
  if (options.files.empty()) return "no problem file given";
  for (const std::string& file : options.files) {
    if (file.empty()) return "empty problem file name";
  }
  if (options.outputDir == kStandardStream && !options.list) {
    if (options.format == OutputFormat::kGenreFiles) {
      return "-o - needs --one-file, --csv, --json or --xlsx (eight files cannot share one stream)";
    }
    if (options.files.size() != 1) return "-o - takes one problem file";
  }
  return {};
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  ParsedCommandLine parsed;
  Options& options = parsed.options;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // "-" alone is a name, as most tools treat it; "--" ends the options.
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      options.files.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "-l" || arg == "--list") {
      options.list = true;
    } else if (arg == "--utf8") {
      options.utf8 = true;
    } else if (arg == "--no-formula-guard") {
      options.formulaGuard = false;
    } else if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (IsOutputOption(arg)) {
      if (!TakeOutputDir(args, i, options, parsed.error)) return parsed;
    } else if (TakeFormat(arg, options, parsed.error)) {
      if (!parsed.error.empty()) return parsed;
    } else {
      parsed.error = "unknown option " + arg;
      return parsed;
    }
  }
  parsed.error = CheckCombination(options);
  return parsed;
}

const char* UsageText() {
  return "Usage: mnr2txt [options] FILE...\n"
         "Converts quiz problem files (.mnr) into eight genre text files each,\n"
         "FILE0.txt ... FILE7.txt beside FILE (its extension removed).\n"
         "FILE - reads the problem file from standard input (named stdin).\n"
         "\n"
         "      --one-file    write FILE.txt: the eight genre files in one\n"
         "      --csv         write FILE.csv: one row per problem (UTF-8, CR LF)\n"
         "      --json        write FILE.json: the whole problem set (UTF-8)\n"
         "      --xlsx        write FILE.xlsx: one worksheet of the CSV's rows, every\n"
         "                    text a text cell\n"
         "  -o, --output DIR  write into DIR instead; -o - writes the one file,\n"
         "                    CSV, JSON or XLSX of a single FILE to standard output\n"
         "  -l, --list        show each file's eight genres and problem counts\n"
         "                    instead of writing anything\n"
         "      --utf8        write genre files and --one-file in UTF-8 (default: Shift-JIS,\n"
         "                    byte for byte what the window program writes)\n"
         "      --no-formula-guard\n"
         "                    write CSV cells as they are: by default a text that\n"
         "                    begins with = + - @ ' TAB or CR gets a leading ', so that\n"
         "                    a spreadsheet shows it instead of running it\n"
         "  -h, --help        show this help\n"
         "      --version     show the version\n"
         "\n"
         "Exit status: 0 when every file was converted, 1 when any was not,\n"
         "2 for a command line that cannot be used.\n";
}

}  // namespace cli
