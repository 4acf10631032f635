#pragma once
// The bytes of one input of txt2mnr: a regular file by its host path, or
// standard input for "-", and never more than can describe a problem file.
// A device, a FIFO or a folder is refused before anything is read from it,
// a file larger than the bound before it is read, a stream once it passes
// the bound.

#include <cstdint>
#include <string>

namespace cli {

enum class InputRead { kRead, kMissing, kFolder, kNotARegularFile, kTooLarge };

// The bytes of file (as typed) into bytes, at most bound of them. Raises
// platform::EInOutError when the file cannot be opened or read.
InputRead ReadInputBytes(const std::string& file, std::uint64_t bound, std::string& bytes);

}  // namespace cli
