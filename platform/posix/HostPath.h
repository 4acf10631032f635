#pragma once
// POSIX only: errno values turned into the Windows codes the rest of the
// program knows.

#include <string>

namespace platform::native {

// The Windows code for an errno, as Windows would report the same failure
// (hostPath tells a missing file from a missing folder).
int WindowsCode(int err, const std::string& hostPath);

}  // namespace platform::native
