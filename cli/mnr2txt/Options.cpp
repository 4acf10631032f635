#include "cli/mnr2txt/Options.h"

#include "cli/ProblemInput.h"
#include "cli/Shell.h"
#include "cli/ShellTexts.h"
#include "cli/mnr2txt/Texts.h"

namespace cli {

namespace {

using namespace mnr2txt_texts;

bool TakeOutputDir(const std::vector<std::string>& args, std::size_t& i, Options& options, std::string& error) {
  const std::string arg = args[i];
  switch (TakeValue(args, i, "--output", "-o", options.outputDir)) {
    case ValueTaken::kTaken: return true;
    case ValueTaken::kMissing: error = texts::Fill(Say(kNeedsFolder), {arg}); break;
    case ValueTaken::kEmpty: error = texts::Fill(Say(kNeedsFolder), {"-o"}); break;
  }
  return false;
}

bool TakeFormat(const std::string& arg, Options& options, std::string& error) {
  OutputFormat format;
  if (arg == "--one-file") format = OutputFormat::kOneFile;
  else if (arg == "--csv") format = OutputFormat::kCsv;
  else if (arg == "--json") format = OutputFormat::kJson;
  else if (arg == "--xlsx") format = OutputFormat::kXlsx;
  else return false;
  if (options.format != OutputFormat::kGenreFiles && options.format != format) {
    error = Say(kFormatsExclusive);
  }
  options.format = format;
  return true;
}

// The combinations that cannot work, once every argument is known.
std::string CheckCombination(const Options& options) {
  if (options.help || options.version) return {};
  if (options.files.empty()) return Say(kNoFile);
  for (const std::string& file : options.files) {
    if (file.empty()) return Say(kEmptyName);
  }
  if (options.outputDir == kStandardStream && !options.list) {
    if (options.format == OutputFormat::kGenreFiles) return Say(kStreamNeedsFormat);
    if (options.files.size() != 1) return Say(kStreamTakesOne);
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
    } else if (IsOption(arg, "--output", "-o")) {
      if (!TakeOutputDir(args, i, options, parsed.error)) return parsed;
    } else if (TakeFormat(arg, options, parsed.error)) {
      if (!parsed.error.empty()) return parsed;
    } else {
      parsed.error = texts::Fill(shell_texts::Say(shell_texts::kUnknownOption), {arg});
      return parsed;
    }
  }
  parsed.error = CheckCombination(options);
  return parsed;
}

const char* UsageText() { return Say(kUsage); }

}  // namespace cli
