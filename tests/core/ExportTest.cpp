// The genre text export: byte-exact files beside the problem file, and what
// happens when a file cannot be created, written or closed.

#include <gtest/gtest.h>

#include <algorithm>

#include "format/mnrFormat.h"
#include "path/SplitFilePath.h"
#include "platform/FaultInjection.h"
#include "platform/FileServices.h"
#include "platform/Locale.h"
#include "tests/support/TestEnv.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/posix/DriveTable.h"
#endif

namespace {

namespace fi = platform::fault_injection;
using test_support::MnrWriter;
using test_support::Problem;

const std::string kA = "\x82\xA0", kAa = "\x88\x9F", kSo = "\x83\x5C", kHyo = "\x95\x5C";
const std::string kIppan = "\x88\xEA\x94\xCA";  // 一般

// "<prefix><g>.txt", the file of genre g.
std::string GenreFile(std::string prefix, int g) {
  prefix += std::to_string(g);
  prefix += ".txt";
  return prefix;
}

std::string Repeat(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

// Genre 0 holds the edge cases; genre 3 is long enough for two write-outs.
MnrWriter ExportSet() {
  MnrWriter w;
  w.genre(0).name = kIppan;
  w.genre(0).problems = {
      Problem{"Q", {"A", "B", "C", "D", "E"}},
      Problem{"", {"one", std::string("ab\0cd", 5), "three", "four", "five"}},
      Problem{Repeat(kAa, 58), {"q", "r", "s", "t", Repeat(kSo, 14)}},
      Problem{"abc\x01\x1F\x09 ", {"x\x7F", "  y \x01", "", "", ""}},
      Problem{"abc", {"a" + kA + "b", "x", "", "", "z"}},
  };
  w.genre(1).name = "\x8B\xF3";  // 空: an empty genre
  w.genre(2).name = "ABCDEFGHIJKLMNOP";
  w.genre(2).problems = {Problem{"two", {"1", "2", "3", "4", "5"}}};
  w.genre(3).name = "three";
  for (int i = 0; i < 6; ++i) {
    w.genre(3).problems.push_back(Problem{"question number " + std::to_string(i), {"a", "bb", "ccc", "dddd", "eeeee"}});
  }
  w.genre(5).name = "sp  ";
  w.genre(5).problems = {Problem{kHyo + kSo, {kA, "", "", "", ""}}};
  w.genre(7).name = "seven";
  w.genre(7).problems = {Problem{"last", {"", "", "", "", "only five"}}};
  return w;
}

class ExportTest : public testing::Test {
 protected:
  void SetUp() override {
    test_env::MakeDir(dir.host("c"));
    test_env::MakeDir(dir.host("c/quiz"));
#ifdef _WIN32
    root = dir.win("c");
#else
    platform::drive_table::MapDrive('C', dir.host("c"));
    root = "C:";
#endif
    start = platform::GetCurrentDir();
  }
  void TearDown() override {
    fi::Reset();
    platform::RestoreSystemLocale();
    EXPECT_EQ(platform::GetCurrentDir(), start);
#ifndef _WIN32
    platform::drive_table::Reset();
#endif
  }

  // Windows path and host path of a name below the mapped folder c.
  std::string W(const std::string& relative) {
    std::string path = root + "\\" + relative;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
  }
  std::string H(const std::string& relative) { return dir.host("c/" + relative); }

  // Writes and loads the problem file.
  void Load(const MnrWriter& w, const std::string& relative = "quiz/set1.mnr") {
    test_env::WriteFile(H(relative), w.bytes());
    ASSERT_TRUE(set.LoadFromFile(W(relative)));
  }
  std::string Read(const std::string& host) {
    std::string bytes;
    EXPECT_TRUE(test_env::ReadFile(host, bytes)) << host;
    return bytes;
  }
  void ExpectGenreFiles(const MnrWriter& w, const std::string& hostPrefix) {
    for (int g = 0; g < 8; ++g) {
      EXPECT_EQ(Read(GenreFile(hostPrefix, g)), w.expectedGenreFile(g)) << "genre " << g;
    }
  }

  test_env::TempDir dir;
  std::string root;
  std::string start;
  T_mnrFormat set;
};

TEST_F(ExportTest, WritesEveryGenreByteExact) {
  const MnrWriter w = ExportSet();
  Load(w);
  EXPECT_TRUE(set.ExportGenreFiles(""));
  ExpectGenreFiles(w, H("quiz/set1"));
  EXPECT_EQ(test_env::ListDir(H("quiz")).size(), 9u);

  // Genre 0 spelled out, independently of the writer's own expectation.
  const std::string crlf = "\r\n";
  const std::string genre0 =
      kIppan + crlf +
      crlf + "Q" + crlf + "A" + crlf + "B" + crlf + "C" + crlf + "D" + crlf + "E" + crlf +
      // padding-only question; a zero byte in choice 2 ends the choices area
      crlf + crlf + "one" + crlf + "ab" + crlf + crlf + crlf + crlf +
      // full-width question and fifth choice
      crlf + Repeat(kAa, 58) + crlf + "q" + crlf + "r" + crlf + "s" + crlf + "t" + crlf + Repeat(kSo, 14) + crlf +
      // trailing control bytes trimmed, 0x7F and leading spaces kept
      crlf + "abc" + crlf + "x\x7F" + crlf + "  y" + crlf + crlf + crlf + crlf +
      // odd lengths end without a stray byte
      crlf + "abc" + crlf + "a" + kA + "b" + crlf + "x" + crlf + crlf + crlf + "z" + crlf;
  EXPECT_EQ(Read(H("quiz/set10.txt")), genre0);
  EXPECT_EQ(Read(H("quiz/set11.txt")), "\x8B\xF3\r\n");
  EXPECT_EQ(Read(H("quiz/set14.txt")), "\r\n");
  EXPECT_EQ(Read(H("quiz/set15.txt")), "sp  \r\n\r\n" + kHyo + kSo + "\r\n" + kA + "\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(ExportTest, AllEmptyGenresGiveOneLineFiles) {
  MnrWriter w;
  for (int g = 0; g < 8; ++g) w.genre(g).name = "genre" + std::to_string(g);
  Load(w);
  EXPECT_TRUE(set.ExportGenreFiles(""));
  for (int g = 0; g < 8; ++g) {
    EXPECT_EQ(Read(H(GenreFile("quiz/set1", g))), "genre" + std::to_string(g) + "\r\n");
  }
}

TEST_F(ExportTest, OverwritesExistingFiles) {
  const MnrWriter w = ExportSet();
  for (int g = 0; g < 8; ++g) {
    test_env::WriteFile(H(GenreFile("quiz/set1", g)), std::string(5000, 'j'));
  }
  Load(w);
  EXPECT_TRUE(set.ExportGenreFiles(""));
  ExpectGenreFiles(w, H("quiz/set1"));
}

TEST_F(ExportTest, BaseNameLosesOnlyTheLastExtension) {
  const MnrWriter w = ExportSet();
  const std::pair<const char*, const char*> cases[] = {
      {"quiz/data", "quiz/data"}, {"quiz/a.b.mnr", "quiz/a.b"}, {"quiz/.mnr", "quiz/"}};
  for (const auto& [file, prefix] : cases) {
    Load(w, file);
    EXPECT_TRUE(set.ExportGenreFiles("")) << file;
    ExpectGenreFiles(w, H(prefix));
  }
}

TEST_F(ExportTest, ExplicitOutputDirectory) {
  const MnrWriter w = ExportSet();
  test_env::MakeDir(H("out"));
  Load(w);
  EXPECT_TRUE(set.ExportGenreFiles(W("out") + "\\"));
  ExpectGenreFiles(w, H("out/set1"));
  EXPECT_EQ(test_env::ListDir(H("quiz")).size(), 1u);
}

#ifndef _WIN32
// Natively C: is the mapped folder, so the file can sit in the drive's root;
// the output directory "C:\\" has a doubled separator.
TEST_F(ExportTest, FileInTheRoot) {
  const MnrWriter w = ExportSet();
  Load(w, "set1.mnr");
  EXPECT_TRUE(set.ExportGenreFiles(""));
  ExpectGenreFiles(w, H("set1"));
}

// On a share the files go beside the problem file, as on a lettered drive.
TEST_F(ExportTest, NetworkPath) {
  const MnrWriter w = ExportSet();
  test_env::MakeDir(dir.host("share"));
  test_env::MakeDir(dir.host("share/quiz"));
  platform::drive_table::MapNetworkRoot("\\\\server\\share", dir.host("share"));
  test_env::WriteFile(dir.host("share/quiz/set1.mnr"), w.bytes());
  ASSERT_TRUE(set.LoadFromFile("\\\\server\\share\\quiz\\set1.mnr"));
  EXPECT_TRUE(set.ExportGenreFiles(""));
  ExpectGenreFiles(w, dir.host("share/quiz/set1"));
}

// File names are UTF-8 on Linux: クイズ.mnr gives クイズ0.txt ... クイズ7.txt.
TEST_F(ExportTest, Utf8JapaneseFileName) {
  const MnrWriter w = ExportSet();
  Load(w, "quiz/クイズ.mnr");
  EXPECT_TRUE(set.ExportGenreFiles(""));
  ExpectGenreFiles(w, H("quiz/クイズ"));
}
#else
TEST_F(ExportTest, FileInTheRoot) {
  const MnrWriter w = ExportSet();
  const std::string base = "ta-root-" + std::to_string(GetCurrentProcessId());
  test_env::WriteFile("C:\\" + base + ".mnr", w.bytes());
  ASSERT_TRUE(set.LoadFromFile("C:\\" + base + ".mnr"));
  const bool ok = set.ExportGenreFiles("");
  std::vector<std::string> got;
  for (int g = 0; g < 8; ++g) {
    const std::string name = "C:\\" + base + std::to_string(g) + ".txt";
    got.push_back(Read(name));
    test_env::Remove(name);
  }
  test_env::Remove("C:\\" + base + ".mnr");
  EXPECT_TRUE(ok);
  for (int g = 0; g < 8; ++g) EXPECT_EQ(got[g], w.expectedGenreFile(g)) << g;
}

// Code page 932 names whose trail byte is '\': 表.mnr and ソ.mnr.
TEST_F(ExportTest, ShiftJisNameWithTrailByte5C) {
  const MnrWriter w = ExportSet();
  for (const std::string& name : {kHyo, kSo, kAa + kHyo}) {
    Load(w, "quiz/" + name + ".mnr");
    const SplitPath split = SplitFilePath(W("quiz/" + name + ".mnr"));
    EXPECT_EQ(split.FilePart, name + ".mnr");
    EXPECT_EQ(split.DirPart, W("quiz").substr(2));
    EXPECT_TRUE(set.ExportGenreFiles(""));
    ExpectGenreFiles(w, H("quiz/" + name));
  }
  EXPECT_EQ(test_env::ListDir(H("quiz")).size(), 27u);
}
#endif

// Sizes of the genre files, and the write-outs the 128-byte buffer makes.
class ExportFaultTest : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    w = ExportSet();
    Load(w);
    for (int g = 0; g < 8; ++g) {
      sizes[g] = w.expectedGenreFile(g).size();
      // Sizes off the buffer's multiples keep the write-out count exact.
      ASSERT_NE(sizes[g] % 128, 0u) << g;
    }
    ASSERT_GT(sizes[3], 256u);
  }
  int WriteOutsBefore(int genre) const {
    int n = 0;
    for (int g = 0; g < genre; ++g) n += static_cast<int>((sizes[g] + 127) / 128);
    return n;
  }
  bool Exists(int g) { return test_env::Exists(H(GenreFile("quiz/set1", g))); }
  std::string File(int g) { return Read(H(GenreFile("quiz/set1", g))); }

  MnrWriter w;
  std::size_t sizes[8] = {};
};

TEST_F(ExportFaultTest, OneFilePerGenreThroughTheBuffer) {
  fi::StartCounting();
  EXPECT_TRUE(set.ExportGenreFiles(""));
  EXPECT_EQ(fi::Count(fi::Operation::kWriteOut), WriteOutsBefore(8));
  EXPECT_EQ(fi::Count(fi::Operation::kClose), 8);
}

// A full disk while genre 3 is written: that genre fails, the others are
// still written, and genre 3's first buffer stays on disk.
TEST_F(ExportFaultTest, FullDiskInGenre3) {
  fi::FailNth(fi::Operation::kWriteOut, WriteOutsBefore(3) + 2, 112);
  EXPECT_FALSE(set.ExportGenreFiles(""));
  for (int g : {0, 1, 2, 4, 5, 6, 7}) EXPECT_EQ(File(g), w.expectedGenreFile(g)) << g;
  EXPECT_EQ(File(3), w.expectedGenreFile(3).substr(0, 128));
}

TEST_F(ExportFaultTest, FullDiskAtCloseOfGenre3) {
  fi::FailNth(fi::Operation::kWriteOut, WriteOutsBefore(4), 112);
  EXPECT_FALSE(set.ExportGenreFiles(""));
  for (int g : {0, 1, 2, 4, 5, 6, 7}) EXPECT_EQ(File(g), w.expectedGenreFile(g)) << g;
  EXPECT_EQ(File(3), w.expectedGenreFile(3).substr(0, sizes[3] / 128 * 128));
}

// A folder stands where set13.txt goes: creation fails with 5, which
// propagates; earlier genres are written, later ones not attempted.
TEST_F(ExportFaultTest, CreationFailurePropagates) {
  test_env::MakeDir(H("quiz/set13.txt"));
  try {
    set.ExportGenreFiles("");
    ADD_FAILURE() << "no error raised";
  } catch (const platform::EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), 5);
  }
  for (int g : {0, 1, 2}) EXPECT_EQ(File(g), w.expectedGenreFile(g)) << g;
  for (int g : {4, 5, 6, 7}) EXPECT_FALSE(Exists(g)) << g;
}

// The system refuses to close genre 3's handle: the file already counts as
// closed, so the guard's second close raises 103, which propagates.
TEST_F(ExportFaultTest, CloseFailureRaises103) {
  fi::FailNth(fi::Operation::kClose, 4, 6);
  try {
    set.ExportGenreFiles("");
    ADD_FAILURE() << "no error raised";
  } catch (const platform::EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), 103);
  }
  for (int g : {0, 1, 2, 3}) EXPECT_EQ(File(g), w.expectedGenreFile(g)) << g;
  for (int g : {4, 5, 6, 7}) EXPECT_FALSE(Exists(g)) << g;
}

TEST_F(ExportFaultTest, VanishedProblemFileRaisesBeforeAnyFile) {
  test_env::Remove(H("quiz/set1.mnr"));
  EXPECT_THROW(set.ExportGenreFiles(""), platform::EInOutError);
  EXPECT_TRUE(test_env::ListDir(H("quiz")).empty());
  EXPECT_EQ(platform::GetCurrentDir(), start);

  test_env::Remove(H("quiz"));
  EXPECT_THROW(set.ExportGenreFiles(""), platform::EInOutError);
  EXPECT_EQ(platform::GetCurrentDir(), start);
}

}  // namespace
