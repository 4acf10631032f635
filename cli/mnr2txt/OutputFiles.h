#pragma once
// Where a problem file's outputs go.

#include <string>
#include <vector>

#include "cli/RunFiles.h"
#include "cli/mnr2txt/Options.h"

namespace cli {

// The host paths of a problem file's outputs, in the form the user typed:
// file as typed ("-" for standard input), into outputDir (as typed), or
// beside the file when that is empty (for standard input: the current
// folder). The base name is file's name without its extension ("stdin" for
// standard input). Every path is as the system stores it (StoredHostPath).
std::vector<std::string> OutputTargets(OutputFormat format, const std::string& file, const std::string& outputDir);

}  // namespace cli
