#pragma once
// Converting (or listing) one problem file as it is read, with its messages.

#include <string>

#include "cli/mnr2txt/Options.h"
#include "cli/mnr2txt/OutputFiles.h"
#include "format/OutputFormats.h"

namespace cli {

struct ConvertSettings {
  OutputFormat format = OutputFormat::kGenreFiles;
  bool list = false;
  bool utf8 = false;
  FormulaGuard formulaGuard = FormulaGuard::kOn;  // CSV only
  bool toStandardOutput = false;  // -o -
  std::string outputDir;          // as typed; empty: beside the problem file
};

// True when the file was converted (or listed). Every failure is reported on
// stderr, naming each output it did not write completely and why; no output
// is put in place before the whole problem file was read. file is as typed,
// "-" for standard input. Raises only StandardOutputError.
bool ConvertFile(const std::string& file, const ConvertSettings& settings, RunFiles& runFiles);

}  // namespace cli
