// mnr2txt converts the file the path names as the host means it, never
// blocks, never writes over its own inputs or outputs, never reports a lost
// output as success, and never lets a name steer the terminal.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/IoError.h"
#include "tests/cli/CliTestEnv.h"
#include "tests/cli/Mnr2txtFixture.h"

namespace {

using cli_test::kSeparator;
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
  EXPECT_EQ(r.err, "mnr2txt: x0.txt: not written: it is a problem file of this run\n" +
                       Message("x.mnr", messages::kExportFailed));
  const test_support::Bytes bytes = problems.bytes();
  EXPECT_EQ(ReadFile(Path("x0.txt")), std::string(bytes.begin(), bytes.end()));
  ExpectGenreFiles("", "x0", problems);  // x0.txt itself was converted

  const std::string a = std::string("a") + kSeparator + "x.mnr", b = std::string("b") + kSeparator + "x.mnr";
  cli_test::MakeDir(Path("a"));
  cli_test::MakeDir(Path("b"));
  cli_test::MakeDir(Path("out"));
  problems.writeTo(Path(a));
  OtherProblems().writeTo(Path(b));
  r = Run({"-o", "out", a, b});
  EXPECT_EQ(r.status, 1);
  std::string expected;
  for (int g = 0; g < 8; ++g)
    // Appended piece by piece: GCC 12's i686 string code warns about a false
    // overlap in "literal" + std::to_string(...).
    ((((expected += "mnr2txt: out") += kSeparator) += 'x') += std::to_string(g))
        += ".txt: not written: this run already wrote it\n";
  EXPECT_EQ(r.err, expected + Message(b, messages::kExportFailed));
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

#ifndef _WIN32
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

  // A file is no folder, and a missing folder has no parent to go back to.
  problems.writeTo(Path("ok.mnr"));
  const std::string invalidName = messages::WithFullStop(platform::IoErrorMessage(platform::error_code::kPathNotFound));
  for (const char* path : {"ok.mnr/", "nosuchdir/../ok.mnr"}) {
    r = Run({path});
    EXPECT_EQ(r.status, 1) << path;
    EXPECT_EQ(r.err, Message(path, invalidName));
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
  EXPECT_EQ(r.err, "mnr2txt: x0.txt: not written: it is a problem file of this run\n"
                   "mnr2txt: x1.txt: not written: it is a problem file of this run\n" +
                       Message("x.mnr", messages::kExportFailed));
  EXPECT_EQ(ReadFile(Path("x.mnr")), std::string(bytes.begin(), bytes.end()));
  EXPECT_EQ(ReadFile(Path("x2.txt")), problems.expectedGenreFile(2));
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

  problems.writeTo(Path("set1.mnr"));
  ASSERT_EQ(mkfifo(Path("set13.txt").c_str(), 0600), 0);  // no reader: cannot be opened
  r = Run({"set1.mnr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Message("set13.txt", "I/O \x83G\x83\x89\x81[ (233)") +
                       Message("set1.mnr", messages::kExportFailed));
  for (int g : {0, 7}) {
    EXPECT_EQ(ReadFile(Path("set1" + std::to_string(g) + ".txt")), problems.expectedGenreFile(g));
  }
}

TEST_F(Mnr2txt, ALostStandardOutputIsAFailure) {
  MakeSampleProblems().writeTo(Path("set1.mnr"));
  for (const char* command : {"-l set1.mnr", "--help", "--version", "--json -o - set1.mnr"}) {
    const RunResult r = cli_test::RunProgram(
        "/bin/sh", {"-c", "\"$0\" " + std::string(command) + " >/dev/full",
                    cli_test::HostPathOfBuildFile(MNR2TXT_PATH)}, Path());
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_EQ(r.err, "mnr2txt: standard output: write error\n") << command;
  }
}
#endif

}  // namespace
