// Memory: a file whose header announces more records than it holds is
// rejected after allocating no more than its counts imply; records are read
// into arrays sized once; and loads, failed loads, exports, failed exports
// and failed path splits, repeated, leave no memory behind. (In the
// sanitizer build, LeakSanitizer also checks this program at its exit.)

#include <gtest/gtest.h>

#include "CountingNew.h"
#include "format/mnrFormat.h"
#include "path/SplitFilePath.h"
#include "platform/FaultInjection.h"
#include "platform/IoError.h"
#include "tests/support/MnrWriter.h"
#include "tests/support/TestEnv.h"

namespace reliability {
namespace {

using test_support::Bytes;
using test_support::MnrWriter;
namespace fault_injection = platform::fault_injection;

// A record, and the lengths of its six texts that unscrambling keeps so the
// record can be scrambled back (for the JSON and txt2mnr --check).
constexpr std::size_t kRecord = sizeof(ProblemRecord) + sizeof(TextLengths);
// Room for what a load needs besides the record arrays (paths, the open
// file's name).
constexpr std::size_t kSlack = 64 * 1024;

// Bytes allocated at the peak of one load by a fresh problem set.
std::size_t PeakOfLoad(const std::string& path, bool& loaded) {
  T_mnrFormat problems;
  allocation::ResetPeak();
  const std::size_t before = allocation::LiveBytes();
  loaded = problems.LoadFromFile(path);
  return allocation::PeakBytes() - before;
}

TEST(Memory, AShortFileWithEveryCountAtTheMaximumTakesNoMoreThanItsCounts) {
  test_env::TempDir dir;
  MnrWriter set;
  for (int g = 0; g < 8; ++g) set.setCount(g, 32767);
  Bytes bytes = set.bytes();
  const std::size_t implied = std::size_t{8} * 32767 * kRecord;

  test_env::WriteFile(dir.host("header.mnr"), bytes);
  bool loaded = true;
  EXPECT_LE(PeakOfLoad(dir.win("header.mnr"), loaded), implied + kSlack);
  EXPECT_FALSE(loaded);

  const Bytes record = MnrWriter::storedRecord({"q", {"a", "b", "c", "d", "e"}});
  for (int n = 0; n < 5; ++n) bytes.insert(bytes.end(), record.begin(), record.end());
  test_env::WriteFile(dir.host("five.mnr"), bytes);
  loaded = true;
  EXPECT_LE(PeakOfLoad(dir.win("five.mnr"), loaded), implied + kSlack);
  EXPECT_FALSE(loaded);

  // Without the signature the counts are still taken as read.
  set.setSignature("munebank");
  test_env::WriteFile(dir.host("unsigned.mnr"), set.bytes());
  loaded = true;
  EXPECT_LE(PeakOfLoad(dir.win("unsigned.mnr"), loaded), implied + kSlack);
  EXPECT_FALSE(loaded);
}

TEST(Memory, AFullGenreIsReadIntoOneArraySizedOnce) {
  test_env::TempDir dir;
  MnrWriter set;
  for (int n = 0; n < 32767; ++n) {
    test_support::Problem problem{"q", {"a", "b", "c", "d", "e"}};
    problem.question += std::to_string(n);
    set.genre(4).problems.push_back(problem);
  }
  test_env::WriteFile(dir.host("full.mnr"), set.bytes());
  bool loaded = false;
  // An array grown record by record would pass through larger capacities.
  const std::size_t peak = PeakOfLoad(dir.win("full.mnr"), loaded);
  EXPECT_TRUE(loaded);
  EXPECT_GE(peak, std::size_t{32767} * kRecord);
  EXPECT_LE(peak, std::size_t{32767} * kRecord + kSlack);
}

TEST(Memory, RepeatedLoadsExportsAndFailuresLeaveNothingBehind) {
  test_env::TempDir dir;
  MnrWriter set;
  for (int g = 0; g < 8; ++g) {
    set.genre(g).name = "genre" + std::to_string(g);
    for (int n = 0; n < 3 * g; ++n) set.genre(g).problems.push_back({"question", {"a", "bb", "", "d", "e"}});
  }
  const Bytes good = set.bytes();
  test_env::WriteFile(dir.host("good.mnr"), good);
  MnrWriter unsigned_ = set;
  unsigned_.setSignature("MUNEBANC");
  test_env::WriteFile(dir.host("unsigned.mnr"), unsigned_.bytes());
  test_env::WriteFile(dir.host("short.mnr"), Bytes(good.begin(), good.end() - 1));
  MnrWriter negative = set;
  negative.setCount(6, -1);
  test_env::WriteFile(dir.host("negative.mnr"), negative.bytes());
  MnrWriter huge;
  for (int g = 0; g < 8; ++g) huge.setCount(g, 32767);
  test_env::WriteFile(dir.host("huge.mnr"), huge.bytes());

  T_mnrFormat problems;
  int failures = 0;  // outcomes other than the documented ones
  auto round = [&] {
    for (const char* bad : {"unsigned.mnr", "short.mnr", "negative.mnr", "huge.mnr", "missing.mnr"})
      failures += problems.LoadFromFile(dir.win(bad)) ? 1 : 0;
    failures += problems.LoadFromFile(dir.win("good.mnr")) ? 0 : 1;
    failures += problems.ExportGenreFiles("") ? 0 : 1;
    fault_injection::FailNth(platform::fault_injection::Operation::kWriteOut, 3, 112);
    failures += problems.ExportGenreFiles("") ? 1 : 0;
    fault_injection::FailNth(platform::fault_injection::Operation::kClose, 2, 5);
    try {
      problems.ExportGenreFiles("");
      ++failures;
    } catch (const platform::EInOutError&) {
    }
    fault_injection::Reset();
    try {
      SplitFilePath(dir.win("gone\\set1.mnr"));
      ++failures;
    } catch (const platform::EInOutError&) {
    }
  };

  round();  // settles what is kept from one round to the next
  const std::size_t before = allocation::LiveBytes();
  for (int i = 0; i < 50; ++i) round();
  const std::size_t after = allocation::LiveBytes();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace reliability
