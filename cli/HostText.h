#pragma once
// Text of the host (file names as typed) where the outputs need UTF-8.

#include <string>
#include <vector>

namespace cli {

// POSIX names are taken as UTF-8 already; on Windows the ANSI code page is
// converted. Bytes that are not UTF-8 are left for the writer to replace.
std::string HostTextAsUtf8(const std::string& hostText);

#ifdef _WIN32
// The arguments after the program's name, from the C runtime's UTF-16 split
// of the command line (no character lost to the ANSI code page), as host
// text.
std::vector<std::string> HostArguments(int argc, wchar_t** argv);
#endif

}  // namespace cli
