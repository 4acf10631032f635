// The fault matrix: every buffer write-out and every close of an export of
// long, field-filling genres is failed in turn, with a full disk (112) and
// with access denied (5). Each time the export must end as the failure
// table of the export says, leave the other genres complete, leave the
// problem file as it was, hold no file open, and a second export must work.

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "Compare.h"
#include "format/mnrFormat.h"
#include "platform/FaultInjection.h"
#include "platform/FileServices.h"
#include "platform/IoError.h"
#include "tests/support/MnrWriter.h"
#include "tests/support/TestEnv.h"

namespace reliability {
namespace {

using platform::fault_injection::Operation;
namespace fault_injection = platform::fault_injection;

constexpr std::size_t kBufferSize = 128;  // the text file's output buffer
constexpr int kCodes[] = {112, 5};        // disk full, access denied

// Problems whose fields are filled to the last byte with full-width
// characters, different in every problem: the longest lines a genre file can
// hold (270 bytes a problem, so the 128-byte boundaries fall at every even
// offset of a problem over 64 problems; a name of odd length shifts them to
// the odd offsets).
test_support::Problem MaximalProblem(int n) {
  auto fullWidth = [&](std::size_t bytes, int salt) {
    std::string text;
    for (std::size_t i = 0; i < bytes; i += 2) {
      text += static_cast<char>(0x88 + (n + salt) % 8);
      text += static_cast<char>(0x9F + (n * 7 + salt * 3 + static_cast<int>(i)) % 0x5D);
    }
    return text;
  };
  test_support::Problem p;
  p.question = fullWidth(test_support::kQuestionSize, 0);
  for (int c = 0; c < 5; ++c) p.choices[c] = fullWidth(test_support::kChoiceSize, c + 1);
  return p;
}

test_support::MnrWriter MatrixSet() {
  const int longGenre = 300;
  test_support::MnrWriter set;
  auto fill = [&](int g, std::string name, int from, int count) {
    set.genre(g).name = std::move(name);
    for (int n = from; n < from + count; ++n) set.genre(g).problems.push_back(MaximalProblem(n));
  };
  fill(0, "\x83\x57\x83\x83\x83\x93\x83\x8B\x82\x4F\x94\xD4\x96\xDA\x82\x82", 0, longGenre);  // 16 bytes
  fill(1, "empty", 0, 0);
  fill(2, "\x83\x57\x83\x83\x83\x93\x83\x8B\x82\x51\x94\xD4\x96\xDA!", 1000, 64);  // 15 bytes: odd offsets
  set.genre(3).name = "half-width";
  set.genre(3).problems.push_back({"Odd length?", {"a", "bc", "def", "", "ghijk"}});
  set.genre(3).problems.push_back({"", {"", "", "", "", ""}});
  fill(4, "0123456789abcdef", 2000, 1);
  fill(5, "", 0, 0);
  fill(6, "six", 3000, 7);
  fill(7, "last", 4000, 3);
  return set;
}

class FaultMatrix : public ::testing::Test {
 protected:
  void SetUp() override {
    const test_support::Bytes bytes = set_.bytes();
    fileBytes_.assign(bytes.begin(), bytes.end());
    test_env::WriteFile(dir_.host("set1.mnr"), fileBytes_);
    ASSERT_TRUE(problems_.LoadFromFile(dir_.win("set1.mnr")));
    for (int g = 0; g < 8; ++g) expected_.push_back(set_.expectedGenreFile(g));
  }
  void TearDown() override { fault_injection::Reset(); }

  std::string GenreFile(int g) const { return dir_.host("set1" + std::to_string(g) + ".txt"); }

  void RemoveGenreFiles() {
    for (int g = 0; g < 8; ++g) test_env::Remove(GenreFile(g));
  }

  // Write-outs a genre's file takes: one per full buffer and one for the rest.
  int WriteOuts(int g) const { return static_cast<int>((expected_[g].size() + kBufferSize - 1) / kBufferSize); }

  // Genre g holds `prefix` bytes of its text (npos: all of it); genre files
  // of genres after `lastCreated` do not exist.
  void ExpectGenreFiles(int partialGenre, std::size_t prefix, int lastCreated, const std::string& what) {
    for (int g = 0; g < 8; ++g) {
      std::string actual;
      const bool exists = test_env::ReadFile(GenreFile(g), actual);
      if (g > lastCreated) {
        EXPECT_FALSE(exists) << what << ": genre " << g << " was not to be attempted";
        continue;
      }
      ASSERT_TRUE(exists) << what << ": genre " << g;
      const std::string wanted = g == partialGenre ? expected_[g].substr(0, prefix) : expected_[g];
      EXPECT_EQ(FirstDifference(actual, wanted), "") << what << ": genre " << g;
      EXPECT_TRUE(test_env::FileReleased(GenreFile(g))) << what << ": genre " << g << " still open";
    }
  }

  // What must hold after every injected fault.
  void ExpectRecovered(int openFilesBefore, const std::string& what) {
    EXPECT_EQ(test_env::OpenFileCount(), openFilesBefore) << what << ": a file stayed open";
    std::string now;
    ASSERT_TRUE(test_env::ReadFile(dir_.host("set1.mnr"), now));
    EXPECT_TRUE(now == fileBytes_) << what << ": the problem file changed";
    RemoveGenreFiles();
    EXPECT_TRUE(problems_.ExportGenreFiles("")) << what << ": the next export failed";
    ExpectGenreFiles(-1, 0, 7, what + ", next export");
  }

  test_env::TempDir dir_;
  test_support::MnrWriter set_ = MatrixSet();
  std::string fileBytes_;
  T_mnrFormat problems_;
  std::vector<std::string> expected_;
};

// The checks below can see a file left open.
TEST_F(FaultMatrix, AnOpenGenreFileIsSeen) {
  const int before = test_env::OpenFileCount();
  platform::TextFile held(dir_.win("held.txt"));
  EXPECT_FALSE(test_env::FileReleased(dir_.host("held.txt")));
#ifndef _WIN32
  EXPECT_EQ(test_env::OpenFileCount(), before + 1);
#endif
  held.Close();
  EXPECT_TRUE(test_env::FileReleased(dir_.host("held.txt")));
  EXPECT_EQ(test_env::OpenFileCount(), before);
}

TEST_F(FaultMatrix, TheExportCountsOneWriteOutPerBufferAndOneClosePerGenre) {
  fault_injection::StartCounting();
  ASSERT_TRUE(problems_.ExportGenreFiles(""));
  int writeOuts = 0;
  for (int g = 0; g < 8; ++g) writeOuts += WriteOuts(g);
  EXPECT_EQ(fault_injection::Count(Operation::kWriteOut), writeOuts);
  EXPECT_EQ(fault_injection::Count(Operation::kClose), 8);
  ExpectGenreFiles(-1, 0, 7, "no fault");
}

TEST_F(FaultMatrix, EveryFailedWriteOutFailsOnlyItsGenre) {
  int injected = 0;
  for (const int code : kCodes) {
    int g = 0, local = 0;  // the genre and its write-out that fail
    for (int k = 1; g < 8 && !HasFailure(); ++k) {
      if (++local > WriteOuts(g)) {
        ++g;
        local = 1;
        if (g == 8) break;
      }
      const std::string what = "write-out " + std::to_string(k) + " (genre " + std::to_string(g) + ", its " +
                               std::to_string(local) + "), code " + std::to_string(code);
      RemoveGenreFiles();
      const int openBefore = test_env::OpenFileCount();
      fault_injection::FailNth(Operation::kWriteOut, k, code);
      bool ok = true;
      ASSERT_NO_THROW(ok = problems_.ExportGenreFiles("")) << what;
      fault_injection::Reset();
      ++injected;
      EXPECT_FALSE(ok) << what;
      // The failed buffer's bytes are lost and nothing more of that genre
      // is written; the other genres are complete.
      ExpectGenreFiles(g, kBufferSize * (local - 1), 7, what);
      ExpectRecovered(openBefore, what);
    }
  }
  RecordProperty("injected_faults", injected);
  std::printf("write-out faults injected: %d\n", injected);
}

TEST_F(FaultMatrix, EveryFailedCloseRaisesFileNotOpenFromTheSecondClose) {
  int injected = 0;
  for (const int code : kCodes) {
    for (int g = 0; g < 8 && !HasFailure(); ++g) {
      const std::string what = "close of genre " + std::to_string(g) + ", code " + std::to_string(code);
      RemoveGenreFiles();
      const int openBefore = test_env::OpenFileCount();
      fault_injection::FailNth(Operation::kClose, g + 1, code);
      int raised = 0;
      try {
        problems_.ExportGenreFiles("");
      } catch (const platform::EInOutError& e) {
        raised = e.ErrorCode();
      }
      fault_injection::Reset();
      ++injected;
      // The file already counts as closed, so the guard's second close
      // raises 103 and that ends the export: its bytes were all written,
      // later genres are not attempted.
      EXPECT_EQ(raised, platform::error_code::kFileNotOpen) << what;
      ExpectGenreFiles(-1, 0, g, what);
      ExpectRecovered(openBefore, what);
    }
  }
  std::printf("close faults injected: %d\n", injected);
}

TEST_F(FaultMatrix, AFailedWriteOutFollowedByAFailedCloseRaisesTheCloseError) {
  int injected = 0;
  for (const int code : kCodes) {
    int firstWriteOut = 1;
    for (int g = 0; g < 8 && !HasFailure(); firstWriteOut += WriteOuts(g), ++g) {
      const std::string what = "genre " + std::to_string(g) + ", code " + std::to_string(code);
      RemoveGenreFiles();
      const int openBefore = test_env::OpenFileCount();
      // The genre's first write-out fails, then its second close (the close
      // after those of genres 0 ... g-1; the first close raised before
      // reaching the handle).
      fault_injection::FailNth(Operation::kWriteOut, firstWriteOut, code);
      fault_injection::FailNth(Operation::kClose, g + 1, code);
      int raised = 0;
      try {
        problems_.ExportGenreFiles("");
      } catch (const platform::EInOutError& e) {
        raised = e.ErrorCode();
      }
      fault_injection::Reset();
      injected += 2;
      EXPECT_EQ(raised, code) << what;
      ExpectGenreFiles(g, 0, g, what);
      ExpectRecovered(openBefore, what);
    }
  }
  std::printf("paired faults injected: %d\n", injected);
}

TEST_F(FaultMatrix, AFailedCloseOfTheProblemFileFailsTheLoadAndReleasesIt) {
  for (const int code : kCodes) {
    const int openBefore = test_env::OpenFileCount();
    const std::string nameBefore = problems_.FileName();
    fault_injection::FailNth(Operation::kClose, 1, code);
    bool ok = true;
    // The loader's guard catches every error after the open.
    ASSERT_NO_THROW(ok = problems_.LoadFromFile(dir_.win("set1.mnr"))) << code;
    fault_injection::Reset();
    EXPECT_FALSE(ok) << code;
    EXPECT_FALSE(problems_.Loaded()) << code;
    EXPECT_EQ(problems_.FileName(), nameBefore) << code;
    EXPECT_EQ(test_env::OpenFileCount(), openBefore) << code;
    EXPECT_TRUE(test_env::FileReleased(dir_.host("set1.mnr"))) << code;
    EXPECT_TRUE(problems_.LoadFromFile(dir_.win("set1.mnr"))) << code;
  }
}

}  // namespace
}  // namespace reliability
