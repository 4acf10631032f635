#pragma once
// Conversion of the program's Shift-JIS (code page 932) text for the outside
// world: genre files written in UTF-8, and text shown on a terminal. One
// implementation per system, in platform/<system>/CodePage.cpp.

#include <cstddef>
#include <string>
#include <string_view>

namespace codepage {

// Appends the UTF-8 form of cp932 to out. Every byte that is not part of a
// valid CP932 character becomes one U+FFFD and is counted in invalidBytes:
// nothing is dropped silently.
void AppendCp932AsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes);

#ifdef _WIN32
// The UTF-16 form, with the same replacement rule.
std::wstring Cp932ToWide(std::string_view cp932, std::size_t& invalidBytes);
#endif

}  // namespace codepage
