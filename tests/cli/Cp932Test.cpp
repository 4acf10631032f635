#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

#include "platform/CodePage.h"
#include "tests/cli/CliTestEnv.h"

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

std::string Convert(const std::string& cp932, std::size_t& invalid) {
  std::string out;
  codepage::AppendCp932AsUtf8(cp932, out, invalid);
  return out;
}

TEST(Cp932, ValidTextIsTheSystemsConversion) {
  // ABC, half-width ｱ, あ, 表 (trail byte 0x5C), ソ, ～ and the user-defined area
  const std::string text = "ABC\xB1\x82\xA0\x95\x5C\x83\x5C\x81\x60\xF0\x40";
  std::size_t invalid = 0;
  EXPECT_EQ(Convert(text, invalid), "ABC\uFF71\u3042\u8868\u30BD\uFF5E\uE000");
  EXPECT_EQ(invalid, 0u);
  EXPECT_EQ(Convert("", invalid), "");
}

TEST(Cp932, AppendsToWhatIsThere) {
  std::string out = "x";
  std::size_t invalid = 0;
  codepage::AppendCp932AsUtf8("\x82\xA0", out, invalid);
  EXPECT_EQ(out, "x\xE3\x81\x82");
}

TEST(Cp932, EachInvalidByteBecomesOneReplacementAndIsCounted) {
  std::size_t invalid = 0;
  // A lead byte before a byte that cannot trail it: only the lead byte is lost.
  EXPECT_EQ(Convert("A\x81\x7F" "B", invalid), "A" + kReplacement + "\x7F" "B");
  EXPECT_EQ(invalid, 1u);
  // A lead byte at the end, after valid text.
  EXPECT_EQ(Convert("\x82\xA0\x82", invalid), "\xE3\x81\x82" + kReplacement);
  EXPECT_EQ(invalid, 2u);
  // Text after an invalid byte converts normally.
  EXPECT_EQ(Convert("\x81 \x82\xA0", invalid), kReplacement + " \xE3\x81\x82");
  EXPECT_EQ(invalid, 3u);
}

// The same characters and the same count on every build: Windows maps some
// of these bytes (0x80, 0xA0, 0xFD-0xFF) where the C library's CP932 does not.
TEST(Cp932, EveryBuildConvertsAlike) {
  const std::string r = kReplacement;
  const struct {
    const char* cp932;
    std::string utf8;
    std::size_t invalid;
  } cases[] = {
      {"\x80\xA0\xFD\xFE\xFF", r + r + r + r + r, 5},
      {"a\x80" "b\xA0" "c", "a" + r + "b" + r + "c", 2},
      // Lead bytes without a valid trail byte: 0x80, 0xA0 and 0xFD-0xFF never
      // trail, and some pairs are unassigned.
      // Each invalid byte goes alone: 0x90 leads again, 0xA5 is ･.
      {"\x82\x80 \x81\xFD \x88\x90 \x85\x40 \xEA\xA5",
       r + r + " " + r + r + " " + r + r + " " + r + "@ " + r + "\uFF65", 8},
      // Assigned pairs at the edges of the table: the NEC and IBM rows, the
      // last user-defined character, the last kanji.
      {"\x87\x40\x87\x9C\xED\x40\xEE\xFC\xFA\x40\xF9\xFC\xEA\xA4",
       "\u2460\u222A\u7E8A\uFF02\u2170\uE757\u7199", 0},
      // Characters whose mapping differs between CP932 tables.
      {"\x81\x5F\x81\x91\x81\xCA\x5C\x7E", "\uFF3C\uFFE0\uFFE2\\~", 0},
  };
  for (const auto& c : cases) {
    std::size_t invalid = 0;
    EXPECT_EQ(Convert(c.cp932, invalid), c.utf8) << c.utf8;
    EXPECT_EQ(invalid, c.invalid) << c.utf8;
  }
}

#ifndef _WIN32
// The system's converter over the whole text, one U+FFFD per byte it refuses.
std::string ConvertedByIconv(const std::string& cp932, std::size_t& invalid) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  std::string out;
  char* in = const_cast<char*>(cp932.data());
  std::size_t inLeft = cp932.size();
  while (inLeft > 0) {
    char buffer[64];
    char* dst = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t result = iconv(cd, &in, &inLeft, &dst, &room);
    out.append(buffer, dst - buffer);
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += kReplacement;
      ++in;
      --inLeft;
      ++invalid;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

// Every two-byte text, each followed by 'A' and by a lead byte, converts as
// the system's converter does.
TEST(Cp932, EveryByteAndPairAsTheSystemConvertsThem) {
  std::string all, ending;
  for (int b = 0; b < 256; ++b) {
    for (int t = 0; t < 256; ++t) {
      const std::string text = {static_cast<char>(b), static_cast<char>(t), 'A', static_cast<char>(b)};
      all += text;
      std::size_t invalid = 0, expectedInvalid = 0;
      const std::string expected = ConvertedByIconv(text, expectedInvalid);
      ASSERT_EQ(Convert(text, invalid), expected) << b << " " << t;
      ASSERT_EQ(invalid, expectedInvalid) << b << " " << t;
    }
  }
  std::size_t invalid = 0, expectedInvalid = 0;
  EXPECT_EQ(Convert(all, invalid), ConvertedByIconv(all, expectedInvalid));
  EXPECT_EQ(invalid, expectedInvalid);
}

#endif

#ifdef _WIN32
// Windows' own conversion, a character at a time, with the rules every build
// keeps: 0x80, 0xA0 and 0xFD-0xFF are no characters (Windows maps them to
// U+0080 and private-use characters, C libraries do not), and a lead byte
// whose next byte makes no character with it is one U+FFFD.
std::wstring ConvertedBySystem(const std::string& cp932, std::size_t& invalid) {
  std::wstring out;
  const auto convert = [&out](const char* bytes, int size) {
    wchar_t wide[2];
    if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, size, wide, 2) != 1) return false;
    out += wide[0];
    return true;
  };
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    const auto byte = static_cast<unsigned char>(cp932[i]);
    const bool lead = IsDBCSLeadByteEx(932, byte);
    if (lead && i + 1 < cp932.size() && convert(&cp932[i], 2)) {
      ++i;
    } else if (lead || byte == 0x80 || byte == 0xA0 || byte >= 0xFD || !convert(&cp932[i], 1)) {
      out += L'\xFFFD';
      ++invalid;
    }
  }
  return out;
}

// Every two-byte text, each followed by 'A' and by a lead byte, converts as
// Windows converts it, to UTF-16 and to UTF-8.
TEST(Cp932, EveryByteAndPairAsWindowsConvertsThem) {
  for (int b = 0; b < 256; ++b) {
    for (int t = 0; t < 256; ++t) {
      const std::string text = {static_cast<char>(b), static_cast<char>(t), 'A', static_cast<char>(b)};
      std::size_t invalid = 0, wideInvalid = 0, expectedInvalid = 0;
      const std::wstring expected = ConvertedBySystem(text, expectedInvalid);
      ASSERT_EQ(codepage::Cp932ToWide(text, wideInvalid), expected) << b << " " << t;
      ASSERT_EQ(wideInvalid, expectedInvalid) << b << " " << t;
      ASSERT_EQ(Convert(text, invalid), codepage::WideToUtf8(expected)) << b << " " << t;
      ASSERT_EQ(invalid, expectedInvalid) << b << " " << t;
    }
  }
}
#endif

#ifndef _WIN32
TEST(Cp932, SingleBytesOutsideCp932) {
  std::size_t invalid = 0;
  EXPECT_EQ(Convert("\x80\xA0\xFD\xFE\xFF", invalid), kReplacement + kReplacement + kReplacement +
                                                          kReplacement + kReplacement);
  EXPECT_EQ(invalid, 5u);
}
#endif

}  // namespace
