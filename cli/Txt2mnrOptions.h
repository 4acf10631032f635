#pragma once
// The command line of txt2mnr.

#include <optional>
#include <string>
#include <vector>

namespace cli {

struct Txt2mnrOptions {
  std::optional<std::string> output;        // -o, --output: as typed
  std::optional<std::string> templateFile;  // --template: as typed
  bool force = false;                       // -f, --force
  bool formulaGuard = true;                 // off with --no-formula-guard
  bool check = false;                       // --check
  bool help = false;
  bool version = false;
  std::vector<std::string> files;  // as typed
};

struct ParsedTxt2mnrLine {
  Txt2mnrOptions options;
  std::string error;  // empty when the command line is usable
};

// args without the program name.
ParsedTxt2mnrLine ParseTxt2mnrLine(const std::vector<std::string>& args);

}  // namespace cli
