#pragma once
// Conversions between the program's byte texts and the UTF-16 of the wide
// Win32 calls. Genre names and messages are Shift-JIS whatever the system's
// language, so they go through code page 932 explicitly; paths are in the
// system's ANSI code page, the one the file functions of the core use.

#include <string>
#include <string_view>

namespace wide_text {

std::wstring FromShiftJis(std::string_view sjis);
std::wstring FromAnsi(std::string_view ansi);
std::string ToAnsi(std::wstring_view text);

}  // namespace wide_text
