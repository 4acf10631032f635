// mnr2txt as a user runs it: the real program, in a folder of its own, on
// problem files made by the test writer.

#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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
using cli_test::Said;
namespace mnr2txt_texts = cli::mnr2txt_texts;
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
    EXPECT_EQ(r.out, Said(mnr2txt_texts::kUsage)) << option;
    EXPECT_EQ(r.err, "") << option;
  }
}

TEST_F(Mnr2txt, NoFileIsAUsageError) {
  const RunResult r = Run({});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "mnr2txt: " + Said(mnr2txt_texts::kNoFile) + "\n" + Said(cli::shell_texts::kTryHelp, {"mnr2txt"}) + "\n");
}

TEST_F(Mnr2txt, UnknownOptionIsAUsageErrorAndConvertsNothing) {
  MakeSampleProblems().writeTo(Path("set1.mnr"));
  const RunResult r = Run({"set1.mnr", "--bogus"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(Said(cli::shell_texts::kUnknownOption, {"--bogus"})), std::string::npos) << r.err;
  ExpectNoGenreFiles("", "set1");
}

TEST_F(Mnr2txt, OutputOptionNeedsADirectory) {
  MakeSampleProblems().writeTo(Path("set1.mnr"));
  const RunResult r = Run({"set1.mnr", "-o"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(Said(mnr2txt_texts::kNeedsFolder, {"-o"})), std::string::npos) << r.err;
  ExpectNoGenreFiles("", "set1");
}

TEST_F(Mnr2txt, OutputDirectoryMustExist) {
  MakeSampleProblems().writeTo(Path("set1.mnr"));
  cli_test::WriteFile(Path("afile"), "not a folder");
  for (const char* dir : {"nowhere", "afile"}) {
    const RunResult r = Run({"-o", dir, "set1.mnr"});
    EXPECT_EQ(r.status, 2) << dir;
    EXPECT_EQ(r.err, "mnr2txt: " + std::string(dir) + ": " + Said(mnr2txt_texts::kNotAFolder) + "\n");
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
  ASSERT_TRUE(window.LoadFromFile(test_env::WinPathOf(windowFile)));
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

#ifdef _WIN32
// Paths over 260 bytes in UTF-8, mnr2txt's code page, but within 260 UTF-16
// characters, as the window program takes them: a file named with 40 kanji
// in a folder of 50, by a relative and by a full path, and -o into a folder
// of 50 kanji.
TEST_F(Mnr2txt, LongJapanesePathsWork) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese code page";
  std::string folder, base;  // CP932
  for (int i = 0; i < 25; ++i) folder += "\x96\xE2\x91\xE8";  // 問題
  for (int i = 0; i < 20; ++i) base += "\x8E\x8E\x8C\xB1";    // 試験
  const MnrWriter problems = MakeSampleProblems();
  ASSERT_TRUE(CreateDirectoryA(Path(folder).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(Path("o" + folder).c_str(), nullptr));
  problems.writeTo(Path(folder) + "\\" + base + ".mnr");
  const std::string file = folder + "\\" + base + ".mnr";
  const std::string shownFile = cli_test::Utf8Of(file);
  const std::string shownBase = cli_test::Utf8Of(folder + "\\" + base);
  ASSERT_GT(cli_test::Utf8Of(Path(file)).size(), 260u);

  RunResult r = Run({file});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, Exported(shownFile, shownBase + "0.txt", shownBase + "7.txt"));
  ExpectGenreFiles(Path(folder), base, problems);

  r = Run({Path(file)});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, Exported(cli_test::Utf8Of(Path(file)), cli_test::Utf8Of(Path(folder + "\\" + base)) + "0.txt",
                            cli_test::Utf8Of(Path(folder + "\\" + base)) + "7.txt"));

  r = Run({"-o", "o" + folder, file});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const std::string shownOut = cli_test::Utf8Of("o" + folder + "\\" + base);
  EXPECT_EQ(r.out, Exported(shownFile, shownOut + "0.txt", shownOut + "7.txt"));
  ExpectGenreFiles(Path("o" + folder), base, problems);
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

// The window's message for a file that is there; a missing one is said to
// be missing, not broken.
TEST_F(Mnr2txt, NotAProblemFileIsReported) {
  NotAProblemFile().writeTo(Path("bad.mnr"));
  cli_test::WriteFile(Path("short.mnr"), "MUNEBANK");
  for (const char* file : {"bad.mnr", "short.mnr", "missing.mnr"}) {
    const RunResult r = Run({file});
    EXPECT_EQ(r.status, 1) << file;
    EXPECT_EQ(r.out, "") << file;
    EXPECT_EQ(r.err, std::string(file) == "missing.mnr" ? Told(file, Said(cli::shell_texts::kNoSuchFile))
                                                       : Message(file, messages::kNotAProblemFile))
        << file;
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

// A folder where genre 3's file should go: it cannot be replaced ("access
// denied"), so none of the eight is.
TEST_F(Mnr2txt, AnUncreatableGenreFileIsNamedWithItsReasonAndNoneIsWritten) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("set1.mnr"));
  for (int g = 0; g < 8; ++g) {
    if (g != 3) cli_test::WriteFile(Path(GenreFileName("set1", g)), "earlier\r\n");
  }
  cli_test::MakeDir(Path("set13.txt"));
  const RunResult r = Run({"set1.mnr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, Told("set13.txt", cli_test::IoErrorSaid(platform::error_code::kAccessDenied)) +
                       SetLeft("set1.mnr", "set10.txt", "set17.txt") + Message("set1.mnr", messages::kExportFailed));
  for (int g = 0; g < 8; ++g) {
    if (g == 3) continue;
    EXPECT_EQ(ReadFile(Path(GenreFileName("set1", g))), "earlier\r\n") << g;
  }
  EXPECT_EQ(test_env::ListDir(Path()).size(), 9u);
}

#ifndef _WIN32
// A full disk: a small tmpfs holding the earlier outputs and a filler that
// leaves room for the small genre files but not for genre 3's. The set is
// left as it was.
TEST_F(Mnr2txt, AFullDiskIsNamedOnTheFileItHitAndLeavesTheSetAsItWas) {
  cli_test::MakeDir(Path("disk"));
  if (mount("tmpfs", Path("disk").c_str(), "tmpfs", 0, "size=1M") != 0) {
    GTEST_SKIP() << "mounting a small tmpfs is not permitted here: " << std::strerror(errno);
  }
  struct Unmount {
    std::string at;
    ~Unmount() { umount2(at.c_str(), MNT_DETACH); }
  } unmount{Path("disk")};

  MnrWriter problems = MakeSampleProblems();
  for (int n = 0; n < 1000; ++n) {  // about 120 KiB of text
    problems.genre(3).problems.push_back({std::string(100, 'q') + std::to_string(n), {"a", "b", "c", "d", "e"}});
  }
  problems.writeTo(Path("set1.mnr"));
  const std::string disk = "disk" + std::string(1, kSeparator);
  for (int g = 0; g < 8; ++g) cli_test::WriteFile(Path(disk + GenreFileName("set1", g)), "earlier\r\n");
  cli_test::WriteFile(Path(disk + "set1.csv"), "earlier\r\n");
  struct statvfs room {};
  ASSERT_EQ(statvfs(Path("disk").c_str(), &room), 0);
  cli_test::WriteFile(Path(disk + "filler"), std::string(room.f_bavail * room.f_frsize - 48 * 1024, 'f'));

  RunResult r = Run({"-o", "disk", "set1.mnr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  // "I/O error (112)": a numbered message takes no full stop. Genres 0 to 2
  // fitted, and are not put in place either.
  const std::string full = cli_test::IoErrorSaid(platform::error_code::kSystemDiskFull);
  EXPECT_EQ(r.err, Told(disk + "set13.txt", full) + SetLeft("set1.mnr", disk + "set10.txt", disk + "set17.txt") +
                       Message("set1.mnr", messages::kExportFailed));
  for (int g = 0; g < 8; ++g) EXPECT_EQ(ReadFile(Path(disk + GenreFileName("set1", g))), "earlier\r\n") << g;
  // The same for a single-stream output; nothing but the outputs is left.
  r = Run({"--csv", "-o", "disk", "set1.mnr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, Told(disk + "set1.csv", full) + Message("set1.mnr", messages::kExportFailed));
  EXPECT_EQ(ReadFile(Path(disk + "set1.csv")), "earlier\r\n");
  EXPECT_EQ(test_env::ListDir(Path("disk")),
            (std::vector<std::string>{"filler", "set1.csv", "set10.txt", "set11.txt", "set12.txt", "set13.txt",
                                      "set14.txt", "set15.txt", "set16.txt", "set17.txt"}));
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
  EXPECT_EQ(r.err, "mnr2txt: odd.mnr: " + Said(mnr2txt_texts::kInvalidBytes, {"3"}) + "\n");
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
