// Outputs replaced whole or not at all: until Commit the earlier file stands
// untouched; after any failure or interrupt nothing but the earlier file is
// left; the private file is no one else's to open.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/FaultInjection.h"
#include "platform/ReplacementFile.h"
#include "tests/support/TestEnv.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fi = platform::fault_injection;
using platform::EInOutError;
using platform::ReplacementFile;

constexpr std::size_t kBuffer = 128;

int CodeOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EInOutError& e) {
    return e.ErrorCode();
  }
  return -1;
}

// Distinct bytes over several write-outs, so a lost or repeated block shows.
std::string Pattern(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('!' + (i * 7) % 90);
  return s;
}

std::string Contents(const std::string& host) {
  std::string bytes;
  EXPECT_TRUE(test_env::ReadFile(host, bytes)) << host;
  return bytes;
}

// The entries of the folder other than the output: private files.
std::vector<std::string> Others(const test_env::TempDir& dir, const std::string& output = "out.txt") {
  std::vector<std::string> others;
  for (const std::string& name : test_env::ListDir(dir.host())) {
    if (name != output) others.push_back(name);
  }
  return others;
}

class ReplacementFileTest : public testing::Test {
 protected:
  void SetUp() override { test_env::WriteFile(dir.host("out.txt"), std::string("earlier\r\n")); }
  void TearDown() override { fi::Reset(); }
  test_env::TempDir dir;
};

TEST_F(ReplacementFileTest, TheEarlierFileStandsUntilTheWholeNewOneTakesItsPlace) {
  const std::string bytes = Pattern(10 * kBuffer + 17);
  {
    ReplacementFile out(dir.host("out.txt"), kBuffer);
    out.Write(bytes.substr(0, 700));
    out.Write(bytes.substr(700));
    EXPECT_EQ(Contents(dir.host("out.txt")), "earlier\r\n");
#ifdef _WIN32
    // Marked for deletion and open without sharing: present, but no one
    // else's to open.
    const std::vector<std::string> others = Others(dir);
    ASSERT_EQ(others.size(), 1u);
    EXPECT_EQ(others[0].rfind(".munemoji-", 0), 0u) << others[0];
    HANDLE peek = CreateFileA(dir.host(others[0]).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    EXPECT_EQ(peek, INVALID_HANDLE_VALUE);
    if (peek != INVALID_HANDLE_VALUE) CloseHandle(peek);
#else
    EXPECT_EQ(Others(dir), std::vector<std::string>{});  // unnamed while written
#endif
    out.Commit();
  }
  EXPECT_EQ(Contents(dir.host("out.txt")), bytes);
  EXPECT_EQ(Others(dir), std::vector<std::string>{});

  // With no earlier file, and with nothing written.
  {
    ReplacementFile out(dir.host("new.txt"), kBuffer);
    out.Commit();
  }
  EXPECT_EQ(Contents(dir.host("new.txt")), "");
  EXPECT_EQ(Others(dir), std::vector<std::string>{"new.txt"});
}

TEST_F(ReplacementFileTest, KeepingAnExistingFileRefusesToReplaceIt) {
  // A file that appeared at the name while the new one was written stays,
  // and so does a link there (never written through); a free name is taken.
  const auto keep = [&](const std::string& name) {
    ReplacementFile out(dir.host(name), kBuffer, ReplacementFile::Existing::kKeep);
    out.Write(Pattern(3 * kBuffer));
    out.Commit();
  };
  EXPECT_EQ(CodeOf([&] { keep("out.txt"); }), 80);
  EXPECT_EQ(Contents(dir.host("out.txt")), "earlier\r\n");
  EXPECT_EQ(Others(dir), std::vector<std::string>{});
#ifndef _WIN32
  ASSERT_EQ(symlink("out.txt", dir.host("link.txt").c_str()), 0);
  EXPECT_EQ(CodeOf([&] { keep("link.txt"); }), 80);
  EXPECT_EQ(Contents(dir.host("out.txt")), "earlier\r\n");
  test_env::Remove(dir.host("link.txt"));
#endif
  EXPECT_EQ(CodeOf([&] { keep("new.txt"); }), -1);
  EXPECT_EQ(Contents(dir.host("new.txt")), Pattern(3 * kBuffer));
  EXPECT_EQ(Others(dir), std::vector<std::string>{"new.txt"});
}

TEST_F(ReplacementFileTest, AnyFailureLeavesTheEarlierFileAndNothingElse) {
  const std::string bytes = Pattern(5 * kBuffer + 3);  // six write-outs
  auto attempt = [&](bool commit) {
    ReplacementFile out(dir.host("out.txt"), kBuffer);
    out.Write(bytes);
    if (commit) out.Commit();
  };
  for (int n = 1; n <= 6; ++n) {
    fi::FailNth(fi::Operation::kWriteOut, n, 112);
    EXPECT_EQ(CodeOf([&] { attempt(true); }), 112) << "write-out " << n;
    EXPECT_EQ(Contents(dir.host("out.txt")), "earlier\r\n") << "write-out " << n;
    EXPECT_EQ(Others(dir), std::vector<std::string>{}) << "write-out " << n;
  }
  fi::FailNth(fi::Operation::kClose, 1, 5);
  EXPECT_EQ(CodeOf([&] { attempt(true); }), 5);
  fi::Reset();
  EXPECT_EQ(CodeOf([&] { attempt(false); }), -1);  // abandoned without Commit
  EXPECT_EQ(Contents(dir.host("out.txt")), "earlier\r\n");
  EXPECT_EQ(Others(dir), std::vector<std::string>{});

  // A folder at the name is refused when the file is complete; a missing
  // folder before anything is written.
  test_env::MakeDir(dir.host("folder"));
  test_env::WriteFile(dir.host("folder/inside"), std::string("kept"));
  EXPECT_EQ(CodeOf([&] {
              ReplacementFile out(dir.host("folder"), kBuffer);
              out.Write(bytes);
              out.Commit();
            }),
            5);
  EXPECT_EQ(Contents(dir.host("folder/inside")), "kept");
  EXPECT_EQ(CodeOf([&] { ReplacementFile out(dir.host("missing/out.txt"), kBuffer); }), 3);
  EXPECT_EQ(Others(dir), std::vector<std::string>{"folder"});
  EXPECT_EQ(Contents(dir.host("out.txt")), "earlier\r\n");
}

#ifndef _WIN32

class Umask {
 public:
  explicit Umask(mode_t mask) : saved_(umask(mask)) {}
  ~Umask() { umask(saved_); }

 private:
  mode_t saved_;
};

mode_t ModeOf(const std::string& host) {
  struct stat st {};
  EXPECT_EQ(lstat(host.c_str(), &st), 0) << host;
  return st.st_mode & 07777;
}

// Whether the user nobody (65534) can open the file for reading.
bool AnotherUserCanRead(const std::string& host) {
  const pid_t child = fork();
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    _exit(open(host.c_str(), O_RDONLY) >= 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "could not become another user";
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Where the file system keeps no unnamed files (network and older ones), the
// private file has a name: mode 0600 until complete, removed on failure, and
// the finished file gets what a newly created one gets.
TEST_F(ReplacementFileTest, ANamedPrivateFileIsTheOwnersAloneUntilItTakesThePlace) {
  Umask mask(027);
  const std::string bytes = Pattern(3 * kBuffer);
  {
    fi::FailNth(fi::Operation::kUnnamedFile, 1, 1);
    ReplacementFile out(dir.host("out.txt"), kBuffer);
    out.Write(bytes);
    const std::vector<std::string> others = Others(dir);
    ASSERT_EQ(others.size(), 1u);
    EXPECT_EQ(others[0].rfind(".munemoji-", 0), 0u) << others[0];
    EXPECT_EQ(ModeOf(dir.host(others[0])), 0600u);
    EXPECT_FALSE(AnotherUserCanRead(dir.host(others[0])));
    out.Commit();
  }
  EXPECT_EQ(Contents(dir.host("out.txt")), bytes);
  EXPECT_EQ(ModeOf(dir.host("out.txt")), 0640u);
  EXPECT_FALSE(AnotherUserCanRead(dir.host("out.txt")));  // 0640: not for others
  chmod(dir.host("out.txt").c_str(), 0644);
  EXPECT_TRUE(AnotherUserCanRead(dir.host("out.txt")));  // the probe can see what is readable
  EXPECT_EQ(Others(dir), std::vector<std::string>{});

  fi::FailNth(fi::Operation::kUnnamedFile, 1, 1);
  fi::FailNth(fi::Operation::kWriteOut, 2, 112);
  EXPECT_EQ(CodeOf([&] {
              ReplacementFile out(dir.host("out.txt"), kBuffer);
              out.Write(bytes);
            }),
            112);
  EXPECT_EQ(Contents(dir.host("out.txt")), bytes);
  EXPECT_EQ(Others(dir), std::vector<std::string>{});
}

TEST_F(ReplacementFileTest, TheNewFileGetsTheModeOfANewlyCreatedOne) {
  for (const mode_t mask : {mode_t{022}, mode_t{077}, mode_t{002}}) {
    Umask set(mask);
    ReplacementFile out(dir.host("out.txt"), kBuffer);
    out.Commit();
    EXPECT_EQ(ModeOf(dir.host("out.txt")), 0666u & ~mask) << std::oct << mask;
  }
}

// The program dies of an interrupt in the middle of an output, with the
// private file unnamed and with it named: only the earlier file is left, and
// the death is the signal's own.
TEST_F(ReplacementFileTest, AnInterruptLeavesOnlyTheEarlierFile) {
  struct Case {
    int signal;
    bool named;
  };
  for (const Case c : {Case{SIGINT, false}, Case{SIGINT, true}, Case{SIGTERM, true}, Case{SIGHUP, true},
                       Case{SIGKILL, false}}) {
    SCOPED_TRACE("signal " + std::to_string(c.signal) + (c.named ? ", named" : ", unnamed"));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (c.named) fi::FailNth(fi::Operation::kUnnamedFile, 1, 1);
      ReplacementFile out(dir.host("out.txt"), kBuffer);
      out.Write(Pattern(4 * kBuffer));
      raise(c.signal);
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
    EXPECT_EQ(Contents(dir.host("out.txt")), "earlier\r\n");
    EXPECT_EQ(Others(dir), std::vector<std::string>{});
  }
}

#endif

}  // namespace
