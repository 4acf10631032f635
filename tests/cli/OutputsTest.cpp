// mnr2txt's single-stream outputs: one file, CSV and JSON, to files and to
// standard output, from files and from standard input.

#include <gtest/gtest.h>

#include "tests/cli/CliTestEnv.h"
#include "tests/cli/Mnr2txtFixture.h"
#include "tests/support/RandomProblems.h"

namespace {

using cli_test::Mnr2txt;
using cli_test::ReadFile;
using cli_test::RunResult;
using cli_test::Said;
namespace mnr2txt_texts = cli::mnr2txt_texts;
using test_support::MnrWriter;

std::string AllGenreFiles(const MnrWriter& w) {
  std::string all;
  for (int g = 0; g < 8; ++g) all += w.expectedGenreFile(g);
  return all;
}

TEST_F(Mnr2txt, OneFileIsTheEightGenreFilesInOrder) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("set1.mnr"));
  RunResult r = Run({"--one-file", "set1.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "mnr2txt: set1.mnr: " + Said(cli::shell_texts::kWrote, {"set1.txt"}) + "\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadFile(Path("set1.txt")), AllGenreFiles(problems));

  r = Run({"--one-file", "--utf8", "-o", "-", "set1.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.rawOut, cli_test::Utf8Of(AllGenreFiles(problems)));  // nothing else on stdout
  EXPECT_EQ(r.err, "");
}

TEST_F(Mnr2txt, StandardInputAndOutputCarryTheSameBytesAsFiles) {
  MakeSampleProblems().writeTo(Path("set1.mnr"));
  ASSERT_EQ(Run({"--json", "set1.mnr"}).status, 0);
  ASSERT_EQ(Run({"--csv", "set1.mnr"}).status, 0);
  std::string json = ReadFile(Path("set1.json"));
  const std::string csv = ReadFile(Path("set1.csv"));
  ASSERT_EQ(json.rfind("{\"file\":\"set1.mnr\",", 0), 0u);

  RunResult r = Run({"--csv", "-o", "-", "set1.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.rawOut, csv);
  r = Run({"--json", "-o", "-", "-"}, Path("set1.mnr"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.rawOut, json.replace(0, 19, "{\"file\":\"stdin\","));
  // Written to files, standard input is named stdin.
  r = Run({"-", "--json"}, Path("set1.mnr"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "mnr2txt: stdin: " + Said(cli::shell_texts::kWrote, {"stdin.json"}) + "\n");
  EXPECT_EQ(ReadFile(Path("stdin.json")), json);
  // An empty standard input is no problem file.
  r = Run({"-"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "mnr2txt: stdin: " + cli_test::TerminalText(messages::kNotAProblemFile) + "\n");
}

TEST_F(Mnr2txt, CommandLinesThatCannotWork) {
  MakeSampleProblems().writeTo(Path("set1.mnr"));
  const struct {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{"-o", "-", "set1.mnr"}, Said(mnr2txt_texts::kStreamNeedsFormat)},
      {{"--csv", "-o", "-", "set1.mnr", "set1.mnr"}, Said(mnr2txt_texts::kStreamTakesOne)},
      {{"--csv", "--json", "set1.mnr"}, Said(mnr2txt_texts::kFormatsExclusive)},
      {{"--xlsx", "--one-file", "set1.mnr"}, Said(mnr2txt_texts::kFormatsExclusive)},
      {{""}, Said(mnr2txt_texts::kEmptyName)},
      {{"set1.mnr", ""}, Said(mnr2txt_texts::kEmptyName)},
  };
  for (const auto& c : cases) {
    const RunResult r = Run(c.args);
    EXPECT_EQ(r.status, 2) << c.error;
    EXPECT_EQ(r.out, "") << c.error;
    EXPECT_EQ(r.err, "mnr2txt: " + c.error + "\n" + Said(cli::shell_texts::kTryHelp, {"mnr2txt"}) + "\n");
  }
  EXPECT_FALSE(cli_test::FileExists(Path("set10.txt")));
}

#ifndef _WIN32
// Python's own csv and json modules read the outputs back; what they find
// must be the genre files' texts, for the sample and for random sets (texts
// of every kind: quotes, commas, control bytes, bytes that are no CP932).
TEST_F(Mnr2txt, CsvAndJsonReadBackAsTheGenreFiles) {
  test_support::RandomProblems random(20261208);
  std::vector<MnrWriter> sets = {MakeSampleProblems()};
  for (int i = 0; i < 6; ++i) sets.push_back(random.NextSet());
  for (std::size_t i = 0; i < sets.size(); ++i) {
    SCOPED_TRACE("set " + std::to_string(i));
    sets[i].writeTo(Path("set.mnr"));
    for (const char* format : {"--utf8", "--csv", "--json"}) {
      ASSERT_EQ(Run({format, "set.mnr"}).status, 0) << format;
    }
    const RunResult check = cli_test::RunProgram(
        "/usr/bin/env", {"python3", CHECK_FORMATS_PY, "set.csv", "set.json", "set"}, Path());
    EXPECT_EQ(check.status, 0) << check.err;
  }
}
#endif

}  // namespace
