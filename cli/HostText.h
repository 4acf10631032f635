#pragma once
// Text of the host (file names as typed) where the outputs need UTF-8.

#include <string>

namespace cli {

// POSIX names are taken as UTF-8 already; on Windows the ANSI code page is
// converted. Bytes that are not UTF-8 are left for the writer to replace.
std::string HostTextAsUtf8(const std::string& hostText);

}  // namespace cli
