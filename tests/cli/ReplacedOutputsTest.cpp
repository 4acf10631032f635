// Outputs replaced whole or not at all: whatever stands at an output's name
// (an earlier output, a link, a file another program holds) is either left
// as it was or replaced by the complete new file, never written through,
// and nothing else is left in the folder, whatever happens to the run.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/IoError.h"
#include "tests/cli/CliTestEnv.h"
#include "tests/cli/Mnr2txtFixture.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#endif

namespace {

using cli_test::GenreFileName;
using cli_test::Mnr2txt;
using cli_test::ReadFile;
using cli_test::RunResult;
using test_support::MnrWriter;

#ifdef _WIN32
// Another program holds the earlier genre 3 file open, sharing reading only:
// it cannot be replaced, which is found before any rename: all eight stay
// as they were.
TEST_F(Mnr2txt, AnOutputAnotherProgramHoldsIsNamedAndLeftWhole) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("set1.mnr"));
  for (int g = 0; g < 8; ++g) cli_test::WriteFile(Path(GenreFileName("set1", g)), "earlier\r\n");
  HANDLE held = CreateFileA(Path("set13.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const RunResult r = Run({"set1.mnr"});
  CloseHandle(held);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, Told("set13.txt", cli_test::IoErrorSaid(platform::error_code::kAccessDenied)) +
                       SetLeft("set1.mnr", "set10.txt", "set17.txt") + Message("set1.mnr", messages::kExportFailed));
  for (int g = 0; g < 8; ++g) EXPECT_EQ(ReadFile(Path(GenreFileName("set1", g))), "earlier\r\n") << g;
  std::vector<std::string> expected = {"set1.mnr"};
  for (int g = 0; g < 8; ++g) expected.push_back(GenreFileName("set1", g));
  EXPECT_EQ(test_env::ListDir(Path()), expected);
}
#else

// Links planted at output names, as another user could in a shared folder:
// each is replaced by the output, and what it pointed to stays as it was.
TEST_F(Mnr2txt, ALinkAtAnOutputNameIsReplacedNeverWrittenThrough) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("set1.mnr"));
  cli_test::MakeDir(Path("elsewhere"));
  cli_test::WriteFile(Path("elsewhere/target"), "target");
  cli_test::WriteFile(Path("elsewhere/linked"), "linked");
  ASSERT_EQ(symlink(Path("elsewhere/target").c_str(), Path("set13.txt").c_str()), 0);
  ASSERT_EQ(link(Path("elsewhere/linked").c_str(), Path("set15.txt").c_str()), 0);
  ASSERT_EQ(symlink(Path("elsewhere/absent").c_str(), Path("set16.txt").c_str()), 0);  // dangling
  ASSERT_EQ(symlink(Path("elsewhere/target").c_str(), Path("set1.json").c_str()), 0);

  RunResult r = Run({"set1.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, Exported("set1.mnr", "set10.txt", "set17.txt"));
  ExpectGenreFiles("", "set1", problems);
  r = Run({"--json", "set1.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadFile(Path("set1.json")).rfind("{\"file\":\"set1.mnr\",", 0), 0u);
  for (const char* name : {"set13.txt", "set16.txt", "set1.json"}) {
    struct stat st {};
    ASSERT_EQ(lstat(Path(name).c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode)) << name;
  }
  EXPECT_EQ(ReadFile(Path("elsewhere/target")), "target");
  EXPECT_EQ(ReadFile(Path("elsewhere/linked")), "linked");
  EXPECT_EQ(test_env::ListDir(Path("elsewhere")), (std::vector<std::string>{"linked", "target"}));
}

// --- interrupts --------------------------------------------------------------

// Problems with every field filled: large genre files, so a run lasts long
// enough to be interrupted at chosen points.
MnrWriter LargeProblems() {
  MnrWriter w;
  for (int g = 0; g < 8; ++g) {
    w.genre(g).name = "genre " + std::to_string(g);
    for (int n = 0; n < 5000; ++n) {
      test_support::Problem p;
      p.question = std::string(110, static_cast<char>('A' + g)) + std::to_string(n);
      for (int c = 0; c < 5; ++c) p.choices[c] = std::string(22, static_cast<char>('a' + c)) + std::to_string(n);
      w.genre(g).problems.push_back(p);
    }
  }
  return w;
}

// mnr2txt started in the background, its output captured in files.
class Background {
 public:
  // ignored: a signal it starts with ignored, as nohup starts programs.
  Background(const std::vector<std::string>& args, const std::string& workDir, const std::string& tmpDir,
             int ignored = 0)
      : out_(workDir + "/../out.log"), err_(workDir + "/../err.log") {
    const std::string program = cli_test::HostPathOfBuildFile(MNR2TXT_PATH);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      setenv("TMPDIR", tmpDir.c_str(), 1);
      if (ignored != 0) signal(ignored, SIG_IGN);
      if (chdir(workDir.c_str()) != 0) _exit(126);
      dup2(open("/dev/null", O_RDONLY), 0);
      dup2(open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
      dup2(open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
  }

  pid_t Pid() const { return pid_; }
  // After a SIGSTOP: true once it has stopped, false when it ended instead.
  bool Stopped() {
    if (status_ >= 0) return false;
    int status = 0;
    waitpid(pid_, &status, WUNTRACED);
    if (WIFSTOPPED(status)) return true;
    status_ = status;
    return false;
  }
  // The raw wait status.
  int Wait() {
    if (status_ < 0) waitpid(pid_, &status_, 0);
    return status_;
  }
  std::string Out() const { return ReadFile(out_); }
  std::string Err() const { return ReadFile(err_); }

  // The descriptors it holds on files in folder that have no name there (a
  // private file being written), as /proc paths.
  std::vector<std::string> PrivateFilesIn(const std::string& folder) const {
    std::vector<std::string> found;
    const std::string fds = "/proc/" + std::to_string(pid_) + "/fd";
    DIR* dir = opendir(fds.c_str());
    if (dir == nullptr) return found;
    while (const dirent* entry = readdir(dir)) {
      char target[4096];
      const std::string fd = fds + "/" + entry->d_name;
      const ssize_t n = readlink(fd.c_str(), target, sizeof target - 1);
      if (n <= 0) continue;
      const std::string path(target, static_cast<std::size_t>(n));
      if (path.rfind(folder + "/", 0) == 0 && path.find(".mnr") == std::string::npos) found.push_back(fd);
    }
    closedir(dir);
    return found;
  }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  std::string out_, err_;
};

// Whether a program run as the user nobody (65534), or as the owner, can
// read the file at path: a /proc path or a name in a folder.
bool CanRead(const std::string& path, bool asNobody) {
  std::vector<std::string> args = {"--reuid=65534", "--regid=65534", "--clear-groups", "/bin/cat", path};
  if (!asNobody) args.erase(args.begin(), args.begin() + 3);
  return cli_test::RunProgram(asNobody ? "/usr/bin/setpriv" : "/bin/cat", asNobody ? args : std::vector<std::string>{path},
                              "/").status == 0;
}

// What a /proc descriptor link names.
std::string TargetOf(const std::string& fd) {
  char target[4096];
  const ssize_t n = readlink(fd.c_str(), target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

ino_t InodeOf(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// Holds the program still until the condition holds: it is looked at only
// while the program is stopped, so the point it saw is where the program
// stays (however loaded the machine). True when reached, the program left
// stopped; false when the program ended first.
template <typename Condition>
bool StopWhen(Background& run, Condition condition) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < giveUp) {
    kill(run.Pid(), SIGSTOP);
    if (!run.Stopped()) return false;
    if (condition()) return true;
    kill(run.Pid(), SIGCONT);
    std::this_thread::yield();
  }
  return false;
}

// Over the outputs of an earlier run, mnr2txt is interrupted (SIGINT) or
// killed (SIGKILL) while it writes the first genre file, while it writes the
// last one (all eight then held privately, none replaced), and while it
// writes a one-file text and a CSV. Each time it dies of that signal having
// printed nothing; the eight genre files are then all the earlier ones (or,
// after an interrupt that waited for the renames, all the new ones), a
// single output the earlier file or the complete new one; nothing else is
// in the folder or in TMPDIR; and while it ran, no other user could read
// what it was writing, by its name or through /proc, which its owner can.
TEST_F(Mnr2txt, AnInterruptLeavesEachOutputEarlierOrWhole) {
  cli_test::MakeDir(Path("work"));
  cli_test::MakeDir(Path("ref"));
  cli_test::MakeDir(Path("tmp"));
  LargeProblems().writeTo(Path("work/big.mnr"));
  LargeProblems().writeTo(Path("ref/big.mnr"));
  struct Format {
    std::string option;
    std::vector<std::string> outputs;
  };
  std::vector<Format> formats = {{"", {}}, {"--one-file", {"big.txt"}}, {"--csv", {"big.csv"}}};
  for (int g = 0; g < 8; ++g) formats[0].outputs.push_back(GenreFileName("big", g));
  for (const Format& format : formats) {
    std::vector<std::string> args = {"big.mnr"};
    if (!format.option.empty()) args.insert(args.begin(), format.option);
    ASSERT_EQ(cli_test::RunMnr2txt(args, Path("ref")).status, 0);
  }

  struct Point {
    std::size_t format;
    std::size_t privateFiles;  // how many it must be writing (or holding)
    const char* what;
  };
  const Point points[] = {{0, 1, "the first genre file"}, {0, 8, "the last genre file"},
                          {1, 1, "the one file"},         {2, 1, "the CSV"}};
  std::vector<std::string> allNames = {"big.mnr"};
  for (const Format& format : formats) allNames.insert(allNames.end(), format.outputs.begin(), format.outputs.end());
  std::sort(allNames.begin(), allNames.end());
  for (const int signal : {SIGINT, SIGKILL}) {
    for (const Point& point : points) {
      const Format& format = formats[point.format];
      SCOPED_TRACE(std::string(signal == SIGINT ? "SIGINT" : "SIGKILL") + " while writing " + point.what);
      for (const std::string& name : allNames) {
        if (name != "big.mnr") cli_test::WriteFile(Path("work/" + name), "earlier " + name + "\r\n");
      }
      std::vector<ino_t> earlier;
      for (const std::string& name : format.outputs) earlier.push_back(InodeOf(Path("work/" + name)));
      std::vector<std::string> args = {"big.mnr"};
      if (!format.option.empty()) args.insert(args.begin(), format.option);

      Background run(args, Path("work"), Path("tmp"));
      const bool reached = StopWhen(run, [&] {
        for (std::size_t i = 0; i < format.outputs.size(); ++i) {
          if (InodeOf(Path("work/" + format.outputs[i])) != earlier[i]) return false;  // renamed already
        }
        // Still written (or held): no name yet, not the moment of its rename.
        const std::vector<std::string> files = run.PrivateFilesIn(Path("work"));
        for (const std::string& fd : files) {
          if (TargetOf(fd).find(" (deleted)") == std::string::npos) return false;
        }
        return files.size() >= point.privateFiles;
      });
      ASSERT_TRUE(reached) << "the run ended before the point: " << run.Err();
      for (const std::string& fd : run.PrivateFilesIn(Path("work"))) {
        EXPECT_TRUE(CanRead(fd, false)) << fd;  // the probe works
        EXPECT_FALSE(CanRead(fd, true)) << fd;
        const std::string name = TargetOf(fd);
        EXPECT_FALSE(CanRead(name.substr(0, name.find(" (deleted)")), true)) << name;
      }
      EXPECT_TRUE(CanRead(Path("work/big.mnr"), true));  // another user reads what is readable
      kill(run.Pid(), signal);
      kill(run.Pid(), SIGCONT);
      const int status = run.Wait();
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
      EXPECT_EQ(run.Out(), "");
      EXPECT_EQ(run.Err(), "");

      EXPECT_EQ(test_env::ListDir(Path("work")), allNames);
      EXPECT_EQ(test_env::ListDir(Path("tmp")), std::vector<std::string>{});
      std::size_t replaced = 0;
      for (const std::string& name : format.outputs) {
        const std::string now = ReadFile(Path("work/" + name));
        EXPECT_TRUE(now == "earlier " + name + "\r\n" || now == ReadFile(Path("ref/" + name)))
            << name << " is neither the earlier nor the new file (" << now.size() << " bytes)";
        replaced += now != "earlier " + name + "\r\n";
      }
      // A set is never mixed; killed, nothing held back by it is put in place.
      EXPECT_TRUE(replaced == 0 || (signal == SIGINT && replaced == format.outputs.size())) << replaced;
    }
  }
}

// Started with hangups ignored (nohup), mnr2txt keeps them ignored: a
// hangup while it writes changes nothing, and every output is written.
TEST_F(Mnr2txt, AHangupIgnoredAtTheStartStaysIgnored) {
  cli_test::MakeDir(Path("work"));
  cli_test::MakeDir(Path("tmp"));
  const MnrWriter problems = LargeProblems();
  problems.writeTo(Path("work/big.mnr"));
  Background run({"big.mnr"}, Path("work"), Path("tmp"), SIGHUP);
  ASSERT_TRUE(StopWhen(run, [&] { return !run.PrivateFilesIn(Path("work")).empty(); })) << run.Err();
  kill(run.Pid(), SIGHUP);
  kill(run.Pid(), SIGCONT);
  const int status = run.Wait();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(run.Out(), Exported("big.mnr", "big0.txt", "big7.txt"));
  EXPECT_EQ(run.Err(), "");
  ExpectGenreFiles(Path("work"), "big", problems);
}

#endif

}  // namespace
