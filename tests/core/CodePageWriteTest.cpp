// Text to CP932: every character of the basic plane is written with the code
// the system's own conversion gives it (glibc's iconv natively, Windows'
// WideCharToMultiByte under Wine), and a character without a CP932 form is
// refused, not replaced.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include "platform/CodePage.h"

namespace {

std::string Utf8(std::uint32_t code) {
  std::string s;
  if (code < 0x80) {
    s += static_cast<char>(code);
  } else if (code < 0x800) {
    s += static_cast<char>(0xC0 | code >> 6);
    s += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | code >> 12);
    s += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (code & 0x3F));
  }
  return s;
}

// The system's CP932 form of one character; empty when it has none.
#ifdef _WIN32
std::string SystemCp932(std::uint32_t code) {
  const wchar_t wide = static_cast<wchar_t>(code);
  char out[4];
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, out, sizeof out, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return {};
  return std::string(out, n);
}
#else
std::string SystemCp932(std::uint32_t code) {
  static const iconv_t cd = iconv_open("CP932", "UTF-8");
  const std::string in = Utf8(code);
  char* src = const_cast<char*>(in.data());
  char out[8];
  char* dst = out;
  std::size_t inLeft = in.size(), room = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &src, &inLeft, &dst, &room) == static_cast<std::size_t>(-1)) return {};
  return std::string(out, sizeof out - room);
}
#endif

TEST(CodePageWrite, EveryCharacterAsTheSystemWritesIt) {
  int written = 0, oneWay = 0;
  for (std::uint32_t code = 1; code < 0x10000; ++code) {
    if (code >= 0xD800 && code < 0xE000) continue;  // surrogates are no characters
    const std::string utf8 = Utf8(code);
    std::string ours;
    std::size_t failedAt = 99;
    const bool ok = codepage::AppendUtf8AsCp932(utf8, ours, failedAt);
    std::string system = SystemCp932(code);
    // Bytes every build's reading refuses (Windows maps them to U+0080 and
    // private-use characters; C libraries do not) are no form either.
    if (system.size() == 1) {
      const auto b = static_cast<unsigned char>(system[0]);
      if (b == 0x80 || b == 0xA0 || b >= 0xFD) system.clear();
    }
    // One-way mappings (glibc writes U+00A2 as 0x8191, which reads back as
    // U+FFE0) are refused, as Windows refuses them without best fit: only
    // a code that reads back as the character is its form.
    std::string back;
    std::size_t invalid = 0;
    codepage::AppendCp932AsUtf8(system, back, invalid);
    if (!system.empty() && back != utf8) {
      ++oneWay;
      system.clear();
    }
    ASSERT_EQ(ok, !system.empty()) << std::hex << "U+" << code;
    if (!ok) {
      ASSERT_EQ(failedAt, 0u);
      continue;
    }
    ASSERT_EQ(ours, system) << std::hex << "U+" << code;
    ASSERT_TRUE(codepage::IsCanonicalCp932(ours)) << std::hex << "U+" << code;
    ++written;
  }
  EXPECT_GT(written, 7000);  // JIS X 0208 and the extensions
  std::printf("written %d, one-way mappings of the system refused %d\n", written, oneWay);
}

TEST(CodePageWrite, DuplicatesAreNotCanonicalAndInvalidBytesAreRefused) {
  EXPECT_TRUE(codepage::IsCanonicalCp932("a\x82\xA0\x87\x54\xFA\x40"));  // あ, Ⅰ (NEC row 13), ⅰ (IBM)
  EXPECT_FALSE(codepage::IsCanonicalCp932("\xFA\x4A"));  // Ⅰ in the IBM extensions
  EXPECT_FALSE(codepage::IsCanonicalCp932("\xEE\xEF"));  // ⅰ in the NEC-selected ones
  EXPECT_FALSE(codepage::IsCanonicalCp932("\x87\x90"));  // ≒ in NEC row 13 (JIS has 81E0)
  EXPECT_FALSE(codepage::IsCanonicalCp932("\x81"));      // a lead byte alone
  EXPECT_FALSE(codepage::IsCanonicalCp932("\xA0"));
  std::string out;
  std::size_t failedAt = 0;
  EXPECT_FALSE(codepage::AppendUtf8AsCp932("ab\xE2\x82\xAC", out, failedAt));  // €
  EXPECT_EQ(failedAt, 2u);
  EXPECT_EQ(out, "ab");
  out.clear();
  EXPECT_FALSE(codepage::AppendUtf8AsCp932("a\xC3", out, failedAt));  // not UTF-8
  EXPECT_EQ(failedAt, 1u);
}

}  // namespace
