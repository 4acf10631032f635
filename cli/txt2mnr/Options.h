#pragma once
// The command line of txt2mnr.

#include <optional>
#include <string>
#include <vector>

#include "format/HiddenBytes.h"
#include "frontend/import/TextInput.h"

namespace cli {

struct Txt2mnrOptions {
  std::optional<std::string> output;        // -o, --output: as typed; "-" is standard output
  std::optional<std::string> templateFile;  // --template: as typed
  bool force = false;                       // -f, --force
  bool formulaGuard = true;                 // off with --no-formula-guard
  importing::Encoding encoding = importing::Encoding::kDecide;  // --encoding utf-8|cp932
  bool verbose = false;                     // --verbose: every text older readers cut
  bool check = false;                       // --check[=txt|csv|json]
  TextExport checked = TextExport::kGenreText;
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
