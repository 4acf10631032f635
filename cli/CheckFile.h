#pragma once
// txt2mnr --check: what in a problem file a text export would not show.

#include <string>

namespace cli {

// Prints the report on stdout ("FILE: nothing ..." when there is nothing to
// tell); a file that is no problem file is reported on stderr. True when the
// file loaded and showed nothing hidden. file as typed. Never raises but for
// lack of memory.
bool CheckFile(const std::string& file);

}  // namespace cli
