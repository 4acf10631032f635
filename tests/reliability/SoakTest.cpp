// Load-and-export soak: many random problem sets, each loaded and exported
// by the product and compared byte for byte with the genre files the test
// writer expects on its own.

#include <gtest/gtest.h>

#include "Compare.h"
#include "tests/support/RandomProblems.h"
#include "format/mnrFormat.h"
#include "tests/support/TestEnv.h"

namespace reliability {
using test_support::RandomProblems;
namespace {

constexpr std::uint64_t kSeed = 20240501;
constexpr int kChunks = 10;
#ifdef _WIN32
constexpr int kSetsPerChunk = 100;  // 1,000 sets under Wine, where files are slower
#else
constexpr int kSetsPerChunk = 1000;  // 10,000 sets natively
#endif

struct FileName {
  const char* problemFile;
  const char* base;
};
// Extensions are cut at the last dot; a name without one stays whole.
constexpr FileName kNames[] = {{"set1.mnr", "set1"}, {"a.b.mnr", "a.b"}, {"data", "data"}};

class Soak : public ::testing::TestWithParam<int> {};

TEST_P(Soak, ExportsEqualTheWritersExpectation) {
  test_env::TempDir dir;
  RandomProblems random(kSeed + static_cast<std::uint64_t>(GetParam()));
  T_mnrFormat problems;  // one object reused for every load, as the window does
  for (int i = 0; i < kSetsPerChunk && !HasFailure(); ++i) {
    const test_support::MnrWriter set = random.NextSet();
    const test_support::Bytes bytes = set.bytes();
    const FileName& name = kNames[random.Below(3)];
    test_env::WriteNewFile(dir.host(name.problemFile), std::string(bytes.begin(), bytes.end()) + random.Trailer());

    ASSERT_TRUE(problems.LoadFromFile(dir.win(name.problemFile))) << "set " << i;
    for (int g = 0; g < 8; ++g) ASSERT_EQ(problems.ProblemCount(g), set.count(g)) << "set " << i;
    ASSERT_TRUE(problems.ExportGenreFiles("")) << "set " << i;
    for (int g = 0; g < 8; ++g) {
      const std::string file = dir.host(std::string(name.base) + std::to_string(g) + ".txt");
      std::string actual;
      ASSERT_TRUE(test_env::ReadFile(file, actual)) << file;
      EXPECT_EQ(FirstDifference(actual, set.expectedGenreFile(g)), "") << "set " << i << ", genre " << g;
      test_env::Remove(file);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Chunks, Soak, ::testing::Range(0, kChunks));

}  // namespace
}  // namespace reliability
