// mnr2txt's large writes, run in this process with one write-out failed on
// purpose in the middle of a large genre file: the failure is reported for
// that file, which is not left behind, and every other genre file is still
// written whole.

#include <gtest/gtest.h>

#include <cstdio>
#ifdef _WIN32
#include <io.h>
#define dup _dup
#define dup2 _dup2
#define close _close
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "cli/Convert.h"
#include "platform/CodePage.h"
#include "platform/FaultInjection.h"
#include "platform/FileServices.h"
#include "tests/cli/Mnr2txtFixture.h"

namespace cli_test {
namespace {

namespace fi = platform::fault_injection;

// This process's standard error, caught in a file until Take.
class CaughtStandardError {
 public:
  explicit CaughtStandardError(const std::string& hostPath) : path_(hostPath) {
    std::fflush(stderr);
    saved_ = dup(fileno(stderr));
    FILE* file = std::fopen(hostPath.c_str(), "wb");
    dup2(fileno(file), fileno(stderr));
    std::fclose(file);
  }
  ~CaughtStandardError() { Restore(); }
  std::string Take() {
    Restore();
    return ReadFile(path_);
  }

 private:
  void Restore() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    dup2(saved_, fileno(stderr));
    close(saved_);
    saved_ = -1;
  }
  std::string path_;
  int saved_ = -1;
};

TEST_F(Mnr2txt, AWriteThatFailsInTheMiddleOfALargeGenreFileFailsThatFileAlone) {
  MnrWriter problems = MakeSampleProblems();
  for (int n = 0; n < 3000; ++n) {  // about 350 KiB of text: six writes of 64 KiB
    problems.genre(3).problems.push_back({std::string(100, 'q') + std::to_string(n), {"a", "b", "c", "d", "e"}});
  }
  problems.writeTo(Path("set1.mnr"));
  for (int g = 0; g < 3; ++g) ASSERT_LT(problems.expectedGenreFile(g).size(), 64u * 1024) << g;
  ASSERT_GT(problems.expectedGenreFile(3).size(), 5u * 64 * 1024);
  MakeDir(Path("out"));

  cli::ConvertSettings settings;
  settings.outputDir = platform::FullPathFromNative(Path("out")) + "\\";
  settings.outputDirShown = "out";
  cli::RunFiles runFiles;
  // Genre files 0 to 2 take one write each; the fifth is the second of genre 3's.
  fi::FailNth(fi::Operation::kWriteOut, 5, 112);
  CaughtStandardError caught(Path("stderr.txt"));
  const bool converted = cli::ConvertFile(Path("set1.mnr"), settings, runFiles);
  const std::string err = caught.Take();
  fi::Reset();

  EXPECT_FALSE(converted);
  // A message as this process prints it: on Windows in its own code page
  // (mnr2txt's is UTF-8, by its manifest).
  const auto message = [](const std::string& file, const std::string& cp932) {
#ifdef _WIN32
    return "mnr2txt: " + file + ": " + codepage::WideToAnsi(codepage::Cp932ToWide(cp932)) + "\n";
#else
    return Message(file, cp932);
#endif
  };
  const std::string out = std::string("out") + kSeparator;
  // "I/O エラー (112)": a numbered message takes no full stop.
  EXPECT_EQ(err, message(out + "set13.txt", "I/O \x83G\x83\x89\x81[ (112)") +
                     message(Path("set1.mnr"), messages::kExportFailed));
  std::vector<std::string> written;
  for (int g = 0; g < 8; ++g) {
    if (g == 3) continue;
    written.push_back(GenreFileName("set1", g));
    EXPECT_EQ(ReadFile(Path(out + written.back())), problems.expectedGenreFile(g)) << g;
  }
  EXPECT_EQ(test_env::ListDir(Path("out")), written);  // nothing of genre 3, no private file
}

}  // namespace
}  // namespace cli_test
