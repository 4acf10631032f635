#pragma once
// Japanese texts of chosen lengths for benchmark problem files: mostly
// double-byte characters drawn from hiragana, katakana and the first kanji
// rows; now and then a half-width digit (which makes a text's length odd)
// or, when asked, a run of ASCII words and half-width katakana, as real
// quiz texts mix them.

#include <cstdint>
#include <random>
#include <string>

class TextMaker {
 public:
  explicit TextMaker(std::uint32_t seed, bool mixed = false) : random_(seed), mixed_(mixed) {}

  std::string Make(std::size_t minBytes, std::size_t maxBytes) {
    const std::size_t target = Pick(static_cast<int>(minBytes), static_cast<int>(maxBytes));
    std::string text;
    while (text.size() + 2 <= target) {
      const int pick = Pick(0, 99);
      if (pick < 5) {
        text += static_cast<char>('0' + pick);
      } else if (mixed_ && pick < 8) {
        AppendSingleBytes(text, target, "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz");
      } else if (mixed_ && pick < 10) {
        AppendSingleBytes(text, target, "\xB1\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA\xDE\xDF");
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
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  void AppendDoubleByte(std::string& text, unsigned char lead, unsigned char first, unsigned char last) {
    unsigned char trail = static_cast<unsigned char>(Pick(first, last));
    if (trail == 0x7F) ++trail;  // never a trail byte
    text += static_cast<char>(lead);
    text += static_cast<char>(trail);
  }

  // A few to a dozen bytes from the set, within the target length.
  void AppendSingleBytes(std::string& text, std::size_t target, const std::string& set) {
    for (int n = Pick(3, 12); n > 0 && text.size() + 1 < target; --n)
      text += set[Pick(0, static_cast<int>(set.size()) - 1)];
  }

  std::mt19937 random_;
  bool mixed_;
};
