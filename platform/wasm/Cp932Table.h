#pragma once
// CP932 to UTF-8 by tables made from the build machine's own conversion
// (web/tools/MakeCp932Table), for systems whose C library has none: every
// valid character maps as there, every other byte is one U+FFFD.

#include <cstddef>
#include <string>
#include <string_view>

namespace cp932_table {

void AppendAsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes);

}  // namespace cp932_table
