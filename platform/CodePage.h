#pragma once
// Conversion of the program's Shift-JIS (code page 932) text for the outside
// world: genre files written in UTF-8, text shown on a terminal or in a
// window, and text read back into problem files; on Windows also between the
// active code page, in which the core handles paths, and the UTF-16 of the
// wide system calls.
//
// CP932 itself is one table compiled into every build (platform/CodePage.cpp,
// its data made by tools/MakeCp932Table.cpp from the C library's conversion
// and checked against it, and against Windows' own under Wine, by the tests),
// so every system converts alike and nothing is built at start. The Windows
// conversions of the active code page are in platform/win32/CodePage.cpp.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace codepage {

// Appends the UTF-8 form of cp932 to out. Every byte that is not part of a
// valid CP932 character becomes one U+FFFD and is counted in invalidBytes:
// nothing is dropped silently. A lead byte whose next byte does not make a
// character with it is such a byte, and the next byte starts afresh.
void AppendCp932AsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes);

// The room WriteCp932AsUtf8 needs at dst for n bytes of CP932: three UTF-8
// bytes per byte at most, and some to store whole vectors past the end.
constexpr std::size_t Cp932Utf8Room(std::size_t n) { return 3 * n + 16; }

// The same written straight to dst, which has Cp932Utf8Room(cp932.size())
// bytes of room; returns the end of the UTF-8. The bytes up to the room's
// end may be overwritten.
char* WriteCp932AsUtf8(std::string_view cp932, char* dst, std::size_t& invalidBytes);
// The same, and clears canonical when cp932 is not IsCanonicalCp932: what
// the conversion learns on its way, so that only texts with characters of
// the few rows that hold duplicate codes are looked at again.
char* WriteCp932AsUtf8(std::string_view cp932, char* dst, std::size_t& invalidBytes, bool& canonical);

// Appends the CP932 form of utf8 to out. Some characters have several codes
// (NEC row 13, the IBM extensions and the NEC-selected IBM extensions repeat
// characters of each other and of JIS X 0208); each is written with the code
// Windows gives it: a code outside those three groups first, then NEC row 13,
// then the IBM extensions, never the NEC-selected ones when another code
// exists; the lowest code among equals. False when a character has no CP932
// form or the bytes are not UTF-8: failedAt is then the offset in utf8 where
// that character starts, and out holds the characters before it.
bool AppendUtf8AsCp932(std::string_view utf8, std::string& out, std::size_t& failedAt);

// True when cp932 is valid CP932 written as AppendUtf8AsCp932 writes it:
// converting it to Unicode and back gives the same bytes.
bool IsCanonicalCp932(std::string_view cp932);

// The code point of the UTF-8 sequence at text[i] and its length in n;
// false for bytes that are not valid UTF-8.
bool DecodeUtf8(std::string_view text, std::size_t i, std::uint32_t& code, std::size_t& n);

// Every way of converting CP932 to UTF-8 that this build can run on this
// processor: the one AppendCp932AsUtf8 takes first, the portable one last.
// All must give the same bytes and counts; the tests compare them.
struct Cp932ToUtf8Path {
  const char* Name;
  void (*Append)(std::string_view cp932, std::string& out, std::size_t& invalidBytes);
  // WriteCp932AsUtf8 with the check for being canonical.
  char* (*WriteChecked)(std::string_view cp932, char* dst, std::size_t& invalidBytes, bool& canonical);
};
std::span<const Cp932ToUtf8Path> Cp932ToUtf8Paths();

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
