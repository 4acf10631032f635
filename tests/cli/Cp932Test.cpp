#include <gtest/gtest.h>

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
  EXPECT_EQ(Convert(text, invalid), cli_test::Utf8Of(text));
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

#ifndef _WIN32
TEST(Cp932, SingleBytesOutsideCp932) {
  std::size_t invalid = 0;
  EXPECT_EQ(Convert("\x80\xA0\xFD\xFE\xFF", invalid), kReplacement + kReplacement + kReplacement +
                                                          kReplacement + kReplacement);
  EXPECT_EQ(invalid, 5u);
}
#endif

}  // namespace
