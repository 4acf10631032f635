#pragma once
// txt2mnr --check: what in a problem file an export would lose, for the
// export named.

#include <string>

#include "format/HiddenBytes.h"

namespace cli {

// Prints the report on stdout: a line for each thing the export would lose
// (and each text older readers cut, which it keeps), and "FILE: nothing
// ..." when it loses nothing; a file that is no problem file is reported on
// stderr. True when the file was read whole and the export gives it back
// byte for byte. file as typed. Never raises but for lack of memory.
bool CheckFile(const std::string& file, TextExport exported);

}  // namespace cli
