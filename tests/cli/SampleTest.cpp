// The shipped sample problem file: what its generator makes, and what it
// is meant to show.

#include <gtest/gtest.h>

#include <set>

#include "samples/SampleProblems.h"
#include "tests/cli/CliTestEnv.h"

namespace {

using test_support::MnrWriter;

TEST(Sample, CommittedFileIsWhatTheGeneratorMakes) {
  const std::string committed = cli_test::ReadFile(cli_test::HostPathOfBuildFile(SAMPLE_PATH));
  const test_support::Bytes made = MakeSampleProblems().bytes();
  EXPECT_EQ(committed, std::string(made.begin(), made.end()))
      << "regenerate it: make-sample samples/sample.mnr";
}

TEST(Sample, HasJapaneseGenresAndATextOfEveryEdgeLength) {
  const MnrWriter sample = MakeSampleProblems();
  std::set<std::size_t> questionLengths;
  std::set<std::size_t> choiceLengths;
  bool halfWidth = false;
  bool fullWidth = false;
  std::size_t problems = 0;
  for (int g = 0; g < 8; ++g) {
    const std::string& name = sample.genre(g).name;
    EXPECT_FALSE(name.empty()) << g;
    EXPECT_NE(name.find_first_of("\x81\x82\x83\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F\x90"
                                 "\x91\x92\x93\x94\x95\x96\x97\x98"),
              std::string::npos)
        << "genre " << g << " has a Japanese name";
    for (const test_support::Problem& p : sample.genre(g).problems) {
      ++problems;
      questionLengths.insert(p.question.size());
      for (const std::string& c : p.choices) choiceLengths.insert(c.size());
      for (unsigned char b : p.question) {
        if (b >= 0xA1 && b <= 0xDF) halfWidth = true;  // half-width katakana
        if (b >= 0x81 && b <= 0x9F) fullWidth = true;  // a double-byte lead byte
      }
    }
  }
  EXPECT_GE(problems, 24u);
  EXPECT_TRUE(halfWidth);
  EXPECT_TRUE(fullWidth);
  for (std::size_t length : {0u, 1u, 115u, 116u}) {
    EXPECT_TRUE(questionLengths.count(length)) << "question of " << length << " bytes";
  }
  for (std::size_t length : {0u, 1u, 27u, 28u}) {
    EXPECT_TRUE(choiceLengths.count(length)) << "choice of " << length << " bytes";
  }
  // A fifth choice that fills its field ends at the record's last byte.
  bool fullFifthChoice = false;
  for (int g = 0; g < 8; ++g) {
    for (const test_support::Problem& p : sample.genre(g).problems) {
      if (p.choices[4].size() == 28) fullFifthChoice = true;
    }
  }
  EXPECT_TRUE(fullFifthChoice);
}

}  // namespace
