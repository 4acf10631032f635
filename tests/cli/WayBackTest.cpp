// txt2mnr where the way back could lose or mix things: a file valid both as
// UTF-8 and as CP932, two inputs naming one output, inputs that are no
// files or would never end, standard streams, many errors and warnings,
// and --check held against a real round trip of each export.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "tests/cli/CliTestEnv.h"
#include "tests/cli/Mnr2txtFixture.h"
#include "tests/support/RandomProblems.h"

namespace {

using cli_test::ReadFile;
using cli_test::RunResult;
using cli_test::Said;
using cli_test::WriteFile;
using test_support::MnrWriter;
using test_support::Problem;
namespace txt2mnr_texts = cli::txt2mnr_texts;

// The sanitizer build (scripts/reliability.sh) doubles what memory holds
// and adds its own.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

constexpr char kCsvHeader[] = "genre,name,question,choice1,choice2,choice3,choice4,choice5\r\n";

class WayBack : public cli_test::Mnr2txt {
 protected:
  RunResult Txt(const std::vector<std::string>& args, const std::string& stdinPath = "") const {
    return cli_test::RunTxt2mnr(args, Path(), stdinPath);
  }
  // "txt2mnr: FILE: TEXT".
  static std::string Line(const std::string& file, const std::string& text) { return "txt2mnr: " + file + ": " + text + "\n"; }
};

std::string Place(const std::string& genre) { return genre + ": "; }

// "ﾂｰ" in CP932 is the bytes C2 B0, "°" in UTF-8: a genre file mnr2txt wrote
// in Shift-JIS, and a CSV a spreadsheet saved in CP932, of such kana alone.
TEST_F(WayBack, AFileValidBothWaysIsRefusedUntilItsEncodingIsSaid) {
  MnrWriter kana;
  kana.genre(0).name = "\xC2\xB0";
  kana.genre(0).problems = {Problem{"\xC2\xB0", {"a", "b", "c", "d", "e"}}};
  kana.writeTo(Path("set1.mnr"));
  ASSERT_EQ(Run({"set1.mnr"}).status, 0);
  test_env::Remove(Path("set1.mnr"));
  WriteFile(Path("k.csv"), std::string(kCsvHeader) + "0,\xC2\xB0,\xC2\xB0,a,b,c,d,e\r\n");
  const std::set<std::string> before = Files();

  const std::string parts = Said(import_text::kBothEncodings, {"1", "1", "\xC2\xB0", "\xEF\xBE\x82\xEF\xBD\xB0"});
  RunResult r = Txt({"set10.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, Line("set10.txt", Place(Said(import_text::kGenre, {"0"})) + parts) +
                       Line("set10.txt", Said(txt2mnr_texts::kSayEncoding)) + Line("set10.txt", Said(txt2mnr_texts::kNothingWritten)));
  r = Txt({"k.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Line("k.csv", Said(import_text::kBothEncodings, {"2", "3", "\xC2\xB0", "\xEF\xBE\x82\xEF\xBD\xB0"})) +
                       Line("k.csv", Said(txt2mnr_texts::kSayEncoding)) + Line("k.csv", Said(txt2mnr_texts::kNothingWritten)));
  EXPECT_EQ(Files(), before);

  // Said, each reads as told: CP932 gives the problem file back.
  r = Txt({"--encoding", "cp932", "set13.txt", "k.csv"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadFile(Path("set1.mnr")), BytesOf(kana));
  EXPECT_EQ(ReadFile(Path("k.mnr")), BytesOf(kana));
  r = Txt({"--encoding=utf-8", "-f", "k.csv"});
  EXPECT_EQ(r.status, 0) << r.err;
  MnrWriter degree;  // "°" in CP932
  degree.genre(0).name = "\x81\x8B";
  degree.genre(0).problems = {Problem{"\x81\x8B", {"a", "b", "c", "d", "e"}}};
  EXPECT_EQ(ReadFile(Path("k.mnr")), BytesOf(degree));
}

// A run never writes one output from two inputs, nor over an input,
// whatever --force says; the first input naming an output has it.
TEST_F(WayBack, OneOutputTakesOneInput) {
  WriteFile(Path("set1.csv"), std::string(kCsvHeader) + "0,csv,q,a,b,c,d,e\r\n");
  MnrWriter json;
  json.genre(0).name = "json";
  json.writeTo(Path("json.mnr"));
  ASSERT_EQ(Run({"--json", "json.mnr"}).status, 0);
  std::filesystem::rename(Path("json.json"), Path("set1.json"));
  RunResult r = Txt({"-f", "set1.csv", "set1.json", "set1.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, Line("set1.csv", Said(cli::shell_texts::kWrote, {"set1.mnr"})));
  EXPECT_EQ(r.err, Line("set1.json", Said(txt2mnr_texts::kWrittenByThisRun, {"set1.mnr"})) +
                       Line("set1.csv", Said(txt2mnr_texts::kWrittenByThisRun, {"set1.mnr"})));
  MnrWriter csv;
  csv.genre(0).name = "csv";
  csv.genre(0).problems = {Problem{"q", {"a", "b", "c", "d", "e"}}};
  EXPECT_EQ(ReadFile(Path("set1.mnr")), BytesOf(csv));

  r = Txt({"-f", "-o", "set1.csv", "set1.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Line("set1.csv", Said(txt2mnr_texts::kInputOfThisRun, {"set1.csv"})));
  EXPECT_EQ(ReadFile(Path("set1.csv")), std::string(kCsvHeader) + "0,csv,q,a,b,c,d,e\r\n");
  EXPECT_EQ(Files(), (std::set<std::string>{"json.mnr", "set1.csv", "set1.json", "set1.mnr"}));
}

// What stands at the output is told before any work: a folder (never
// replaced, even with --force) and, without --force, any name, a dangling
// link too; with --force the link itself is replaced.
TEST_F(WayBack, AnOutputThatCannotBeWrittenIsToldFirst) {
  WriteFile(Path("t.csv"), std::string(kCsvHeader) + "0,n,q,a,b,c,d,e\r\n");
  cli_test::MakeDir(Path("t.mnr"));
  RunResult r = Txt({"-f", "t.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Line("t.csv", Said(txt2mnr_texts::kOutputIsFolder, {"t.mnr"})));
  test_env::Remove(Path("t.mnr"));
#ifndef _WIN32
  ASSERT_EQ(symlink(Path("absent").c_str(), Path("t.mnr").c_str()), 0);
  r = Txt({"t.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Line("t.csv", Said(txt2mnr_texts::kOutputExists, {"t.mnr"})));
  r = Txt({"-f", "t.csv"});
  EXPECT_EQ(r.status, 0) << r.err;
  struct stat st {};
  EXPECT_TRUE(lstat(Path("t.mnr").c_str(), &st) == 0 && S_ISREG(st.st_mode));
  EXPECT_FALSE(cli_test::FileExists(Path("absent")));
#endif
  // Inputs and templates that are not there are said to be missing.
  r = Txt({"missing.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Line("missing.csv", Said(cli::shell_texts::kNoSuchFile)));
  r = Txt({"--template", "missing.mnr", "t.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Line("missing.mnr", Said(cli::shell_texts::kNoSuchFile)));
  r = Txt({"--template", "t.csv", "-o", "x.mnr", "t.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Line("t.csv", Said(txt2mnr_texts::kNotAProblemFile)));
  EXPECT_FALSE(cli_test::FileExists(Path("x.mnr")));
}

#ifdef _WIN32
// A device is refused before it is opened for reading (COM1.json would
// wait for the port).
TEST_F(WayBack, ADeviceIsRefusedUnread) {
  const RunResult r = Txt({"NUL.json", "COM1.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Line("NUL.json", Said(txt2mnr_texts::kNotARegularFile)) +
                       Line("COM1.csv", Said(txt2mnr_texts::kNotARegularFile)));
  EXPECT_EQ(Files(), std::set<std::string>{});
}
#else
// A device, a FIFO without a writer, a file larger than any CSV of a problem
// file: refused at once, unread.
TEST_F(WayBack, OnlyRegularFilesAndNoMoreThanCanDescribeAProblemFile) {
  ASSERT_EQ(symlink("/dev/zero", Path("quiz.json").c_str()), 0);
  ASSERT_EQ(mkfifo(Path("f.csv").c_str(), 0600), 0);
  WriteFile(Path("huge.csv"), kCsvHeader);
  std::filesystem::resize_file(Path("huge.csv"), (256u << 20) + 1);  // sparse: nothing to read
  const RunResult r = Txt({"quiz.json", "f.csv", "huge.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, Line("quiz.json", Said(txt2mnr_texts::kNotARegularFile)) +
                       Line("f.csv", Said(txt2mnr_texts::kNotARegularFile)) +
                       Line("huge.csv", Said(txt2mnr_texts::kInputTooLarge, {"256"})));
  EXPECT_EQ(Files(), (std::set<std::string>{"f.csv", "huge.csv", "quiz.json"}));
}

// Memory follows what is kept, not how many cells or lines there are, nor
// how long one is: a row of four million cells, four million empty lines of
// genre text, a cell and a line of sixteen million bytes, each refused for
// what it is.
TEST_F(WayBack, EmptyCellsAndLinesTakeNoMemory) {
  const std::string huge(16'000'000, 'x');
  WriteFile(Path("commas.csv"), std::string(kCsvHeader) + std::string(4'000'000, ','));
  WriteFile(Path("cell.csv"), std::string(kCsvHeader) + "0,n,\"" + huge + "\",a,b,c,d,e\r\n");
  WriteFile(Path("empty0.txt"), "name\r\n" + std::string(4'000'000, '\n'));
  WriteFile(Path("line0.txt"), "name\r\n\r\n" + huge + "\r\na\r\nb\r\nc\r\nd\r\ne\r\n");
  const std::string place = Said(import_text::kGenre, {"0"}) + Said(import_text::kPlaceJoin) + Said(import_text::kProblem, {"1"}) +
                            Said(import_text::kPlaceJoin) + Said(import_text::kQuestion) + ": ";
  const struct {
    const char* file;
    std::size_t megabytes;  // of input
    std::string firstLine;
  } cases[] = {
      {"commas.csv", 4, "txt2mnr: commas.csv:2:9: " + Said(import_text::kCsvCells, {"4000001"})},
      {"cell.csv", 16, "txt2mnr: cell.csv:2:3: " + place + Said(import_text::kTextFarTooLong, {"16000000"})},
      {"empty0.txt", 4, "txt2mnr: empty0.txt:4000001: " + Said(import_text::kGenre, {"0"}) + ": " +
                            Said(import_text::kGenreTextIncomplete, {"3"})},
      {"line0.txt", 16, "txt2mnr: line0.txt:3: " + place + Said(import_text::kTextFarTooLong, {"16000000"})},
  };
  for (const auto& c : cases) {
    const RunResult r =
        cli_test::RunProgram("/usr/bin/time", {"-f", "%M", cli_test::HostPathOfBuildFile(TXT2MNR_PATH), c.file}, Path());
    EXPECT_EQ(r.status, 1) << c.file;
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), c.firstLine);
    const std::size_t peakKiB = std::stoul(r.err.substr(r.err.rfind('\n', r.err.size() - 2) + 1));
    EXPECT_LT(peakKiB, kSanitized ? (2 * c.megabytes + 32) * 1024 : (c.megabytes + 10) * 1024)
        << c.file << ": the input and the program, no more";
  }
}
#endif

// -o - writes the problem file to standard output and nothing else there;
// - reads a JSON or a CSV from standard input (named stdin).
TEST_F(WayBack, StandardStreamsBothWays) {
  const MnrWriter problems = MakeSampleProblems();
  problems.writeTo(Path("set1.mnr"));
  ASSERT_EQ(Run({"--json", "set1.mnr"}).status, 0);
  ASSERT_EQ(Run({"--csv", "set1.mnr"}).status, 0);
  test_env::Remove(Path("set1.mnr"));
  RunResult r = Txt({"-o", "-", "set1.json"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.rawOut, BytesOf(problems));
  // The sample's two texts older readers cut, counted.
  EXPECT_EQ(r.err, "txt2mnr: " + Said(import_text::kWarning) + Said(import_text::kOlderReadersCount, {"2"}) + "\n");
  r = Txt({"-"}, Path("set1.json"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Line("stdin", Said(cli::shell_texts::kWrote, {"stdin.mnr"})));
  EXPECT_EQ(ReadFile(Path("stdin.mnr")), BytesOf(problems));
  r = Txt({"-f", "-o", "csv.mnr", "-"}, Path("set1.csv"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(Path("csv.mnr")), BytesOf(problems));  // the sample's header bytes are zero
  EXPECT_EQ(Files(), (std::set<std::string>{"csv.mnr", "set1.csv", "set1.json", "stdin.mnr"}));
}

// Past twenty errors reading stops, and says so; warnings past those kept
// are counted.
TEST_F(WayBack, ManyErrorsAndWarningsAreBounded) {
  std::string rows = kCsvHeader;
  for (int i = 0; i < 25; ++i) rows += "0,n,q\r\n";
  WriteFile(Path("bad.csv"), rows);
  RunResult r = Txt({"bad.csv"});
  EXPECT_EQ(r.status, 1);
  std::string expected;
  for (int line = 2; line < 22; ++line)
    expected += "txt2mnr: bad.csv:" + std::to_string(line) + ": " + Said(import_text::kCsvCells, {"3"}) + "\n";
  expected += Line("bad.csv", Said(import_text::kMoreErrors, {"20"})) + Line("bad.csv", Said(txt2mnr_texts::kNothingWritten));
  EXPECT_EQ(r.err, expected);

  std::string json = "{\"genres\":[{\"name\":\"\",\"problems\":[";
  for (int i = 0; i < 85; ++i) json += std::string(i ? "," : "") + "{\"question\":\"a\\nb\",\"choices\":[\"\",\"\",\"\",\"\",\"\"]}";
  json += "]}";
  for (int g = 1; g < 8; ++g) json += ",{\"name\":\"\",\"problems\":[]}";
  WriteFile(Path("lf.json"), json + "]}");
  r = Txt({"lf.json"});
  EXPECT_EQ(r.status, 0);
  const std::string lf = Said(import_text::kWarning) + Said(import_text::kLineBreak) + "\n";
  EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), "txt2mnr: lf.json: " + Said(import_text::kGenre, {"0"}) +
                                                       Said(import_text::kPlaceJoin) + Said(import_text::kProblem, {"1"}) +
                                                       Said(import_text::kPlaceJoin) + Said(import_text::kQuestion) + ": " + lf);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 81);
  EXPECT_EQ(r.err.substr(r.err.rfind('\n', r.err.size() - 2) + 1), Line("lf.json", Said(import_text::kMoreWarnings, {"5"})));
  EXPECT_TRUE(cli_test::FileExists(Path("lf.mnr")));
}

// What the readers take as they are: blank rows; a genre of 256 and one of
// exactly 32767 problems; a hand-edited JSON of records with and without
// "raw"; a renamed genre over a template.
TEST_F(WayBack, EdgesOfTheReadersComeBackWhole) {
  MnrWriter full;
  full.genre(0).name = "full";
  for (int n = 0; n < 32767; ++n) full.genre(0).problems.push_back({std::string("q").append(std::to_string(n)), {"a", "b", "c", "d", "e"}});
  full.genre(5).name = "256";
  for (int n = 0; n < 256; ++n) full.genre(5).problems.push_back({"p", {"a", "b", "c", "d", "e"}});
  full.writeTo(Path("full.mnr"));
  ASSERT_EQ(Run({"--csv", "--no-formula-guard", "full.mnr"}).status, 0);
  WriteFile(Path("full.csv"), ReadFile(Path("full.csv")) + ",,,,,,,\r\n\r\n\n,,,\n");
  RunResult r = Txt({"-o", "back.mnr", "full.csv"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(Path("back.mnr")), BytesOf(full));

  MnrWriter mixed;
  mixed.genre(2).name = "g";
  mixed.genre(2).problems = {Problem{"one", {"a", "b", "c", "d", "e"}}, Problem{"two", {"a", "b", "c", "d", "e"}}};
  mixed.genre(2).problems[0].stored = MnrWriter::storedRecord(mixed.genre(2).problems[0]);
  mixed.genre(2).problems[0].stored[255] = 'Z';  // not canonical: carries "raw"
  mixed.writeTo(Path("mixed.mnr"));
  ASSERT_EQ(Run({"--json", "mixed.mnr"}).status, 0);
  std::string json = ReadFile(Path("mixed.json"));
  ASSERT_EQ(json.find("\"raw\""), json.rfind("\"raw\""));  // one record with, one without
  json.replace(json.find("\"two\""), 5, "\"2\"");
  WriteFile(Path("mixed.json"), json);
  r = Txt({"-o", "edited.mnr", "mixed.json"});
  EXPECT_EQ(r.status, 0) << r.err;
  mixed.genre(2).problems[1].question = "2";
  EXPECT_EQ(ReadFile(Path("edited.mnr")), BytesOf(mixed));

  MnrWriter renamed;  // the template's block, the CSV's name
  renamed.genre(4).name = "old";
  renamed.setHeaderByte(4, 100, 0x44);
  renamed.writeTo(Path("t.mnr"));
  WriteFile(Path("new.csv"), std::string(kCsvHeader) + "4,new,q,a,b,c,d,e\r\n");
  r = Txt({"--template", "t.mnr", "new.csv"});
  EXPECT_EQ(r.status, 0) << r.err;
  renamed.genre(4).name = "new";
  renamed.genre(4).problems = {Problem{"q", {"a", "b", "c", "d", "e"}}};
  EXPECT_EQ(ReadFile(Path("new.mnr")), BytesOf(renamed));
}

// --check=EXPORT says 0 exactly when EXPORT, written by mnr2txt and read
// back by txt2mnr, gives the problem file back byte for byte: on random
// files with hidden bytes, and on files that are clean but for one thing.
TEST_F(WayBack, CheckAgreesWithARealRoundTripOfEachExport) {
  std::vector<std::string> sets;
  test_support::RandomProblems random(21);
#ifdef _WIN32
  constexpr int kRandom = 2;  // each program start costs a second under Wine
#else
  constexpr int kRandom = 12;
#endif
  for (int n = 0; n < kRandom; ++n) sets.push_back(BytesOf(random.NextSet()) + random.Trailer());
  const MnrWriter sample = MakeSampleProblems();
  sets.push_back(BytesOf(sample));
  MnrWriter variant = sample;
  variant.genre(7).problems.clear();  // an empty genre that keeps its name
  sets.push_back(BytesOf(variant));
  variant = sample;
  variant.genre(1).problems[0].question = "a\nb";
  sets.push_back(BytesOf(variant));
  variant = sample;
  variant.setHeaderByte(3, 36, 1);  // where block 0 holds the signature, which block 3 does not
  sets.push_back(BytesOf(variant));
  sets.push_back(BytesOf(sample) + "tail");
  sets.push_back(BytesOf(sample) + std::string((1 << 20) + 1, 't'));  // more than the JSON keeps
  struct Export {
    std::string check, option, output;
    std::vector<std::string> back;
  };
  const Export exports[] = {{"txt", "", "s0.txt", {"--encoding", "cp932"}}, {"csv", "--csv", "s.csv", {}},
                            {"json", "--json", "s.json", {}}};
  for (const Export& e : exports) {
    int kept = 0, lost = 0;
    for (std::size_t n = 0; n < sets.size(); ++n) {
      WriteFile(Path("s.mnr"), sets[n]);
      const RunResult check = Txt({std::string("--check=").append(e.check), "s.mnr"});
      std::vector<std::string> args = {"s.mnr"};
      if (!e.option.empty()) args.insert(args.begin(), e.option);
      ASSERT_EQ(Run(args).status, 0);
      std::vector<std::string> back = e.back;
      for (const char* arg : {"-f", "-o", "back.mnr"}) back.push_back(arg);
      back.push_back(e.output);
      test_env::Remove(Path("back.mnr"));
      Txt(back);
      const bool same = ReadFile(Path("back.mnr")) == sets[n];
      EXPECT_EQ(check.status == 0, same) << e.check << ", set " << n << ":\n" << check.out << check.err;
      (same ? kept : lost) += 1;
    }
    EXPECT_GT(kept, 0) << e.check;
    EXPECT_GT(lost, 0) << e.check;
  }
}

}  // namespace
