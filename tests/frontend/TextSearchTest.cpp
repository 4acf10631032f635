// Finding texts: full-width and half-width forms, capital and small letters
// alike, in UTF-8 and in the CP932 a problem file holds.

#include "frontend/TextSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using text_search::Needle;

TEST(TextSearch, WidthsAndLetterCasesAreAlikeAndNothingElseIs) {
  struct Case {
    const char* needle;
    const char* text;
    bool found;
  };
  const Case cases[] = {
      {"ｱ", "アイウ", true},                  // half-width katakana finds full-width
      {"ア", "ｱｲｳ", true},                    // and the other way
      {"ｶﾞｯｺｳ", "学校のガッコウ", true},      // a sound mark makes one character with its kana
      {"ﾊﾟﾝ", "パンだ", true},
      {"ﾊﾟ", "バ", false},                    // the semi-voiced mark is not the voiced one
      {"ｳﾞｧ", "ヴァイオリン", true},
      {"Ａ", "A", true},                      // full-width letters find ASCII
      {"fuji", "ＦＵＪＩ山", true},             // and small finds capital
      {"１２３", "No.123", true},
      {"a b", "a\u3000b", true},              // the ideographic space is a space
      {"￥", "\u00A5100", true},
      {"あ", "ア", false},                    // hiragana is not katakana
      {"が", "か\u3099", true},               // a combining mark composes too
      {"富士山", "日本一高い山は？富士山", true},
      {"富士山", "富士", false},
      {"", "anything", false},                // an empty needle is nowhere
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Needle(c.needle).InUtf8(c.text), c.found) << c.needle << " in " << c.text;
  }
  EXPECT_TRUE(Needle("").Empty());
  EXPECT_TRUE(Needle(std::string_view("\0", 1)).Empty());
  EXPECT_FALSE(Needle("ｱ").Empty());
}

TEST(TextSearch, FindsInCp932AsInItsUtf8) {
  const std::string cp932 = "\x95\x78\x8E\x6D\x8E\x52 \xB6\xDE\xAF\xBA\xB3 \x82\x60\x82\x61";  // 富士山 ｶﾞｯｺｳ ＡＢ
  EXPECT_TRUE(Needle("富士山").InCp932(cp932));
  EXPECT_TRUE(Needle("ガッコウ").InCp932(cp932));
  EXPECT_TRUE(Needle("ab").InCp932(cp932));
  EXPECT_FALSE(Needle("富士川").InCp932(cp932));
  // A byte that is no CP932 reads as U+FFFD, and is found as that.
  EXPECT_TRUE(Needle("\uFFFD").InCp932("a\x80z"));

  // Texts folded once, one after the other with zeros between, and searched
  // many times: the places where the needle starts, never across two texts.
  std::u16string folded;
  for (std::string_view text : {"\x95\x78\x8E\x6D", "ab", "\x8E\x52\x95\x78\x8E\x6D"}) {  // 富士, ab, 山富士
    text_search::AppendFoldedCp932(text, folded);
    folded += u'\0';
  }
  const auto places = [&](const char* needle) {
    std::vector<std::size_t> at;
    Needle(needle).ForEachIn(folded, [&](std::size_t p) { at.push_back(p); });
    return at;
  };
  EXPECT_EQ(places("富士"), (std::vector<std::size_t>{0, 7}));
  EXPECT_EQ(places("Ｂ"), (std::vector<std::size_t>{4}));
  EXPECT_EQ(places("士ab"), (std::vector<std::size_t>{}));  // the end of one text and the next
  EXPECT_EQ(places(""), (std::vector<std::size_t>{}));
}

}  // namespace
