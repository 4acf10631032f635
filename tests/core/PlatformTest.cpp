// File and directory services: error codes as seen through operations, the
// buffered text file with injected faults, and the POSIX drive table.

#include <gtest/gtest.h>

#include <functional>

#include "platform/FaultInjection.h"
#include "platform/FileServices.h"
#include "tests/support/TestEnv.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/posix/DriveTable.h"
#endif

namespace {

namespace fi = platform::fault_injection;
using platform::EInOutError;

// The code of the EInOutError the action raises, or -1 when it raises none.
int CodeOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EInOutError& e) {
    return e.ErrorCode();
  }
  return -1;
}

std::string Contents(const std::string& host) {
  std::string bytes;
  EXPECT_TRUE(test_env::ReadFile(host, bytes)) << host;
  return bytes;
}

// Distinct bytes, so a lost or repeated block shows.
std::string Pattern(std::size_t n, char seed = 0) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('!' + (i * 7 + seed) % 90);
  return s;
}

class PlatformTest : public testing::Test {
 protected:
  void TearDown() override { fi::Reset(); }
  test_env::TempDir dir;
};

TEST_F(PlatformTest, ExistenceTests) {
  test_env::WriteFile(dir.host("f.mnr"), std::string("x"));
  test_env::MakeDir(dir.host("d"));
  EXPECT_TRUE(platform::FileExists(dir.win("f.mnr")));
  EXPECT_FALSE(platform::FileExists(dir.win("d")));
  EXPECT_FALSE(platform::FileExists(dir.win("nothing")));
  EXPECT_TRUE(platform::DirectoryExists(dir.win("d")));
  EXPECT_TRUE(platform::DirectoryExists(dir.win("")));
  EXPECT_FALSE(platform::DirectoryExists(dir.win("f.mnr")));
  EXPECT_FALSE(platform::DirectoryExists(dir.win("nothing")));
}

TEST_F(PlatformTest, ErrorCodesOfFailedOperations) {
  test_env::MakeDir(dir.host("folder"));
  test_env::WriteFile(dir.host("file"), std::string("x"));
  // Codes Windows and Wine agree on.
  EXPECT_EQ(CodeOf([&] { platform::BlockFile f(dir.win("missing.mnr")); }), 2);
  EXPECT_EQ(CodeOf([&] { platform::BlockFile f(dir.win("gone/x.mnr")); }), 3);
  EXPECT_EQ(CodeOf([&] { platform::TextFile f(dir.win("gone/x.txt")); }), 3);
  EXPECT_EQ(CodeOf([&] { platform::TextFile f(dir.win("folder")); }), 5);
  // Entering what is no directory raises (the exact code differs between
  // Windows and Wine), and leaves the current directory alone.
  const std::string before = platform::GetCurrentDir();
  EXPECT_GT(CodeOf([&] { platform::SetCurrentDir(dir.win("missing")); }), 0);
  EXPECT_GT(CodeOf([&] { platform::SetCurrentDir(dir.win("file")); }), 0);
  EXPECT_EQ(platform::GetCurrentDir(), before);
#ifndef _WIN32
  // Windows gives 2 for a missing last component, 3 for a missing folder.
  EXPECT_EQ(CodeOf([&] { platform::SetCurrentDir(dir.win("missing")); }), 2);
  EXPECT_EQ(CodeOf([&] { platform::SetCurrentDir(dir.win("gone/deeper")); }), 3);
  EXPECT_EQ(CodeOf([&] { platform::BlockFile f("Q:\\unmapped.mnr"); }), 3);
#endif
}

TEST_F(PlatformTest, CurrentDirectoryRoundTrip) {
  const std::string before = platform::GetCurrentDir();
  ASSERT_GE(before.size(), 3u);
  EXPECT_EQ(before[1], ':');
  test_env::MakeDir(dir.host("sub"));
  platform::SetCurrentDir(dir.win("sub"));
  EXPECT_EQ(platform::GetCurrentDir(), dir.win("sub"));
  platform::SetCurrentDir(before);
  EXPECT_EQ(platform::GetCurrentDir(), before);
}

TEST_F(PlatformTest, BlockFileReadsWholeAndShortBlocks) {
  const std::string bytes = Pattern(600);
  test_env::WriteFile(dir.host("b.mnr"), bytes);
  platform::BlockFile f(dir.win("b.mnr"));
  char block[256];
  EXPECT_EQ(f.Read(block, 256), 256u);
  EXPECT_EQ(std::string(block, 256), bytes.substr(0, 256));
  EXPECT_EQ(f.Read(block, 256), 256u);
  EXPECT_EQ(f.Read(block, 256), 88u);
  EXPECT_EQ(std::string(block, 88), bytes.substr(512));
  EXPECT_EQ(f.Read(block, 256), 0u);
  f.Close();
}

// Text file: bytes sit in a 128-byte buffer that goes out whenever it fills.
TEST_F(PlatformTest, TextFileWritesOutEachFullBuffer) {
  const std::string text = Pattern(300);
  const std::string host = dir.host("t.txt");
  test_env::WriteFile(host, std::string("old contents, to be truncated"));
  platform::TextFile f(dir.win("t.txt"));
  EXPECT_EQ(Contents(host), "");
  f.Write(text.substr(0, 100));
  EXPECT_EQ(Contents(host), "");
  f.Write(text.substr(100, 28));
  EXPECT_EQ(Contents(host), text.substr(0, 128));
  f.Write(text.substr(128, 172));  // one call across two buffers
  EXPECT_EQ(Contents(host), text.substr(0, 256));
  f.Close();
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ(Contents(host), text);
}

TEST_F(PlatformTest, TextFileCountsWriteOutsAndCloses) {
  fi::StartCounting();
  {
    platform::TextFile f(dir.win("t.txt"));
    f.Write(Pattern(300));
    f.Close();
  }
  EXPECT_EQ(fi::Count(fi::Operation::kWriteOut), 3);
  EXPECT_EQ(fi::Count(fi::Operation::kClose), 1);
}

// A failed write-out loses the buffer it was given and stops the write; the
// file stays open, and a close then releases it.
TEST_F(PlatformTest, FailedWriteOutLosesItsBytes) {
  const std::string text = Pattern(400);
  const std::string host = dir.host("t.txt");
  platform::TextFile f(dir.win("t.txt"));
  fi::FailNth(fi::Operation::kWriteOut, 2, 112);
  EXPECT_EQ(CodeOf([&] { f.Write(text); }), 112);
  fi::Reset();
  EXPECT_TRUE(f.IsOpen());
  EXPECT_EQ(Contents(host), text.substr(0, 128));
  f.Write("tail");  // the buffer was emptied, the bytes after the failure not copied
  f.Close();
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ(Contents(host), text.substr(0, 128) + "tail");
  EXPECT_EQ(CodeOf([&] { f.Close(); }), 103);
}

TEST_F(PlatformTest, CloseAfterFailedWriteOutReleasesTheFile) {
  const std::string host = dir.host("t.txt");
  platform::TextFile f(dir.win("t.txt"));
  f.Write("fifty bytes, more or less, all still in the buffer");
  fi::FailNth(fi::Operation::kWriteOut, 1, 112);
  EXPECT_EQ(CodeOf([&] { f.Close(); }), 112);
  EXPECT_TRUE(f.IsOpen());
  fi::Reset();
  EXPECT_EQ(CodeOf([&] { f.Close(); }), -1);
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ(Contents(host), "");
  EXPECT_EQ(CodeOf([&] { f.Close(); }), 103);
}

TEST_F(PlatformTest, FailedCloseCountsAsClosed) {
  const std::string host = dir.host("t.txt");
  platform::TextFile f(dir.win("t.txt"));
  f.Write("written before the close fails");
  fi::FailNth(fi::Operation::kClose, 1, 6);
  EXPECT_EQ(CodeOf([&] { f.Close(); }), 6);
  EXPECT_FALSE(f.IsOpen());
  fi::Reset();
  EXPECT_EQ(CodeOf([&] { f.Close(); }), 103);
  EXPECT_EQ(Contents(host), "written before the close fails");
}

#ifndef _WIN32

// Real faults of the host, mapped to the codes the message table knows.
TEST_F(PlatformTest, HostErrorsBecomeWindowsCodes) {
  // A full disk: every write to /dev/full fails with ENOSPC.
  platform::TextFile full(test_env::WinPathOf("/dev/full"));
  full.Write(Pattern(100));
  EXPECT_EQ(CodeOf([&] { full.Close(); }), 112);
  full.Close();  // the failed write-out left the file open; this releases it

  // Too many open files, in a child with a small descriptor limit.
  test_env::WriteFile(dir.host("b.mnr"), std::string("x"));
  const std::string path = dir.win("b.mnr");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rlimit limit{16, 16};
    setrlimit(RLIMIT_NOFILE, &limit);
    std::vector<platform::BlockFile*> files;
    try {
      for (int i = 0; i < 32; ++i) files.push_back(new platform::BlockFile(path));
    } catch (const EInOutError& e) {
      _exit(e.ErrorCode() == 4 ? 0 : 1);
    }
    _exit(2);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: another code, 2: no error";
}

// The drive table maps drive letters and network roots to host folders.
class DriveTableTest : public testing::Test {
 protected:
  void SetUp() override {
    test_env::MakeDir(dir.host("c"));
    test_env::MakeDir(dir.host("c/quiz"));
    test_env::MakeDir(dir.host("c/quiz/sub"));
    test_env::MakeDir(dir.host("share"));
    test_env::MakeDir(dir.host("share/quiz"));
    platform::drive_table::MapDrive('C', dir.host("c"));
    platform::drive_table::MapNetworkRoot("\\\\server\\share", dir.host("share"));
  }
  void TearDown() override { platform::drive_table::Reset(); }

  std::string Host(const std::string& win) {
    std::string host;
    EXPECT_TRUE(platform::drive_table::ToHostPath(win, host)) << win;
    return host;
  }

  test_env::TempDir dir;
};

TEST_F(DriveTableTest, WindowsPathsReachHostFolders) {
  platform::SetCurrentDir("C:\\quiz");
  EXPECT_EQ(platform::GetCurrentDir(), "C:\\quiz");
  struct Case {
    const char* win;
    std::string host;
  };
  const Case cases[] = {
      {"C:\\quiz\\set1.mnr", dir.host("c/quiz/set1.mnr")},
      {"C:\\set1.mnr", dir.host("c/set1.mnr")},
      {"set1.mnr", dir.host("c/quiz/set1.mnr")},           // relative
      {"sub\\set1.mnr", dir.host("c/quiz/sub/set1.mnr")},  // relative
      {"\\other\\x.mnr", dir.host("c/other/x.mnr")},       // root-relative
      {"..\\x.mnr", dir.host("c/x.mnr")},
      {"C:\\quiz\\sub\\..\\..\\x.mnr", dir.host("c/x.mnr")},
      {"\\\\server\\share\\quiz\\set1.mnr", dir.host("share/quiz/set1.mnr")},
      {"Z:\\usr\\bin", "/usr/bin"},
  };
  for (const Case& c : cases) EXPECT_EQ(Host(c.win), c.host) << c.win;
  std::string host;
  EXPECT_FALSE(platform::drive_table::ToHostPath("Q:\\x", host));
  EXPECT_FALSE(platform::drive_table::ToHostPath("\\\\other\\share\\x", host));
}

TEST_F(DriveTableTest, FullWindowsPaths) {
  platform::SetCurrentDir("C:\\quiz");
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\a\\..\\b", "C:\\b"},
      {"set1.mnr", "C:\\quiz\\set1.mnr"},
      {"..\\x", "C:\\x"},
      {".\\sub\\.\\y", "C:\\quiz\\sub\\y"},
      {"\\top", "C:\\top"},
      {"C:\\quiz\\\\double", "C:\\quiz\\double"},
  };
  for (const auto& [in, out] : cases) {
    std::string full;
    EXPECT_TRUE(platform::drive_table::FullWindowsPath(in, full)) << in;
    EXPECT_EQ(full, out) << in;
  }
}

TEST_F(DriveTableTest, HostPathsSeenThroughTheDeepestMapping) {
  test_env::MakeDir(dir.host("c/quiz/sub/deep"));
  platform::drive_table::MapDrive('D', dir.host("c/quiz/sub"));
  const std::pair<std::string, std::string> cases[] = {
      {dir.host("c/quiz"), "C:\\quiz"},
      {dir.host("c/quiz/sub/deep"), "D:\\deep"},
      {dir.host("share/quiz"), "\\\\server\\share\\quiz"},
      {"/usr/bin", "Z:\\usr\\bin"},
  };
  for (const auto& [host, win] : cases) {
    std::string got;
    EXPECT_TRUE(platform::drive_table::FromHostPath(host, got)) << host;
    EXPECT_EQ(got, win) << host;
  }
}

TEST_F(DriveTableTest, NetworkFolderAsCurrentDirectory) {
  platform::SetCurrentDir("\\\\server\\share\\quiz");
  EXPECT_EQ(platform::GetCurrentDir(), "\\\\server\\share\\quiz");
  test_env::WriteFile(dir.host("share/quiz/n.mnr"), std::string("x"));
  EXPECT_TRUE(platform::FileExists("n.mnr"));
  EXPECT_TRUE(platform::FileExists("\\\\server\\share\\quiz\\n.mnr"));
  EXPECT_TRUE(platform::DirectoryExists("\\\\server\\share"));
}

TEST_F(DriveTableTest, ResetReturnsToTheHostsDirectory) {
  platform::SetCurrentDir("C:\\quiz");
  platform::drive_table::Reset();
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(platform::GetCurrentDir(), test_env::WinPathOf(cwd));
  std::string host;
  EXPECT_FALSE(platform::drive_table::ToHostPath("C:\\quiz", host));
}

#endif

}  // namespace
