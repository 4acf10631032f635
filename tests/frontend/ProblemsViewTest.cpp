// What the problems window shows for a genre: its title and its lines, held
// to the genre file's text as the test writer computes it.

#include "frontend/ProblemsView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/mnrFormat.h"
#include "tests/support/MnrWriter.h"

namespace {

using test_support::MnrWriter;
using test_support::Problem;

std::vector<std::string> LinesOf(const T_mnrFormat& problems, int genre) {
  std::vector<std::string> lines;
  problems_view::ForEachLine(problems, genre, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

void Load(T_mnrFormat& problems, const MnrWriter& writer) {
  const test_support::Bytes bytes = writer.bytes();
  ASSERT_TRUE(problems.LoadFromBytes(bytes, "set1.mnr"));
}

TEST(ProblemsView, NumbersProblemsAndChoicesAndShowsEmptyFieldsAsBlank) {
  MnrWriter writer;
  writer.genre(3).name = "\x8C\x7C\x94\x5C";  // 芸能 (a trail byte 0x5C)
  // 問題 1 / 選択 a, b, an empty choice, d, e; then a question of padding only.
  writer.genre(3).problems = {Problem{"\x96\xE2\x91\xE8 1", {"\x91\x49\x91\xF0 a", "b", "", "d", "e"}},
                              Problem{"", {"v", "w", "x", "y", "z"}}};
  T_mnrFormat problems;
  Load(problems, writer);

  EXPECT_EQ(problems_view::Title(problems, 3), "3\x81\x46\x8C\x7C\x94\x5C");  // 3：芸能
  const std::string blank = "\x81\x69\x8B\xF3\x97\x93\x81\x6A";            // （空欄）
  const std::vector<std::string> expected = {
      "\x8C\x7C\x94\x5C", "", "1. \x96\xE2\x91\xE8 1", "   1) \x91\x49\x91\xF0 a", "   2) b", "   3) " + blank,
      "   4) d", "   5) e", "", "2. " + blank, "   1) v", "   2) w", "   3) x", "   4) y", "   5) z",
  };
  EXPECT_EQ(LinesOf(problems, 3), expected);
  EXPECT_EQ(LinesOf(problems, 3), writer.expectedProblemsLines(3));
}

TEST(ProblemsView, FollowsTheGenreFileForEveryGenre) {
  MnrWriter writer;
  for (int g = 0; g < 8; ++g) writer.genre(g).name = "genre " + std::to_string(g);
  writer.genre(4).name = "\x82\x60\x82\x61\x82\x62\x82\x63\x82\x64\x82\x65\x82\x66\x82\x67";  // 16 bytes
  // A question that fills its field, choices that fill theirs, a zero byte
  // inside choice 2 that cuts it and empties choices 3 to 5, an odd-length
  // double-byte text that ends in 0xA0 once unscrambled.
  Problem full{std::string(116, 'Q'), {std::string(28, 'a'), std::string(28, 'b'), "c", "d", "e"}};
  Problem cut{"cut", {"one", "tw", "three", "four", "five"}};
  cut.choices[1] = std::string("t\0w", 3);
  Problem odd{"\x96\xE2", {"\x91\x49 ", "x", "y", "z", "\x91"}};
  writer.genre(0).problems = {full, cut, odd};
  writer.genre(4).problems = {cut};
  writer.genre(7).problems = std::vector<Problem>(300, full);
  T_mnrFormat problems;
  Load(problems, writer);
  for (int g = 0; g < 8; ++g) {
    SCOPED_TRACE(g);
    EXPECT_EQ(LinesOf(problems, g), writer.expectedProblemsLines(g));
  }
  EXPECT_EQ(LinesOf(problems, 5), std::vector<std::string>{"genre 5"});  // no problems: the name alone
  EXPECT_EQ(LinesOf(problems, 7).size(), 1u + 7 * 300);
  EXPECT_EQ(LinesOf(problems, 7)[7 * 299 + 2], "300. " + std::string(116, 'Q'));
}

}  // namespace
