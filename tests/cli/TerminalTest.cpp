// What reaches the terminal for a line: the code points that would steer it
// or reorder the line in their "<U+XXXX>" form, in UTF-8 (POSIX) and in
// UTF-16 (Windows consoles), and nothing else changed.

#include <gtest/gtest.h>

#include "cli/Terminal.h"

namespace {

TEST(Terminal, C1AndBidirectionalControlsAreShownByNumberAndNothingElse) {
  // U+0080, U+009F, U+202A ... U+202E, U+2066 ... U+2069 and their neighbours
  // U+007F, U+00A0, U+2029, U+202F, U+2065, U+206A.
  EXPECT_EQ(cli::ShowCodePoints(std::string("a\xC2\x80" "b\xC2\x9F\xC2\xA0\x7F"
                                            "\xE2\x80\xA9\xE2\x80\xAA\xE2\x80\xAC\xE2\x80\xAE\xE2\x80\xAF"
                                            "\xE2\x81\xA5\xE2\x81\xA6\xE2\x81\xA9\xE2\x81\xAA")),
            "a<U+0080>b<U+009F>\xC2\xA0\x7F"
            "\xE2\x80\xA9<U+202A><U+202C><U+202E>\xE2\x80\xAF"
            "\xE2\x81\xA5<U+2066><U+2069>\xE2\x81\xAA");
  // Cut-off and stray bytes pass as they are.
  for (const std::string bytes : {"\xC2", "x\xE2\x80", "\x9B", "\x80\xAE"}) {
    EXPECT_EQ(cli::ShowCodePoints(bytes), bytes);
  }
  EXPECT_EQ(cli::ShowCodePoints(std::wstring(L"a\x0080" L"b\x009F\x00A0\x007F\x2029\x202A\x202C\x202E\x202F"
                                             L"\x2065\x2066\x2069\x206A\xD83D\xDE00")),
            L"a<U+0080>b<U+009F>\x00A0\x007F\x2029<U+202A><U+202C><U+202E>\x202F"
            L"\x2065<U+2066><U+2069>\x206A\xD83D\xDE00");
}

}  // namespace
