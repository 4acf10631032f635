#pragma once
// The fixture of the mnr2txt tests: a private folder to run the real program
// in, and what it should print and write there.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "frontend/Messages.h"
#include "samples/SampleProblems.h"
#include "tests/cli/CliTestEnv.h"
#include "tests/support/MnrWriter.h"

namespace cli_test {

using test_support::MnrWriter;

inline std::string GenreFileName(const std::string& base, int g) {
  return base + std::to_string(g) + ".txt";
}

class Mnr2txt : public ::testing::Test {
 protected:
  std::string Path(const std::string& name = "") const { return dir_.host(name); }

  // stdinPath: a host file as standard input (the null device when empty).
  RunResult Run(const std::vector<std::string>& args, const std::string& stdinPath = "") const {
    return RunMnr2txt(args, dir_.host(), stdinPath);
  }

  // What the writer's problem file holds, as a string.
  static std::string BytesOf(const MnrWriter& w) {
    const test_support::Bytes b = w.bytes();
    return std::string(b.begin(), b.end());
  }

  // The names in the test's folder.
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Path())) names.insert(entry.path().filename().string());
    return names;
  }

  // The eight files in folder (a host path; "" for the test's folder) hold
  // exactly what the writer expects.
  void ExpectGenreFiles(const std::string& folder, const std::string& base,
                        const MnrWriter& problems) const {
    const std::string prefix = (folder.empty() ? Path() : folder) + kSeparator;
    for (int g = 0; g < 8; ++g) {
      EXPECT_EQ(ReadFile(prefix + GenreFileName(base, g)), problems.expectedGenreFile(g))
          << "genre " << g;
    }
  }

  void ExpectNoGenreFiles(const std::string& folder, const std::string& base) const {
    const std::string prefix = (folder.empty() ? Path() : folder) + kSeparator;
    for (int g = 0; g < 8; ++g) {
      EXPECT_FALSE(FileExists(prefix + GenreFileName(base, g))) << "genre " << g;
    }
  }

  static std::string Message(const std::string& file, const std::string& cp932) {
    return "mnr2txt: " + file + ": " + TerminalText(cp932) + "\n";
  }

  // "mnr2txt: FILE: TEXT" for a UTF-8 text.
  static std::string Told(const std::string& file, const std::string& utf8) {
    return "mnr2txt: " + file + ": " + utf8 + "\n";
  }

  // What mnr2txt says when a set of genre files is left as it was.
  static std::string SetLeft(const std::string& file, const std::string& first, const std::string& last) {
    return Told(file, cli_test::Said(cli::mnr2txt_texts::kSetLeftAsItWas, {first, last}));
  }

  static std::string Exported(const std::string& file, const std::string& first,
                              const std::string& last) {
    return "mnr2txt: " + file + ": " + TerminalText(messages::kExported) + " " + first +
           " ... " + last + "\n";
  }

  static MnrWriter NotAProblemFile() {
    MnrWriter w = MakeSampleProblems();
    w.setSignature("MUNEBANk");
    return w;
  }

 private:
  test_env::TempDir dir_;
};

}  // namespace cli_test
