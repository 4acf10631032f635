// Every way of converting CP932 to UTF-8 (the vector one this processor
// runs, the one the page runs) against the portable one: every one- and
// two-byte sequence, every length from 0 to 100 at every alignment, long
// runs, and random mixes of ASCII, half-width katakana, double-byte
// characters, invalid bytes and lead bytes at the end give the same UTF-8
// and the same count of invalid bytes.

#include <gtest/gtest.h>

#include <random>

#include "platform/CodePage.h"

namespace {

using codepage::Cp932ToUtf8Path;

const Cp932ToUtf8Path& Portable() { return codepage::Cp932ToUtf8Paths().back(); }

void ExpectSame(std::string_view cp932) {
  std::string expected = "x";  // appended to what is there
  std::size_t expectedInvalid = 3;
  Portable().Append(cp932, expected, expectedInvalid);
  for (const Cp932ToUtf8Path& path : codepage::Cp932ToUtf8Paths()) {
    std::string got = "x";
    std::size_t invalid = 3;
    path.Append(cp932, got, invalid);
    if (got == expected && invalid == expectedInvalid) continue;
    // Where they part, not the whole text: some are long.
    std::size_t at = 0;
    while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
    FAIL() << path.Name << ": " << cp932.size() << " bytes " << testing::PrintToString(std::string(cp932.substr(0, 64)))
           << "... differ from byte " << at << " of the output; invalid " << invalid << " against " << expectedInvalid;
  }
}

TEST(Cp932Paths, ThePortableOneIsLastAndAVectorOneIsFirstWhereThereIsOne) {
  ASSERT_STREQ(Portable().Name, "portable");
#if defined(__SSE2__)
  EXPECT_STREQ(codepage::Cp932ToUtf8Paths().front().Name, "sse2");
#endif
}

TEST(Cp932Paths, EveryOneAndTwoByteSequence) {
  for (int a = 0; a < 256; ++a) {
    ASSERT_NO_FATAL_FAILURE(ExpectSame(std::string(1, static_cast<char>(a))));
    for (int b = 0; b < 256; ++b)
      ASSERT_NO_FATAL_FAILURE(ExpectSame(std::string{static_cast<char>(a), static_cast<char>(b)}));
  }
}

// Text of the kinds that take different ways through a vector path.
class Mixer {
 public:
  explicit Mixer(unsigned seed) : random_(seed) {}
  char Byte(int kind) {
    switch (kind) {
      case 0: return static_cast<char>(0x20 + random_() % 0x5F);  // ASCII
      case 1: return static_cast<char>(0xA1 + random_() % 0x3F);  // half-width katakana
      case 2: return static_cast<char>(random_());               // anything
      default: {
        // Lead and trail bytes, valid or not, and bytes that are never characters.
        static const char kPool[] = "\x81\x82\x83\x87\x88\x9F\xE0\xEA\xED\xEE\xFA\xFC\xFD\xFE\xFF\x80\xA0\xA5\xDF\x40\x7E\x7F\x5C\x00\x0D";
        return kPool[random_() % (sizeof kPool - 1)];
      }
    }
  }
  // Runs of one kind after another, double-byte characters mostly whole.
  std::string Text(std::size_t size) {
    std::string s;
    while (s.size() < size) {
      const int kind = static_cast<int>(random_() % 5);
      for (std::size_t n = 1 + random_() % 40; n > 0 && s.size() < size; --n) {
        if (kind == 4) {
          s += static_cast<char>(0x82 + random_() % 8);  // a lead byte, then a trail byte if it fits
          if (s.size() < size) s += static_cast<char>(0x40 + random_() % 0xBD);
        } else {
          s += Byte(kind);
        }
      }
    }
    return s;
  }
  unsigned Next() { return static_cast<unsigned>(random_()); }

 private:
  std::mt19937 random_;
};

TEST(Cp932Paths, EveryLengthToAHundredAtEveryAlignment) {
  Mixer mixer(932);
  for (int round = 0; round < 40; ++round) {
    const std::string text = mixer.Text(100 + 16);
    for (std::size_t offset = 0; offset < 16; ++offset)
      for (std::size_t length = 0; length <= 100; ++length)
        ASSERT_NO_FATAL_FAILURE(ExpectSame(std::string_view(text).substr(offset, length)));
  }
}

TEST(Cp932Paths, LongRunsOfEachKindAndRandomMixes) {
  Mixer mixer(15);
  for (int kind = 0; kind < 4; ++kind) {
    std::string run;
    for (int n = 0; n < 100000; ++n) run += mixer.Byte(kind);
    ASSERT_NO_FATAL_FAILURE(ExpectSame(run));
  }
  std::string doubleBytes;
  for (int n = 0; n < 50000; ++n) doubleBytes += "\x88\x9F\x82\xA0";
  ASSERT_NO_FATAL_FAILURE(ExpectSame(doubleBytes));
  ASSERT_NO_FATAL_FAILURE(ExpectSame(doubleBytes + "\x82"));  // a lead byte at the end
  for (int round = 0; round < 200; ++round) {
    const std::string text = mixer.Text(1 + mixer.Next() % 20000);
    ASSERT_NO_FATAL_FAILURE(ExpectSame(std::string_view(text).substr(mixer.Next() % 16)));
  }
}

}  // namespace
