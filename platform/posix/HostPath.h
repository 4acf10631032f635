#pragma once
// POSIX only: what the backend's parts share: Windows-form paths turned into
// host paths, and errno values turned into the Windows codes the rest of the
// program knows.

#include <string>

namespace platform::native {

// 0 and the host path, or the Windows code for a name that has none.
int HostPath(const std::string& windowsPath, std::string& host);
// The Windows code for an errno, as Windows would report the same failure
// (hostPath tells a missing file from a missing folder).
int WindowsCode(int err, const std::string& hostPath);

}  // namespace platform::native
