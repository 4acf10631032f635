#pragma once
// Conversion of the program's Shift-JIS (code page 932) text for the outside
// world: genre files written in UTF-8, text shown on a terminal or in a
// window, and text read back into problem files; on Windows also between the
// active code page, in which paths are held, and the UTF-16 of the wide
// system calls. The one UTF-8 decoder of the program is here too.
//
// CP932 itself is one table compiled into every build (platform/CodePage.cpp,
// its data made by tools/MakeCp932Table.cpp from the C library's conversion
// and checked against it, and against Windows' own under Wine, by the tests),
// so every system converts alike and nothing is built at start. The Windows
// conversions of the active code page are in platform/win32/CodePage.cpp.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace codepage {

// Appends the UTF-8 form of cp932 to out. Every byte that is not part of a
// valid CP932 character becomes one U+FFFD and is counted in invalidBytes:
// nothing is dropped silently. A lead byte whose next byte does not make a
// character with it is such a byte, and the next byte starts afresh.
// Returns IsCanonicalCp932(cp932), found on the way for most texts.
bool AppendCp932AsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes);

// Appends the CP932 form of utf8 to out. Some characters have several codes
// (NEC row 13, the IBM extensions and the NEC-selected IBM extensions repeat
// characters of each other and of JIS X 0208); each is written with the code
// Windows gives it: a code outside those three groups first, then NEC row 13,
// then the IBM extensions, never the NEC-selected ones when another code
// exists; the lowest code among equals. False when a character has no CP932
// form or the bytes are not UTF-8: failedAt is then the offset in utf8 where
// that character starts, and out holds the characters before it.
bool AppendUtf8AsCp932(std::string_view utf8, std::string& out, std::size_t& failedAt);

// True when every byte of cp932 is part of a valid CP932 character.
bool IsValidCp932(std::string_view cp932);

// True when cp932 is valid CP932 written as AppendUtf8AsCp932 writes it:
// converting it to Unicode and back gives the same bytes.
bool IsCanonicalCp932(std::string_view cp932);

// The code point of the UTF-8 sequence at text[i] and its length in n;
// false for bytes that are not valid UTF-8.
bool DecodeUtf8(std::string_view text, std::size_t i, std::uint32_t& code, std::size_t& n);
// The text with each byte that is not part of valid UTF-8 replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

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
