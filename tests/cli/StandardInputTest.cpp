// "-" as FILE: the problem file read straight from standard input. No more
// is read than the problem file holds, nothing is made in the temporary
// folder, and the file behind standard input is an input of the run.

#include <gtest/gtest.h>

#include "tests/cli/CliTestEnv.h"
#include "tests/cli/Mnr2txtFixture.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

using cli_test::Mnr2txt;
using cli_test::ReadFile;
using cli_test::RunResult;
using cli_test::Said;
namespace mnr2txt_texts = cli::mnr2txt_texts;
using test_support::MnrWriter;

// Standard input redirected from the very file an output would replace.
TEST_F(Mnr2txt, TheFileBehindStandardInputIsNeverWrittenOver) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("stdin.txt"));
  const test_support::Bytes bytes = problems.bytes();
  RunResult r = Run({"--one-file", "-"}, Path("stdin.txt"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "mnr2txt: stdin.txt: " + Said(mnr2txt_texts::kInputOfThisRun) + "\n" +
                       Message("stdin", messages::kExportFailed));
  EXPECT_EQ(ReadFile(Path("stdin.txt")), std::string(bytes.begin(), bytes.end()));

  // Redirected from another file, the same output is written.
  problems.writeTo(Path("set1.mnr"));
  r = Run({"--one-file", "-"}, Path("set1.mnr"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "mnr2txt: stdin: " + Said(cli::shell_texts::kWrote, {"stdin.txt"}) + "\n");
  EXPECT_EQ(r.err, "");
  std::string all;
  for (int g = 0; g < 8; ++g) all += problems.expectedGenreFile(g);
  EXPECT_EQ(ReadFile(Path("stdin.txt")), all);
}

#ifndef _WIN32

class StandardInput : public Mnr2txt {
 protected:
  void SetUp() override { cli_test::MakeDir(Path("tmp")); }

  // Runs a shell command line with $0 the program and TMPDIR a folder of
  // the test's own, which must still be empty afterwards. Should the program
  // ever copy a stream again, files stop at 1 GiB and the whole pipeline is
  // killed after a minute.
  RunResult Shell(const std::string& commandLine, const std::string& stdinPath = "") const {
    const RunResult r = cli_test::RunProgram(
        "/usr/bin/timeout",
        {"-s", "KILL", "60", "/bin/bash", "-c", "ulimit -f 1048576; export TMPDIR=\"$1\"; " + commandLine,
         cli_test::HostPathOfBuildFile(MNR2TXT_PATH), Path("tmp")},
        Path(), stdinPath);
    EXPECT_EQ(test_env::ListDir(Path("tmp")), std::vector<std::string>{}) << commandLine;
    return r;
  }
};

// A valid problem file followed by more bytes converts as the same bytes
// given by name: the text formats never read past the last record, the JSON
// reads on only as far as it keeps trailing bytes, even when they never end.
TEST_F(StandardInput, WhatFollowsTheProblemFileIsReadAsInAFileByName) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("set1.mnr"));
  std::string endless;
  for (int i = 0; i < 1024 * 1024; ++i) endless += "y\n";  // more than the JSON keeps
  cli_test::WriteFile(Path("tail.mnr"), ReadFile(Path("set1.mnr")) + endless);
  RunResult r = Run({"--json", "-o", "-", "tail.mnr"});
  ASSERT_EQ(r.status, 0);
  std::string json = r.rawOut;
  json.replace(0, json.find(','), "{\"file\":\"stdin\"");
  EXPECT_NE(json.find("\"trailingComplete\":false"), std::string::npos);

  r = Shell("{ cat set1.mnr; yes; } | \"$0\" --json -o - -");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.rawOut, json);

  r = Shell("{ cat set1.mnr; yes; } | \"$0\" -");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, Exported("stdin", "stdin0.txt", "stdin7.txt"));
  ExpectGenreFiles("", "stdin", problems);
}

// The problem file is read a piece at a time and each output written as its
// records arrive: a file of 10 MB is converted in less memory than its size,
// by name and through a pipe, in every format. (Sanitizers hold memory of their
// own: the bound is not theirs.)
TEST_F(StandardInput, MemoryStaysBoundedWhateverTheFileSize) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' own memory";
#endif
  MnrWriter large = MakeSampleProblems();
  for (int g = 0; g < 8; ++g)
    for (int n = 0; n < 5000; ++n)
      large.genre(g).problems.push_back({std::string(58, 'q') + std::to_string(n), {"a", "b", "c", "d", "e"}});
  large.writeTo(Path("large.mnr"));
  cli_test::MakeDir(Path("out"));
  // The program's own peak, as GNU time measures it for the child it starts.
  const auto peakKib = [&](const std::string& pipeline, const std::string& what) {
    const RunResult r = Shell(pipeline);
    EXPECT_EQ(r.status, 0) << what << r.out << r.err;
    return std::stol("0" + ReadFile(Path("peak")));
  };
  const std::string timed = "/usr/bin/time -f %M -o peak \"$0\" ";
  constexpr long kBoundKib = 8 * 1024;
  for (const std::string format : {"--one-file", "--utf8", "--csv", "--json", "--xlsx"}) {
    EXPECT_LT(peakKib(timed + format + " -o out large.mnr", format), kBoundKib) << format;
    EXPECT_LT(peakKib("cat large.mnr | " + timed + format + " -o out -", format), kBoundKib) << format << " through a pipe";
  }
  // A workbook to a stream that cannot be rewritten is held in a private
  // file until it is complete, never in memory.
  EXPECT_LT(peakKib("cat large.mnr | " + timed + "--xlsx -o - - | cmp - out/large.xlsx", "a workbook"), kBoundKib)
      << "a workbook from a pipe to a pipe";
}

// A problem file of many pipe reads, through a pipe left non-blocking by
// whoever started the program and written late: read whole, as by name.
TEST_F(StandardInput, ALargeFileThroughANonBlockingPipeReadsAsByName) {
  MnrWriter problems = MakeSampleProblems();
  for (int n = 0; n < 4000; ++n) problems.genre(6).problems.push_back({std::string("q").append(std::to_string(n)), {"a", "b", "c", "d", "e"}});
  problems.writeTo(Path("big.mnr"));
  RunResult r = Run({"--json", "-o", "-", "big.mnr"});
  ASSERT_EQ(r.status, 0);
  std::string json = r.rawOut;
  json.replace(0, json.find(','), "{\"file\":\"stdin\"");
  r = Shell("{ sleep 0.3; cat big.mnr; } | /usr/bin/python3 -c 'import fcntl, os, sys; "
            "fcntl.fcntl(0, fcntl.F_SETFL, fcntl.fcntl(0, fcntl.F_GETFL) | os.O_NONBLOCK); "
            "os.execv(sys.argv[1], sys.argv[1:])' \"$0\" --json -o - -");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(r.rawOut == json) << r.rawOut.size() << " bytes, " << json.size() << " expected";
}

// Endless or huge streams that are no problem file are refused after the
// header: the writer is cut off (SIGPIPE, status 141) instead of drained.
TEST_F(StandardInput, AStreamThatIsNoProblemFileIsRefusedAfterItsHeader) {
  for (const char* writer : {"yes", "head -c 5G /dev/zero"}) {
    const RunResult r = Shell(std::string(writer) + " | \"$0\" -; echo \"${PIPESTATUS[0]} ${PIPESTATUS[1]}\"");
    EXPECT_EQ(r.out, "141 1\n") << writer;
    EXPECT_EQ(r.err, Message("stdin", messages::kNotAProblemFile)) << writer;
  }
  EXPECT_EQ(test_env::ListDir(Path()), std::vector<std::string>{"tmp"});
}

// Whatever another user plants in the temporary folder, at the names an
// earlier version copied standard input to (a symbolic link to a victim, a
// file, a FIFO), changes nothing: the run reads its standard input alone.
TEST_F(StandardInput, NothingPlantedInTheTemporaryFolderHasAnyEffect) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("set1.mnr"));
  MnrWriter other;
  other.genre(0).name = "planted";
  other.writeTo(Path("planted.mnr"));
  cli_test::WriteFile(Path("victim"), "victim");
  const RunResult expected = Run({"--json", "-o", "-", "-"}, Path("set1.mnr"));
  ASSERT_EQ(expected.status, 0);

  for (const std::string plant : {"ln -s \"$PWD/victim\"", "cp planted.mnr", "mkfifo"}) {
    // $$ is the shell's process id, which exec hands on to the program.
    const std::string command = plant + " \"$TMPDIR/mnr2txt-$$-1.mnr\"";
    RunResult r = cli_test::RunProgram(
        "/bin/bash",
        {"-c", "export TMPDIR=\"$1\"; " + command + "; exec \"$0\" --json -o - -",
         cli_test::HostPathOfBuildFile(MNR2TXT_PATH), Path("tmp")},
        Path(), Path("set1.mnr"));
    EXPECT_EQ(r.status, 0) << plant;
    EXPECT_EQ(r.err, "") << plant;
    EXPECT_EQ(r.rawOut, expected.rawOut) << plant;
    EXPECT_EQ(ReadFile(Path("victim")), "victim") << plant;
    EXPECT_EQ(test_env::ListDir(Path("tmp")).size(), 1u) << plant;  // the plant alone
    test_env::Remove(Path("tmp"));
    cli_test::MakeDir(Path("tmp"));
  }
}

#endif

}  // namespace
