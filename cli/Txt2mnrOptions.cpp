#include "cli/Txt2mnrOptions.h"

#include "cli/Txt2mnrTexts.h"

namespace cli {

namespace {

using namespace txt2mnr_texts;

// "--name=VALUE" and "-xVALUE" carry their value; "--name VALUE" and
// "-x VALUE" take the next argument.
bool TakeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& longName,
               const std::string& shortName, std::optional<std::string>& value, std::string& error) {
  const std::string& arg = args[i];
  if (arg.rfind(longName + "=", 0) == 0) {
    value = arg.substr(longName.size() + 1);
  } else if (!shortName.empty() && arg.size() > 2 && arg.rfind(shortName, 0) == 0) {
    value = arg.substr(2);
  } else if (i + 1 < args.size()) {
    value = args[++i];
  } else {
    error = texts::Fill(Say(kNeedsFile), {arg});
    return false;
  }
  if (value->empty()) error = texts::Fill(Say(kNeedsFile), {longName});
  return error.empty();
}

bool Is(const std::string& arg, const std::string& longName, const std::string& shortName) {
  return arg == longName || arg.rfind(longName + "=", 0) == 0 ||
         (!shortName.empty() && arg.rfind(shortName, 0) == 0 && arg != "-");
}

}  // namespace

ParsedTxt2mnrLine ParseTxt2mnrLine(const std::vector<std::string>& args) {
  ParsedTxt2mnrLine parsed;
  Txt2mnrOptions& o = parsed.options;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      o.files.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "-f" || arg == "--force") {
      o.force = true;
    } else if (arg == "--no-formula-guard") {
      o.formulaGuard = false;
    } else if (arg == "--check") {
      o.check = true;
    } else if (arg == "-h" || arg == "--help") {
      o.help = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (Is(arg, "--output", "-o")) {
      if (!TakeValue(args, i, "--output", "-o", o.output, parsed.error)) return parsed;
    } else if (Is(arg, "--template", "")) {
      if (!TakeValue(args, i, "--template", "", o.templateFile, parsed.error)) return parsed;
    } else {
      parsed.error = texts::Fill(Say(kUnknownOption), {arg});
      return parsed;
    }
  }
  if (o.help || o.version) return parsed;
  if (o.files.empty()) parsed.error = Say(kNoFile);
  for (const std::string& file : o.files)
    if (file.empty()) parsed.error = Say(kEmptyName);
  if (parsed.error.empty() && o.check && (o.output || o.force || o.templateFile || !o.formulaGuard))
    parsed.error = Say(kCheckAlone);
  if (parsed.error.empty() && o.output && o.files.size() != 1) parsed.error = Say(kOneInput);
  return parsed;
}

}  // namespace cli
