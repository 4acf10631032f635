// The browser's table-driven CP932 conversion against the native one: every
// one- and two-byte sequence, and random byte strings (lead bytes at the end,
// invalid trails, runs of both), give the same UTF-8 and the same count of
// invalid bytes.

#include <gtest/gtest.h>

#include <random>

#include "platform/CodePage.h"
#include "platform/wasm/Cp932Table.h"

namespace {

void ExpectSame(const std::string& cp932) {
  std::string native, table;
  std::size_t nativeInvalid = 0, tableInvalid = 0;
  codepage::AppendCp932AsUtf8(cp932, native, nativeInvalid);
  cp932_table::Table().Append(cp932, table, tableInvalid);
  ASSERT_EQ(table, native) << testing::PrintToString(cp932);
  ASSERT_EQ(tableInvalid, nativeInvalid) << testing::PrintToString(cp932);
}

TEST(Cp932Table, EveryOneAndTwoByteSequence) {
  for (int a = 0; a < 256; ++a) {
    ASSERT_NO_FATAL_FAILURE(ExpectSame(std::string(1, static_cast<char>(a))));
    for (int b = 0; b < 256; ++b)
      ASSERT_NO_FATAL_FAILURE(ExpectSame(std::string{static_cast<char>(a), static_cast<char>(b)}));
  }
}

TEST(Cp932Table, RandomStrings) {
  std::mt19937 random(932);
  // Bytes drawn mostly from the lead and trail ranges, where mistakes hide.
  const std::string pool = std::string("\x81\x82\x83\x87\x88\x9F\xE0\xEA\xED\xEE\xFA\xFC\xFD\x80\xA0\xA5\xDF", 17) +
                           std::string("\x40\x7E\x7F\x5C\x00\x0D\x20\x41", 8);
  for (int n = 0; n < 20000; ++n) {
    std::string s(random() % 24, '\0');
    for (char& c : s) c = (random() % 4 == 0) ? static_cast<char>(random()) : pool[random() % pool.size()];
    ASSERT_NO_FATAL_FAILURE(ExpectSame(s));
  }
}

}  // namespace
