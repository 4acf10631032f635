#pragma once
// Converting (or listing) one problem file, with its messages.

#include <string>

#include "cli/Options.h"
#include "cli/OutputFiles.h"
#include "format/OutputFormats.h"

namespace cli {

struct ConvertSettings {
  OutputFormat format = OutputFormat::kGenreFiles;
  bool list = false;
  bool utf8 = false;
  FormulaGuard formulaGuard = FormulaGuard::kOn;  // CSV only
  bool toStandardOutput = false;  // -o -
  std::string outputDir;       // Windows form ending in '\'; empty: beside the problem file
  std::string outputDirShown;  // the same as the user typed it; empty: beside
};

// True when the file was converted (or listed). Every failure is reported on
// stderr, naming each output it did not write completely and why. file is
// as typed, "-" for standard input. Never raises.
bool ConvertFile(const std::string& file, const ConvertSettings& settings, RunFiles& runFiles);

// Raised when standard output cannot take the bytes written to it.
struct StandardOutputError {};

}  // namespace cli
