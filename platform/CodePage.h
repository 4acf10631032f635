#pragma once
// Conversion of the program's Shift-JIS (code page 932) text for the outside
// world: genre files written in UTF-8, and text shown on a terminal or in a
// window; on Windows also between the active code page, in which the core
// handles paths, and the UTF-16 of the wide system calls. One implementation
// per system, in platform/<system>/CodePage.cpp.

#include <cstddef>
#include <string>
#include <string_view>

namespace codepage {

// Appends the UTF-8 form of cp932 to out. Every byte that is not part of a
// valid CP932 character becomes one U+FFFD and is counted in invalidBytes:
// nothing is dropped silently. Every system gives the same result.
void AppendCp932AsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes);

// Appends the CP932 form of utf8 to out, each character with the code
// Windows gives it (platform/Cp932Encoder.h has the rule for characters with
// several codes). False when a character has no CP932 form or the bytes are
// not UTF-8: failedAt is then the offset in utf8 where that character starts,
// and out holds the characters before it. Every system gives the same result.
bool AppendUtf8AsCp932(std::string_view utf8, std::string& out, std::size_t& failedAt);

// True when cp932 is valid CP932 written as AppendUtf8AsCp932 writes it:
// converting it to Unicode and back gives the same bytes.
bool IsCanonicalCp932(std::string_view cp932);

#ifdef _WIN32
// The UTF-16 form, with the same replacement rule.
std::wstring Cp932ToWide(std::string_view cp932, std::size_t& invalidBytes);
// The same, for text that is only shown: U+FFFD is warning enough.
std::wstring Cp932ToWide(std::string_view cp932);

// Between the active code page (UTF-8 under the programs' manifests, else
// the system's ANSI code page) and UTF-16.
std::wstring AnsiToWide(std::string_view ansi);
std::string WideToAnsi(std::wstring_view wide);

std::string WideToUtf8(std::wstring_view wide);
#endif

}  // namespace codepage
