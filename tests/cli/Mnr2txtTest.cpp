// mnr2txt as a user runs it: the real program, in a folder of its own, on
// problem files made by the test writer.

#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "format/mnrFormat.h"
#include "frontend/Messages.h"
#include "platform/FileServices.h"
#include "platform/IoError.h"
#include "samples/SampleProblems.h"
#include "tests/cli/CliTestEnv.h"
#include "tests/cli/Mnr2txtFixture.h"
#include "tests/support/MnrWriter.h"

namespace {

using cli_test::GenreFileName;
using cli_test::kSeparator;
using cli_test::Mnr2txt;
using cli_test::ReadFile;
using cli_test::RunResult;
using cli_test::TerminalText;
using test_support::MnrWriter;

// --- options and usage -----------------------------------------------------

TEST_F(Mnr2txt, VersionIsPrinted) {
  const RunResult r = Run({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "mnr2txt 0.80\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(Mnr2txt, HelpGoesToStandardOutput) {
  for (const char* option : {"-h", "--help"}) {
    const RunResult r = Run({option});
    EXPECT_EQ(r.status, 0) << option;
    EXPECT_EQ(r.out.rfind("Usage: mnr2txt [options] FILE...\n", 0), 0u) << option;
    EXPECT_NE(r.out.find("--utf8"), std::string::npos) << option;
    EXPECT_EQ(r.err, "") << option;
  }
}

TEST_F(Mnr2txt, NoFileIsAUsageError) {
  const RunResult r = Run({});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "mnr2txt: no problem file given\nTry 'mnr2txt --help' for more information.\n");
}

TEST_F(Mnr2txt, UnknownOptionIsAUsageErrorAndConvertsNothing) {
  MakeSampleProblems().writeTo(Path("set1.mnr"));
  const RunResult r = Run({"set1.mnr", "--bogus"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unknown option --bogus"), std::string::npos) << r.err;
  ExpectNoGenreFiles("", "set1");
}

TEST_F(Mnr2txt, OutputOptionNeedsADirectory) {
  MakeSampleProblems().writeTo(Path("set1.mnr"));
  const RunResult r = Run({"set1.mnr", "-o"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("option -o needs a directory"), std::string::npos) << r.err;
  ExpectNoGenreFiles("", "set1");
}

TEST_F(Mnr2txt, OutputDirectoryMustExist) {
  MakeSampleProblems().writeTo(Path("set1.mnr"));
  cli_test::WriteFile(Path("afile"), "not a folder");
  for (const char* dir : {"nowhere", "afile"}) {
    const RunResult r = Run({"-o", dir, "set1.mnr"});
    EXPECT_EQ(r.status, 2) << dir;
    EXPECT_EQ(r.err, "mnr2txt: " + std::string(dir) + ": not an existing directory\n");
    ExpectNoGenreFiles("", "set1");
  }
}

// --- converting --------------------------------------------------------------

TEST_F(Mnr2txt, ConvertsBesideTheProblemFile) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("set1.mnr"));
  const RunResult r = Run({"set1.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Exported("set1.mnr", "set10.txt", "set17.txt"));
  EXPECT_EQ(r.err, "");
  ExpectGenreFiles("", "set1", problems);
}

TEST_F(Mnr2txt, WritesExactlyWhatTheWindowProgramWrites) {
  const MnrWriter problems = MakeSampleProblems();
  cli_test::MakeDir(Path("cli"));
  cli_test::MakeDir(Path("window"));
  problems.writeTo(Path("cli") + kSeparator + "set1.mnr");
  problems.writeTo(Path("window") + kSeparator + "set1.mnr");

  ASSERT_EQ(Run({"cli" + std::string(1, kSeparator) + "set1.mnr"}).status, 0);
  // The window program's export button: the core, with an empty output folder.
  T_mnrFormat window;
  const std::string windowFile = Path("window") + kSeparator + "set1.mnr";
  ASSERT_TRUE(window.LoadFromFile(platform::FullPathFromNative(windowFile)));
  ASSERT_TRUE(window.ExportGenreFiles(""));

  for (int g = 0; g < 8; ++g) {
    const std::string name = std::string(1, kSeparator) + GenreFileName("set1", g);
    const std::string fromWindow = ReadFile(Path("window") + name);
    EXPECT_FALSE(fromWindow.empty());
    EXPECT_EQ(ReadFile(Path("cli") + name), fromWindow) << "genre " << g;
  }
}

TEST_F(Mnr2txt, AcceptsNativePaths) {
  const MnrWriter problems = MakeSampleProblems();
  cli_test::MakeDir(Path("quiz"));
  problems.writeTo(Path("quiz") + kSeparator + "set1.mnr");
  const std::string relative = "quiz" + std::string(1, kSeparator) + "set1.mnr";
  const std::string shownDir = "quiz" + std::string(1, kSeparator);

  RunResult r = Run({relative});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Exported(relative, shownDir + "set10.txt", shownDir + "set17.txt"));
  ExpectGenreFiles(Path("quiz"), "set1", problems);

  const std::string absolute = Path("quiz") + kSeparator + "set1.mnr";
  r = Run({absolute});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Exported(absolute, Path("quiz") + kSeparator + "set10.txt",
                            Path("quiz") + kSeparator + "set17.txt"));
  ExpectGenreFiles(Path("quiz"), "set1", problems);
}

#ifndef _WIN32
TEST_F(Mnr2txt, JapaneseFileNameOnLinux) {
  const MnrWriter problems = MakeSampleProblems();
  const std::string name = "\xE3\x82\xAF\xE3\x82\xA4\xE3\x82\xBA";  // クイズ in UTF-8
  problems.writeTo(Path(name + ".mnr"));
  const RunResult r = Run({name + ".mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Exported(name + ".mnr", name + "0.txt", name + "7.txt"));
  ExpectGenreFiles("", name, problems);
}
#endif

#ifdef _WIN32
TEST_F(Mnr2txt, ShiftJisNamesWhoseTrailByteIsABackslash) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese code page";
  const MnrWriter problems = MakeSampleProblems();
  const std::string hyo = "\x95\x5C";  // 表: its trail byte is '\'
  ASSERT_TRUE(CreateDirectoryA(Path(hyo).c_str(), nullptr));
  problems.writeTo(Path(hyo) + "\\" + hyo + ".mnr");
  // mnr2txt runs in UTF-8 (its manifest) and prints names so.
  const std::string utf8Hyo = "\xE8\xA1\xA8";

  // In the folder 表 itself, and from a folder 表 given to -o.
  const std::string file = hyo + "\\" + hyo + ".mnr";
  const std::string printed = utf8Hyo + "\\" + utf8Hyo;
  RunResult r = Run({file});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Exported(printed + ".mnr", printed + "0.txt", printed + "7.txt"));
  ExpectGenreFiles(Path(hyo), hyo, problems);

  ASSERT_TRUE(CreateDirectoryA(Path("out" + hyo).c_str(), nullptr));
  r = Run({"-o", "out" + hyo, file});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Exported(printed + ".mnr", "out" + printed + "0.txt", "out" + printed + "7.txt"));
  ExpectGenreFiles(Path("out" + hyo), hyo, problems);
}
#endif

TEST_F(Mnr2txt, OutputOptionWritesIntoThatFolderOnly) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("set1.mnr"));
  cli_test::MakeDir(Path("out"));
  const std::string out = "out" + std::string(1, kSeparator);

  RunResult r = Run({"-o", "out", "set1.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Exported("set1.mnr", out + "set10.txt", out + "set17.txt"));
  ExpectGenreFiles(Path("out"), "set1", problems);
  ExpectNoGenreFiles("", "set1");

  // The long forms, and a folder given with its trailing separator.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--output", out, "set1.mnr"},
        std::vector<std::string>{"--output=out", "set1.mnr"}}) {
    std::filesystem::remove_all(Path("out"));
    cli_test::MakeDir(Path("out"));
    r = Run(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Exported("set1.mnr", out + "set10.txt", out + "set17.txt"));
    ExpectGenreFiles(Path("out"), "set1", problems);
  }
  ExpectNoGenreFiles("", "set1");
}

TEST_F(Mnr2txt, ExistingGenreFilesAreReplaced) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("set1.mnr"));
  for (int g = 0; g < 8; ++g) {
    cli_test::WriteFile(Path(GenreFileName("set1", g)), std::string(100000, 'x'));
  }
  EXPECT_EQ(Run({"set1.mnr"}).status, 0);
  ExpectGenreFiles("", "set1", problems);
}

// --- listing -----------------------------------------------------------------

TEST_F(Mnr2txt, ListShowsGenresAndCountsAndWritesNothing) {
  MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("set1.mnr"));
  MnrWriter other;
  other.genre(2).name = "\x95\x5C\x8E\xA6";  // 表示: its trail byte 0x5C is no separator
  other.genre(2).problems.resize(3);
  other.writeTo(Path("other.mnr"));

  std::string expected = "set1.mnr:\n";
  for (int g = 0; g < 8; ++g) {
    expected += TerminalText(messages::GenreListLine(g, problems.genre(g).name)) + "\t" +
                std::to_string(problems.genre(g).problems.size()) + "\n";
  }
  expected += "other.mnr:\n";
  for (int g = 0; g < 8; ++g) {
    expected += TerminalText(messages::GenreListLine(g, other.genre(g).name)) + "\t" +
                (g == 2 ? "3" : "0") + "\n";
  }
  for (const char* option : {"-l", "--list"}) {
    const RunResult r = Run({option, "set1.mnr", "other.mnr"});
    EXPECT_EQ(r.status, 0) << option;
    EXPECT_EQ(r.out, expected) << option;
    EXPECT_EQ(r.err, "") << option;
  }
  ExpectNoGenreFiles("", "set1");
  ExpectNoGenreFiles("", "other");
}

TEST_F(Mnr2txt, ListOfANonProblemFileFails) {
  NotAProblemFile().writeTo(Path("bad.mnr"));
  const RunResult r = Run({"-l", "bad.mnr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, Message("bad.mnr", messages::kNotAProblemFile));
}

// --- failures ------------------------------------------------------------------

TEST_F(Mnr2txt, NotAProblemFileIsReported) {
  NotAProblemFile().writeTo(Path("bad.mnr"));
  cli_test::WriteFile(Path("short.mnr"), "MUNEBANK");
  for (const char* file : {"bad.mnr", "short.mnr", "missing.mnr"}) {
    const RunResult r = Run({file});
    EXPECT_EQ(r.status, 1) << file;
    EXPECT_EQ(r.out, "") << file;
    EXPECT_EQ(r.err, Message(file, messages::kNotAProblemFile)) << file;
  }
  ExpectNoGenreFiles("", "bad");
  ExpectNoGenreFiles("", "short");
  ExpectNoGenreFiles("", "missing");
}

TEST_F(Mnr2txt, ABadFileInTheMiddleLeavesTheOthersConverted) {
  const MnrWriter first = MakeSampleProblems();
  MnrWriter last;
  last.genre(5).name = "last";
  last.genre(5).problems.push_back({"Q", {"a", "b", "c", "d", "e"}});
  first.writeTo(Path("a.mnr"));
  NotAProblemFile().writeTo(Path("b.mnr"));
  last.writeTo(Path("c.mnr"));

  const RunResult r = Run({"a.mnr", "b.mnr", "c.mnr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, Exported("a.mnr", "a0.txt", "a7.txt") + Exported("c.mnr", "c0.txt", "c7.txt"));
  EXPECT_EQ(r.err, Message("b.mnr", messages::kNotAProblemFile));
  ExpectGenreFiles("", "a", first);
  ExpectNoGenreFiles("", "b");
  ExpectGenreFiles("", "c", last);
}

TEST_F(Mnr2txt, AnUncreatableGenreFileIsNamedWithItsReasonAndTheRestIsWritten) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("set1.mnr"));
  // A folder where genre 3's file should go: creating it fails with
  // "access denied".
  cli_test::MakeDir(Path("set13.txt"));
  const RunResult r = Run({"set1.mnr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  const std::string denied = messages::WithFullStop(
      platform::IoErrorMessage(platform::error_code::kAccessDenied));
  EXPECT_EQ(r.err, Message("set13.txt", denied) + Message("set1.mnr", messages::kExportFailed));
  for (int g = 0; g < 8; ++g) {
    if (g == 3) continue;
    EXPECT_EQ(ReadFile(Path(GenreFileName("set1", g))), problems.expectedGenreFile(g)) << g;
  }
}

#ifndef _WIN32
TEST_F(Mnr2txt, AFullDiskIsNamedOnTheFileItHit) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("set1.mnr"));
  // Genre 3's file on a full disk; the other genres are still written.
  ASSERT_EQ(symlink("/dev/full", Path("set13.txt").c_str()), 0);
  RunResult r = Run({"set1.mnr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  // "I/O エラー (112)": a numbered message takes no full stop.
  EXPECT_EQ(r.err, Message("set13.txt", "I/O \x83G\x83\x89\x81[ (112)") +
                       Message("set1.mnr", messages::kExportFailed));
  for (int g = 0; g < 8; ++g) {
    if (g == 3) continue;
    EXPECT_EQ(ReadFile(Path(GenreFileName("set1", g))), problems.expectedGenreFile(g)) << g;
  }
  // The same for a single-stream output.
  ASSERT_EQ(symlink("/dev/full", Path("set1.csv").c_str()), 0);
  r = Run({"--csv", "set1.mnr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Message("set1.csv", "I/O \x83G\x83\x89\x81[ (112)") +
                       Message("set1.mnr", messages::kExportFailed));
}
#endif

// --- UTF-8 output ----------------------------------------------------------------

TEST_F(Mnr2txt, Utf8OutputIsTheSystemsConversionOfTheShiftJisOutput) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("set1.mnr"));
  const RunResult r = Run({"--utf8", "set1.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Exported("set1.mnr", "set10.txt", "set17.txt"));
  EXPECT_EQ(r.err, "");
  for (int g = 0; g < 8; ++g) {
    const std::string shiftJis = problems.expectedGenreFile(g);
    const std::string utf8 = ReadFile(Path(GenreFileName("set1", g)));
    EXPECT_EQ(utf8, cli_test::Utf8Of(shiftJis)) << "genre " << g;
    EXPECT_NE(utf8, shiftJis) << "genre " << g;  // Japanese in every genre
  }
}

TEST_F(Mnr2txt, Utf8OutputKeepsInvalidBytesVisibleAndCountsThem) {
  MnrWriter problems;
  // A lead byte before a byte that cannot trail it, and a lead byte at the
  // end of a line: neither is CP932.
  problems.genre(0).name = "A\x81\x7F" "B\x82";
  problems.genre(0).problems.push_back({"Q\x81\x7Fx", {"a", "b", "c", "d", "e"}});
  problems.writeTo(Path("odd.mnr"));

  const RunResult r = Run({"--utf8", "odd.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Exported("odd.mnr", "odd0.txt", "odd7.txt"));
  EXPECT_EQ(r.err, "mnr2txt: odd.mnr: warning: 3 byte(s) not valid CP932 written as U+FFFD\n");
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(ReadFile(Path("odd0.txt")),
            "A" + replacement + "\x7F" "B" + replacement + "\r\n\r\nQ" + replacement +
                "\x7Fx\r\na\r\nb\r\nc\r\nd\r\ne\r\n");
  for (int g = 1; g < 8; ++g) EXPECT_EQ(ReadFile(Path(GenreFileName("odd", g))), "\r\n");
}

TEST_F(Mnr2txt, DefaultOutputKeepsInvalidBytesAsTheyAre) {
  MnrWriter problems;
  problems.genre(0).name = "A\x81\x7F" "B\x82";
  problems.writeTo(Path("odd.mnr"));
  const RunResult r = Run({"odd.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadFile(Path("odd0.txt")), problems.expectedGenreFile(0));
}

// --- the shipped sample ---------------------------------------------------------

TEST_F(Mnr2txt, ConvertsTheShippedSample) {
  const std::string sample = ReadFile(cli_test::HostPathOfBuildFile(SAMPLE_PATH));
  ASSERT_FALSE(sample.empty());
  cli_test::WriteFile(Path("sample.mnr"), sample);
  const RunResult r = Run({"sample.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  ExpectGenreFiles("", "sample", MakeSampleProblems());
}

}  // namespace
