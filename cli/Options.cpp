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
    } else if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (IsOutputOption(arg)) {
      if (!TakeOutputDir(args, i, options, parsed.error)) return parsed;
    } else {
      parsed.error = "unknown option " + arg;
      return parsed;
    }
  }
  if (!options.help && !options.version && options.files.empty()) {
    parsed.error = "no problem file given";
  }
  return parsed;
}

const char* UsageText() {
  return "Usage: mnr2txt [options] FILE...\n"
         "Converts quiz problem files (.mnr) into eight genre text files each,\n"
         "FILE0.txt ... FILE7.txt beside FILE (its extension removed).\n"
         "\n"
         "  -o, --output DIR  write the genre files into DIR instead\n"
         "  -l, --list        show each file's eight genres and problem counts\n"
         "                    instead of writing anything\n"
         "      --utf8        write the genre files in UTF-8 (default: Shift-JIS,\n"
         "                    byte for byte what the window program writes)\n"
         "  -h, --help        show this help\n"
         "      --version     show the version\n"
         "\n"
         "Exit status: 0 when every file was converted, 1 when any was not,\n"
         "2 for a command line that cannot be used.\n";
}

}  // namespace cli
