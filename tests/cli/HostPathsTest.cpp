// mnr2txt converts the file the path names as the host means it, never
// blocks, never writes over its own inputs or outputs, never reports a lost
// output as success, and never lets a name steer the terminal.

#include <gtest/gtest.h>

#include <algorithm>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/IoError.h"
#include "tests/cli/CliTestEnv.h"
#include "tests/cli/Mnr2txtFixture.h"

namespace {

using cli_test::kSeparator;
using cli_test::Said;
using cli_test::Mnr2txt;
using cli_test::ReadFile;
using cli_test::RunResult;
using cli_test::TerminalText;
using test_support::MnrWriter;

MnrWriter OtherProblems() {
  MnrWriter w;
  w.genre(4).name = "other";
  w.genre(4).problems.push_back({"Q", {"a", "b", "c", "d", "e"}});
  return w;
}

TEST_F(Mnr2txt, ARunNeverWritesOverItsProblemFilesOrItsOwnOutputs) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("x.mnr"));
  problems.writeTo(Path("x0.txt"));  // a problem file named like x.mnr's genre 0 file
  RunResult r = Run({"x.mnr", "x0.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "mnr2txt: x0.txt: " + Said(cli::mnr2txt_texts::kInputOfThisRun) + "\n" +
                       SetLeft("x.mnr", "x0.txt", "x7.txt") + Message("x.mnr", messages::kExportFailed));
  const test_support::Bytes bytes = problems.bytes();
  EXPECT_EQ(ReadFile(Path("x0.txt")), std::string(bytes.begin(), bytes.end()));
  EXPECT_FALSE(cli_test::FileExists(Path("x1.txt")));  // the set is written whole or not at all
  ExpectGenreFiles("", "x0", problems);  // x0.txt itself was converted

  const std::string a = std::string("a") + kSeparator + "x.mnr", b = std::string("b") + kSeparator + "x.mnr";
  cli_test::MakeDir(Path("a"));
  cli_test::MakeDir(Path("b"));
  cli_test::MakeDir(Path("out"));
  problems.writeTo(Path(a));
  OtherProblems().writeTo(Path(b));
  r = Run({"-o", "out", a, b});
  EXPECT_EQ(r.status, 1);
  const std::string out = std::string("out") + kSeparator;
  EXPECT_EQ(r.err, Told(out + "x0.txt", Said(cli::shell_texts::kWrittenByThisRun)) +
                       SetLeft(b, out + "x0.txt", out + "x7.txt") + Message(b, messages::kExportFailed));
  ExpectGenreFiles(Path("out"), "x", problems);
}

TEST_F(Mnr2txt, ControlBytesInAGenreNameAreShownVisibly) {
  MnrWriter w;
  w.genre(0).name = "\x1B[31mA\tB\r\x7F";
  w.writeTo(Path("esc.mnr"));
  const RunResult r = Run({"-l", "esc.mnr"});
  EXPECT_EQ(r.status, 0);
  const std::string lines = r.out.substr(r.out.find('\n') + 1);
  EXPECT_EQ(lines.substr(0, lines.find('\n') + 1),
            TerminalText(messages::GenreListLine(0, "^[[31mA^IB^M^?")) + "\t0\n");
  EXPECT_EQ(r.out.find('\x1B'), std::string::npos);
}

// A dot that begins a file name belongs to its base name, as the host's
// tools treat it: ".hidden" is no extension.
TEST_F(Mnr2txt, ALeadingDotBelongsToTheBaseName) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path(".hidden"));
  problems.writeTo(Path(".quiz.mnr"));
  RunResult r = Run({".hidden"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, Exported(".hidden", ".hidden0.txt", ".hidden7.txt"));
  ExpectGenreFiles("", ".hidden", problems);
  r = Run({"--csv", ".quiz.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "mnr2txt: .quiz.mnr: " + Said(cli::shell_texts::kWrote, {".quiz.csv"}) + "\n");
  EXPECT_TRUE(cli_test::FileExists(Path(".quiz.csv")));
}

#ifdef _WIN32
// Windows drops the dots and spaces a name ends in: what is written, and
// said to be, is the name without them, from either program.
TEST_F(Mnr2txt, NamesEndingInDotsOrSpacesAreToldAsWindowsStoresThem) {
  MakeSampleProblems().writeTo(Path("basic.mnr"));
  cli_test::MakeDir(Path("out"));
  RunResult r = Run({"--json", "basic.mnr.", "-o", "out. "});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "mnr2txt: basic.mnr.: " + Said(cli::shell_texts::kWrote, {"out\\basic.json"}) + "\n");
  r = cli_test::RunTxt2mnr({"-o", "x.mnr. .", "out\\basic.json."}, Path());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "txt2mnr: out\\basic.json.: " + Said(cli::shell_texts::kWrote, {"x.mnr"}) + "\n");
  EXPECT_EQ(test_env::ListDir(Path()), (std::vector<std::string>{"basic.mnr", "out", "x.mnr"}));
  EXPECT_EQ(test_env::ListDir(Path("out")), std::vector<std::string>{"basic.json"});
}
#endif

#ifndef _WIN32
// C1 controls and bidirectional controls in a name reach the terminal as
// "<U+XXXX>", beside the caret form of the other controls, in every message;
// characters next to those ranges pass as they are.
TEST_F(Mnr2txt, NamesCannotSteerTheTerminalNorReorderItsLine) {
  const std::string name = "a\xC2\x9B" "31m\xE2\x80\xAE" "b\xE2\x81\xA6" "c\x1B" "d\xC2\x85" "e\xE2\x81\xA9";
  const std::string shown = "a<U+009B>31m<U+202E>b<U+2066>c^[d<U+0085>e<U+2069>";
  const std::string neighbours = "\xC2\xA0\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA\xC2\x7F";
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path(name + ".mnr"));
  RunResult r = Run({name + ".mnr", "gone" + name, neighbours});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, Exported(shown + ".mnr", shown + "0.txt", shown + "7.txt"));
  EXPECT_EQ(r.err, Told("gone" + shown, Said(cli::shell_texts::kNoSuchFile)) +
                       Told("\xC2\xA0\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA\xC2^?", Said(cli::shell_texts::kNoSuchFile)));
  ExpectGenreFiles("", name, problems);
  r = Run({"-l", name + ".mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), shown + ".mnr:\n");
}

// A host name that already holds U+F000 + a character Windows forbids in
// names has no Windows form of its own: "p\uF05Cq" would come back as
// "p\\q", another file. Such a name is refused, as a file, as the -o folder,
// and as the current folder of standard input, and nothing is written.
TEST_F(Mnr2txt, ANameHoldingTheFormOfAForbiddenCharacterIsRefused) {
  const std::string lookalike = "p\xEF\x81\x9Cq";  // p U+F05C q
  MakeSampleProblems().writeTo(Path("p\\q.mnr"));
  OtherProblems().writeTo(Path(lookalike + ".mnr"));
  cli_test::MakeDir(Path("d" + lookalike));
  const std::string invalidName = cli_test::IoErrorSaid(platform::error_code::kPathNotFound);
  RunResult r = Run({lookalike + ".mnr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, Told(lookalike + ".mnr", invalidName));
  r = Run({"-o", "d" + lookalike, "p\\q.mnr"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "mnr2txt: d" + lookalike + ": " + Said(cli::mnr2txt_texts::kNotAFolder) + "\n");
  r = cli_test::RunMnr2txt({"-"}, Path("d" + lookalike), Path("p\\q.mnr"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, Told("stdin", invalidName));
  std::vector<std::string> names = {"d" + lookalike, lookalike + ".mnr", "p\\q.mnr"};
  std::sort(names.begin(), names.end());
  EXPECT_EQ(test_env::ListDir(Path()), names);
  EXPECT_EQ(test_env::ListDir(Path("d" + lookalike)), std::vector<std::string>{});
}

TEST_F(Mnr2txt, DotDotIsResolvedAsTheKernelResolvesIt) {
  const MnrWriter problems = MakeSampleProblems();
  cli_test::MakeDir(Path("work"));
  cli_test::MakeDir(Path("elsewhere"));
  cli_test::MakeDir(Path("elsewhere/sub"));
  ASSERT_EQ(symlink(Path("elsewhere/sub").c_str(), Path("work/link").c_str()), 0);
  problems.writeTo(Path("elsewhere/sample.mnr"));
  OtherProblems().writeTo(Path("work/sample.mnr"));  // what a textual ".." would take

  RunResult r = Run({"work/link/../sample.mnr"});
  EXPECT_EQ(r.status, 0) << r.err;
  ExpectGenreFiles(Path("elsewhere"), "sample", problems);
  EXPECT_FALSE(cli_test::FileExists(Path("work/sample0.txt")));

  // A file is no folder, and a missing folder has no parent to go back to:
  // neither path names a file.
  problems.writeTo(Path("ok.mnr"));
  for (const char* path : {"ok.mnr/", "nosuchdir/../ok.mnr"}) {
    r = Run({path});
    EXPECT_EQ(r.status, 1) << path;
    EXPECT_EQ(r.err, Told(path, Said(cli::shell_texts::kNoSuchFile)));
  }
  EXPECT_FALSE(cli_test::FileExists(Path("ok0.txt")));
}

// Another name for a problem file of the run is that file.
TEST_F(Mnr2txt, LinksToAProblemFileAreNotWrittenThrough) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("x.mnr"));
  const test_support::Bytes bytes = problems.bytes();
  ASSERT_EQ(link(Path("x.mnr").c_str(), Path("x0.txt").c_str()), 0);
  ASSERT_EQ(symlink(Path("x.mnr").c_str(), Path("x1.txt").c_str()), 0);
  const RunResult r = Run({"x.mnr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "mnr2txt: x0.txt: " + Said(cli::mnr2txt_texts::kInputOfThisRun) + "\n" +
                       SetLeft("x.mnr", "x0.txt", "x7.txt") + Message("x.mnr", messages::kExportFailed));
  EXPECT_EQ(ReadFile(Path("x.mnr")), std::string(bytes.begin(), bytes.end()));
  EXPECT_EQ(test_env::ListDir(Path()), (std::vector<std::string>{"x.mnr", "x0.txt", "x1.txt"}));
}

TEST_F(Mnr2txt, NamesWithCharactersWindowsRefusesAreTheirOwn) {
  const MnrWriter problems = MakeSampleProblems();
  // With an unrelated a/b.mnr present, a\b.mnr must still be a\b.mnr; the
  // raw Shift-JIS name 表示.mnr holds the byte 0x5C too.
  cli_test::MakeDir(Path("a"));
  OtherProblems().writeTo(Path("a/b.mnr"));
  for (const std::string name : {"a\\b", "\x95\x5C\x8E\xA6", "q:*?\"<>|"}) {
    problems.writeTo(Path(name + ".mnr"));
    const RunResult r = Run({name + ".mnr"});
    EXPECT_EQ(r.status, 0) << name << r.err;
    ExpectGenreFiles("", name, problems);
  }
  EXPECT_FALSE(cli_test::FileExists(Path("a/b0.txt")));
}

TEST_F(Mnr2txt, FifosNeverBlock) {
  const MnrWriter problems = MakeSampleProblems();
  ASSERT_EQ(mkfifo(Path("fifo.mnr").c_str(), 0600), 0);
  RunResult r = Run({"fifo.mnr"});  // no writer: read as empty
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Message("fifo.mnr", messages::kNotAProblemFile));

  // A FIFO where an output goes is replaced like any file, never written
  // into (nor waited on for a reader).
  problems.writeTo(Path("set1.mnr"));
  ASSERT_EQ(mkfifo(Path("set13.txt").c_str(), 0600), 0);
  r = Run({"set1.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, Exported("set1.mnr", "set10.txt", "set17.txt"));
  struct stat st {};
  ASSERT_EQ(lstat(Path("set13.txt").c_str(), &st), 0);
  ASSERT_TRUE(S_ISREG(st.st_mode));  // reading a FIFO left in place would wait here
  ExpectGenreFiles("", "set1", problems);
}

TEST_F(Mnr2txt, ALostStandardOutputIsAFailure) {
  MakeSampleProblems().writeTo(Path("set1.mnr"));
  for (const char* command : {"-l set1.mnr", "--help", "--version", "--json -o - set1.mnr"}) {
    const RunResult r = cli_test::RunProgram(
        "/bin/sh", {"-c", "\"$0\" " + std::string(command) + " >/dev/full",
                    cli_test::HostPathOfBuildFile(MNR2TXT_PATH)}, Path());
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_EQ(r.err, "mnr2txt: " + Said(cli::shell_texts::kStandardOutputError) + "\n") << command;
  }
}
#endif

}  // namespace
