#include "cli/txt2mnr/Options.h"

#include "cli/Shell.h"
#include "cli/ShellTexts.h"
#include "cli/txt2mnr/Texts.h"

namespace cli {

namespace {

using namespace txt2mnr_texts;

bool TakeFile(const std::vector<std::string>& args, std::size_t& i, std::string_view longName,
              std::string_view shortName, std::optional<std::string>& value, std::string& error) {
  const std::string arg = args[i];
  switch (TakeValue(args, i, longName, shortName, value)) {
    case ValueTaken::kTaken: return true;
    case ValueTaken::kMissing: error = texts::Fill(Say(kNeedsFile), {arg}); break;
    case ValueTaken::kEmpty: error = texts::Fill(Say(kNeedsFile), {std::string(longName)}); break;
  }
  return false;
}

bool TakeEncoding(const std::vector<std::string>& args, std::size_t& i, importing::Encoding& encoding,
                  std::string& error) {
  std::optional<std::string> value;
  if (TakeValue(args, i, "--encoding", "", value) == ValueTaken::kTaken) {
    if (*value == "utf-8") encoding = importing::Encoding::kUtf8;
    if (*value == "cp932") encoding = importing::Encoding::kCp932;
    if (*value == "utf-8" || *value == "cp932") return true;
  }
  error = Say(kEncodingValues);
  return false;
}

bool TakeExport(const std::string& value, TextExport& checked, std::string& error) {
  if (value == "txt") checked = TextExport::kGenreText;
  else if (value == "csv") checked = TextExport::kCsv;
  else if (value == "json") checked = TextExport::kJson;
  else error = Say(kCheckValues);
  return error.empty();
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
    } else if (arg.starts_with("--check=")) {
      o.check = true;
      if (!TakeExport(arg.substr(8), o.checked, parsed.error)) return parsed;
    } else if (arg == "--verbose") {
      o.verbose = true;
    } else if (IsOption(arg, "--encoding", "")) {
      if (!TakeEncoding(args, i, o.encoding, parsed.error)) return parsed;
    } else if (arg == "-h" || arg == "--help") {
      o.help = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (IsOption(arg, "--output", "-o")) {
      if (!TakeFile(args, i, "--output", "-o", o.output, parsed.error)) return parsed;
    } else if (IsOption(arg, "--template", "")) {
      if (!TakeFile(args, i, "--template", "", o.templateFile, parsed.error)) return parsed;
    } else {
      parsed.error = texts::Fill(shell_texts::Say(shell_texts::kUnknownOption), {arg});
      return parsed;
    }
  }
  if (o.help || o.version) return parsed;
  if (o.files.empty()) parsed.error = Say(kNoFile);
  for (const std::string& file : o.files)
    if (file.empty()) parsed.error = Say(kEmptyName);
  if (parsed.error.empty() && o.check &&
      (o.output || o.force || o.templateFile || !o.formulaGuard || o.encoding != importing::Encoding::kDecide))
    parsed.error = Say(kCheckAlone);
  if (parsed.error.empty() && o.output && o.files.size() != 1) parsed.error = Say(kOneInput);
  return parsed;
}

}  // namespace cli
