// mnr2txt's eight genre files as one set, run in this process with one
// write-out or one rename failed on purpose: a failure before the renames
// leaves every earlier file as it was; one between two renames is told.

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

#include "cli/mnr2txt/Convert.h"
#include <filesystem>

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

// mnr2txt's genre files, as mnr2txt run in this process writes them into
// out (-o out, as typed in the test's folder) over the earlier files, with
// standard error caught.
class GenreSet : public Mnr2txt {
 protected:
  void SetUp() override {
    for (int n = 0; n < 3000; ++n) {  // about 350 KiB of text: six writes of 64 KiB
      problems.genre(3).problems.push_back({std::string(100, 'q') + std::to_string(n), {"a", "b", "c", "d", "e"}});
    }
    problems.writeTo(Path("set1.mnr"));
    MakeDir(Path("out"));
    for (int g = 0; g < 8; ++g) WriteFile(Path(out + GenreFileName("set1", g)), "earlier\r\n");
  }
  void TearDown() override { fi::Reset(); }

  bool Convert(std::string& err) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(Path());
    cli::ConvertSettings settings;
    settings.outputDir = "out";
    cli::RunFiles runFiles;
    CaughtStandardError caught(Path("stderr.txt"));
    const bool converted = cli::ConvertFile(Path("set1.mnr"), settings, runFiles);
    err = caught.Take();
    fi::Reset();
    std::filesystem::current_path(before);
    return converted;
  }

  // Genre g's file as it is now: the new one, or the earlier.
  bool IsNew(int g) const {
    const std::string now = ReadFile(Path(out + GenreFileName("set1", g)));
    EXPECT_TRUE(now == problems.expectedGenreFile(g) || now == "earlier\r\n") << g;
    return now != "earlier\r\n";
  }

  // A window message as this process prints it: on Windows in its own
  // code page (mnr2txt's is UTF-8, by its manifest). Its own texts are
  // ASCII: the in-process run never chose a language, so they are English.
  static std::string ExportFailed(const std::string& file) {
#ifdef _WIN32
    return "mnr2txt: " + file + ": " + codepage::WideToAnsi(codepage::Cp932ToWide(messages::kExportFailed)) + "\n";
#else
    return Message(file, messages::kExportFailed);
#endif
  }

  static std::string English(cli::mnr2txt_texts::Id id, const std::vector<std::string>& args) {
    return texts::Fill(cli::mnr2txt_texts::kTable[id].english, args);
  }

  MnrWriter problems = MakeSampleProblems();
  const std::string out = std::string("out") + kSeparator;
};

// A write-out failing in the middle of genre 3's file: none of the eight is
// replaced, and no private file is left.
TEST_F(GenreSet, AWriteThatFailsInTheMiddleOfALargeGenreFileLeavesTheSetAsItWas) {
  for (int g = 0; g < 3; ++g) ASSERT_LT(problems.expectedGenreFile(g).size(), 64u * 1024) << g;
  ASSERT_GT(problems.expectedGenreFile(3).size(), 5u * 64 * 1024);
  // Genre files 0 to 2 take one write each; the fifth is the second of genre 3's.
  fi::FailNth(fi::Operation::kWriteOut, 5, 112);
  std::string err;
  EXPECT_FALSE(Convert(err));
  EXPECT_EQ(err, Told(out + "set13.txt", "I/O error (112)") +
                     Told(Path("set1.mnr"), English(cli::mnr2txt_texts::kSetLeftAsItWas, {out + "set10.txt", out + "set17.txt"})) +
                     ExportFailed(Path("set1.mnr")));
  for (int g = 0; g < 8; ++g) EXPECT_FALSE(IsNew(g)) << g;
  EXPECT_EQ(test_env::ListDir(Path("out")).size(), 8u);  // no private file
}

// What remains possible: a rename that fails between two renames (here the
// fourth) leaves the first three replaced, which is said.
TEST_F(GenreSet, ARenameThatFailsAfterOthersIsToldAsAMixedSet) {
  fi::FailNth(fi::Operation::kRename, 4, 5);
  std::string err;
  EXPECT_FALSE(Convert(err));
  EXPECT_EQ(err, Told(out + "set13.txt", "File access denied.") +
                     Told(Path("set1.mnr"), English(cli::mnr2txt_texts::kSetPartlyReplaced,
                                                 {out + "set10.txt", out + "set12.txt", out + "set13.txt"})) +
                     ExportFailed(Path("set1.mnr")));
  for (int g = 0; g < 8; ++g) EXPECT_EQ(IsNew(g), g < 3) << g;
  EXPECT_EQ(test_env::ListDir(Path("out")).size(), 8u);
}

}  // namespace
}  // namespace cli_test
