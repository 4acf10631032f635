// Writes the largest problem file the format allows: 8 genres of 32767
// problems each (about 64 MiB), with Japanese text of realistic lengths so
// that unscrambling does real work.
//   make-maximal OUTPUT.mnr

#include <cstdio>
#include <exception>
#include <random>
#include <string>

#include "tests/support/MnrWriter.h"

namespace {

// Double-byte characters drawn from hiragana, katakana and the first kanji
// rows; now and then a half-width digit, which makes a text's length odd.
class TextMaker {
 public:
  std::string Make(std::size_t minBytes, std::size_t maxBytes) {
    const std::size_t target = std::uniform_int_distribution<std::size_t>(minBytes, maxBytes)(random_);
    std::string text;
    while (text.size() + 2 <= target) {
      const int pick = std::uniform_int_distribution<int>(0, 99)(random_);
      if (pick < 5) {
        text += static_cast<char>('0' + pick);
      } else if (pick < 45) {
        AppendDoubleByte(text, 0x82, 0x9F, 0xF1);  // hiragana
      } else if (pick < 70) {
        AppendDoubleByte(text, 0x83, 0x40, 0x96);  // katakana
      } else {
        AppendDoubleByte(text, static_cast<unsigned char>(0x88 + pick % 8), 0x9F, 0xFC);  // kanji
      }
    }
    return text;
  }

 private:
  void AppendDoubleByte(std::string& text, unsigned char lead, unsigned char first, unsigned char last) {
    unsigned char trail = static_cast<unsigned char>(std::uniform_int_distribution<int>(first, last)(random_));
    if (trail == 0x7F) ++trail;  // never a trail byte
    text += static_cast<char>(lead);
    text += static_cast<char>(trail);
  }

  std::mt19937 random_{20261208};
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make-maximal OUTPUT.mnr\n", stderr);
    return 2;
  }
  try {
    TextMaker maker;
    test_support::MnrWriter writer;
    for (int g = 0; g < 8; ++g) {
      test_support::Genre& genre = writer.genre(g);
      genre.name = maker.Make(8, 16);
      genre.problems.resize(32767);
      for (test_support::Problem& p : genre.problems) {
        p.question = maker.Make(40, 116);
        for (std::string& choice : p.choices) choice = maker.Make(4, 28);
      }
    }
    writer.writeTo(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-maximal: %s\n", e.what());
    return 1;
  }
  return 0;
}
