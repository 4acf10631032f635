#pragma once
// The names of a problem file's eight genre files as the user sees them, and
// the check that tells, after a failed export, which of them are not right.

#include <string>
#include <vector>

#include "format/mnrFormat.h"

namespace cli {

// outputDirShown: the -o directory as typed, or empty when the files go
// beside the problem file. base: the problem file's name without extension.
std::vector<std::string> ShownGenreFileNames(const std::string& problemFile,
                                             const std::string& outputDirShown,
                                             const std::string& base);

// What genre g's file must hold: its lines, each encoded (when an encoder is
// given) and ended with CR LF.
std::string ExpectedGenreText(const T_mnrFormat& problems, int genre, TextEncoding encoding);

enum class FileState { kComplete, kDifferent, kMissing };
// Reads the file back; never raises.
FileState CheckGenreFile(const std::string& shownName, const std::string& expected);

}  // namespace cli
