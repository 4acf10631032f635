// txt2mnr, the real program: mnr2txt's JSON gives every problem file back
// byte for byte, an edit changes only its field, CSV saved by spreadsheets
// reads back, and every refusal is exact and leaves nothing behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#ifdef _WIN32
#include <windows.h>
#endif

#include "tests/cli/CliTestEnv.h"
#include "tests/cli/Mnr2txtFixture.h"
#include "tests/support/RandomProblems.h"

namespace {

using cli_test::ReadFile;
using cli_test::RunResult;
using cli_test::Said;
namespace txt2mnr_texts = cli::txt2mnr_texts;
using cli_test::WriteFile;
using test_support::Bytes;
using test_support::MnrWriter;
using test_support::Problem;

constexpr char kCsvHeader[] = "genre,name,question,choice1,choice2,choice3,choice4,choice5\r\n";

// "genre 0, problem 1, question: " in the programs' language, from its parts.
std::string Place(const std::vector<std::string>& parts) {
  std::string place;
  for (const std::string& part : parts) place += (place.empty() ? "" : Said(import_text::kPlaceJoin)) + part;
  return place + ": ";
}
std::string Genre(int genre) { return Said(import_text::kGenre, {std::to_string(genre)}); }
std::string ProblemNumber(int problem) { return Said(import_text::kProblem, {std::to_string(problem)}); }
std::string Choice(int choice) { return Said(import_text::kChoice, {std::to_string(choice)}); }
std::string Question() { return Said(import_text::kQuestion); }

class Txt2mnr : public cli_test::Mnr2txt {
 protected:
  RunResult Txt(const std::vector<std::string>& args) const { return cli_test::RunTxt2mnr(args, Path()); }
};

// Random sets with records of random bytes (every byte value, zero bytes,
// spaces at any offset), noise in the header, bytes after the last record.
TEST_F(Txt2mnr, JsonGivesEveryProblemFileBackByteForByte) {
#ifdef _WIN32
  constexpr int kSets = 3;  // each program start costs a second under Wine
#else
  constexpr int kSets = 25;
#endif
  test_support::RandomProblems random(16);
  for (int n = 0; n < kSets; ++n) {
    MnrWriter w = random.NextSet();
    Problem everyByte;
    for (int b = 0; b < 256; ++b) everyByte.stored.push_back(static_cast<std::uint8_t>(b));
    w.genre(n % 8).problems.push_back(everyByte);
    const std::string original = BytesOf(w) + random.Trailer() + (n % 2 ? "tail" : "");
    WriteFile(Path("set.mnr"), original);
    ASSERT_EQ(Run({"--json", "set.mnr"}).status, 0);
    const RunResult r = Txt({"-f", "-o", "back.mnr", "set.json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "txt2mnr: set.json: " + Said(cli::shell_texts::kWrote, {"back.mnr"}) + "\n");
    ASSERT_EQ(ReadFile(Path("back.mnr")), original) << "set " << n;
  }
}

// One question edited in the JSON: only that field's bytes change, also in a
// record that carries its stored bytes (stray bytes in choice 3's padding).
TEST_F(Txt2mnr, AnEditChangesOnlyItsField) {
  MnrWriter w;
  w.genre(2).name = "g";
  w.genre(2).problems = {Problem{"first", {"a", "b", "c", "d", "e"}}, Problem{"second", {"a", "b", "c", "d", "e"}}};
  w.genre(2).problems[1].stored = MnrWriter::storedRecord(w.genre(2).problems[1]);
  w.genre(2).problems[1].stored[172 + 5] = 'X';
  const std::string original = BytesOf(w);
  WriteFile(Path("set.mnr"), original);
  ASSERT_EQ(Run({"--json", "set.mnr"}).status, 0);
  std::string json = ReadFile(Path("set.json"));
  for (const char* from : {"\"first\"", "\"second\""}) {
    const std::size_t at = json.find(from);
    ASSERT_NE(at, std::string::npos);
    json.replace(at, std::string(from).size(), std::string(from) == "\"first\"" ? "\"1st\"" : "\"2nd\"");
  }
  WriteFile(Path("set.json"), json);
  const RunResult r = Txt({"-o", "edited.mnr", "set.json"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string expected = original;
  std::uint8_t field[116];
  MnrWriter::scrambleField("1st", field, 116);
  expected.replace(2048, 116, reinterpret_cast<const char*>(field), 116);
  MnrWriter::scrambleField("2nd", field, 116);
  expected.replace(2048 + 256, 116, reinterpret_cast<const char*>(field), 116);
  EXPECT_EQ(ReadFile(Path("edited.mnr")), expected);
}

struct Refusal {
  const char* input;
  std::string bytes;
  std::string err;
};

std::string JsonOf(const std::string& firstGenre, int genres = 8) {
  std::string json = "{\"genres\":[" + firstGenre;
  for (int g = 1; g < genres; ++g) json += ",{\"name\":\"\",\"problems\":[]}";
  return json + "]}";
}

TEST_F(Txt2mnr, RefusalsNameThePlaceExitOneAndLeaveNothing) {
  std::string manyRows = kCsvHeader;
  for (int i = 0; i < 32768; ++i) manyRows += "0,n,q,a,b,c,d,e\r\n";
  const std::string kNothing = "txt2mnr: t.csv: " + Said(txt2mnr_texts::kNothingWritten) + "\n";
  const std::string kNothingJson = "txt2mnr: t.json: " + Said(txt2mnr_texts::kNothingWritten) + "\n";
  const Refusal refusals[] = {
      {"t.csv", kCsvHeader + std::string("0,n,") + std::string(117, 'a') + ",a,b,c,d,e\r\n",
       "txt2mnr: t.csv:2:3: " + Place({Genre(0), ProblemNumber(1), Question()}) +
           Said(import_text::kTooLong, {"117", "116"}) + "\n" + kNothing},
      {"t.csv", kCsvHeader + std::string("3,\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86\xE3\x81\x88\xE3\x81\x8A\xE3\x81\x8B\xE3\x81\x8D\xE3\x81\x8F\xE3\x81\x91,q,a,b,c,d,e\r\n"),
       "txt2mnr: t.csv:2:2: " + Place({Genre(3), Said(import_text::kName)}) +
           Said(import_text::kTooLong, {"18", "16"}) + "\n" + kNothing},
      {"t.json", JsonOf("{\"name\":\"a\",\"problems\":[{\"question\":\"q\xF0\x9F\x98\x80\",\"choices\":[\"\",\"\",\"\",\"\",\"\"]}]}"),
       "txt2mnr: t.json: " + Place({Genre(0), ProblemNumber(1), Question()}) +
           Said(import_text::kNoCp932Form, {"U+1F600 (\xF0\x9F\x98\x80)"}) + "\n" + kNothingJson},
      {"t.json", JsonOf("{\"name\":\"a\",\"problems\":[]}", 7),
       "txt2mnr: t.json: " + Said(import_text::kJsonShape, {Said(import_text::kJsonGenreCount)}) + "\n" + kNothingJson},
      {"t.json", JsonOf("{\"name\":\"a\",\"problems\":[{\"question\":\"q\",\"choices\":[\"\",\"\",\"\",\"\"]}]}"),
       "txt2mnr: t.json: " + Place({Genre(0), ProblemNumber(1)}) +
           Said(import_text::kJsonShape, {Said(import_text::kJsonChoiceCount)}) + "\n" + kNothingJson},
      {"t.json", "{\"genres\":[}", "txt2mnr: t.json: " + Said(import_text::kJsonSyntax, {"1", "12", "'}'"}) + "\n" + kNothingJson},
      {"t.json", "{\"genres\":[\n", "txt2mnr: t.json: " + Said(import_text::kJsonEndsEarly, {"1"}) + "\n" + kNothingJson},
      {"t.json", "{\"genres\":\r\n\t\x01}", "txt2mnr: t.json: " + Said(import_text::kJsonSyntax, {"2", "2", "U+0001"}) + "\n" + kNothingJson},
      {"t.json", "{\"genres\":\xFF}", "txt2mnr: t.json: " + Said(import_text::kJsonSyntax, {"1", "11", "0xFF"}) + "\n" + kNothingJson},
      {"t.json", "{\"format\":true}", "txt2mnr: t.json: " + Said(import_text::kJsonShape, {Said(import_text::kJsonExpected, {"format", Said(import_text::kJsonAWholeNumber)})}) + "\n" + kNothingJson},
      {"t.csv", "genre,name,question\r\n", "txt2mnr: t.csv:1: " + Said(import_text::kCsvHeader, {"genre,name,question,choice1,choice2,choice3,choice4,choice5"}) + "\n" + kNothing},
      {"t.csv", kCsvHeader + std::string("0,n,q,a,b\r\n"), "txt2mnr: t.csv:2: " + Said(import_text::kCsvCells, {"5"}) + "\n" + kNothing},
      {"t.csv", manyRows, "txt2mnr: t.csv: " + Place({Genre(0)}) + Said(import_text::kTooManyProblems, {"32768"}) + "\n" + kNothing},
      // A row too long to look at is refused where its ninth cell begins.
      {"t.csv", kCsvHeader + std::string(100000, ','), "txt2mnr: t.csv:2:9: " + Said(import_text::kCsvCells, {"100001"}) + "\n" + kNothing},
      {"t.csv", std::string(100000, ','), "txt2mnr: t.csv:1:9: " + Said(import_text::kCsvHeader, {"genre,name,question,choice1,choice2,choice3,choice4,choice5"}) + "\n" + kNothing},
      {"t.csv", kCsvHeader + std::string("0,n,q,a,\"") + std::string(400, 'b') + "\",c,d,e\r\n",
       "txt2mnr: t.csv:2:5: " + Place({Genre(0), ProblemNumber(1), Choice(2)}) + Said(import_text::kTextFarTooLong, {"400"}) + "\n" + kNothing},
      {"t.csv", kCsvHeader + std::string("0,n,\"two\r\nlines\",a,b,c,d,e\r\n"),
       "txt2mnr: t.csv:2:3: " + Place({Genre(0), ProblemNumber(1), Question()}) + Said(import_text::kLineBreak) + "\n" + kNothing},
      // Two values for one key: one would hide or join the other.
      {"t.json", JsonOf("{\"name\":\"a\",\"problems\":[],\"problems\":[]}"),
       "txt2mnr: t.json: " + Place({Genre(0)}) + Said(import_text::kJsonShape, {Said(import_text::kJsonDuplicateKey, {"problems"})}) + "\n" + kNothingJson},
      {"t.json", "{\"format\":2,\"format\":2}", "txt2mnr: t.json: " + Said(import_text::kJsonShape, {Said(import_text::kJsonDuplicateKey, {"format"})}) + "\n" + kNothingJson},
  };
  for (const Refusal& refusal : refusals) {
    std::filesystem::remove(Path("t.csv"));
    std::filesystem::remove(Path("t.json"));
    WriteFile(Path(refusal.input), refusal.bytes);
    const RunResult r = Txt({refusal.input});
    EXPECT_EQ(r.status, 1) << refusal.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, refusal.err);
    EXPECT_EQ(Files(), std::set<std::string>({refusal.input})) << refusal.err;
  }

  std::filesystem::remove(Path("t.json"));
  // An existing problem file stays as it was.
  WriteFile(Path("t.csv"), kCsvHeader + std::string("0,n,q,a,b,c,d,e\r\n"));
  WriteFile(Path("t.mnr"), "mine");
  RunResult r = Txt({"t.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "txt2mnr: t.csv: " + Said(txt2mnr_texts::kOutputExists, {"t.mnr"}) + "\n");
  EXPECT_EQ(ReadFile(Path("t.mnr")), "mine");
  EXPECT_EQ(Files(), std::set<std::string>({"t.csv", "t.mnr"}));
  r = Txt({"--force", "t.csv"});
  EXPECT_EQ(r.status, 0);
  MnrWriter w;
  w.genre(0).name = "n";
  w.genre(0).problems = {Problem{"q", {"a", "b", "c", "d", "e"}}};
  EXPECT_EQ(ReadFile(Path("t.mnr")), BytesOf(w));
  EXPECT_EQ(Files(), std::set<std::string>({"t.csv", "t.mnr"}));
}

// A CSV a spreadsheet saved in CP932 with LF line ends, with the formula
// guard's apostrophes: each text cell loses exactly one.
TEST_F(Txt2mnr, CsvInCp932WithTheGuardReadsBack) {
  const std::string name = "\x96\xBC\x91\x4F", question = "\x96\xE2\x91\xE8";  // 名前, 問題
  WriteFile(Path("s.csv"), "genre,name,question,choice1,choice2,choice3,choice4,choice5\n"
                           "5,'=" + name + ",'+" + question + ",'-a,'@b,''c,'\tt,\"'\rx\"\n");
  RunResult r = Txt({"s.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "txt2mnr: s.csv: " + Said(cli::shell_texts::kWrote, {"s.mnr"}) + "\n");
  EXPECT_EQ(r.err, "");
  MnrWriter w;
  w.genre(5).name = "=" + name;
  w.genre(5).problems = {Problem{"+" + question, {"-a", "@b", "'c", "\tt", "\rx"}}};
  EXPECT_EQ(ReadFile(Path("s.mnr")), BytesOf(w));

  r = Txt({"--no-formula-guard", "-o", "kept.mnr", "s.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  w.genre(5).name = "'=" + name;
  w.genre(5).problems = {Problem{"'+" + question, {"'-a", "'@b", "''c", "'\tt", "'\rx"}}};
  EXPECT_EQ(ReadFile(Path("kept.mnr")), BytesOf(w));
}

// "Aあ": a trail byte 0xA0 at an even offset is stored as a space there.
// One line for the run counts such texts, of every file written (not of
// one refused); --verbose names each.
TEST_F(Txt2mnr, WarnsOfTextsOlderReadersCutAndWritesThem) {
  WriteFile(Path("w.csv"), kCsvHeader + std::string("0,g,A\xE3\x81\x82,a,b,c,d,e\r\n1,h,A\xE3\x81\x82,a,b,c,d,e\r\n"));
  WriteFile(Path("v.csv"), kCsvHeader + std::string("0,g,A\xE3\x81\x82,a,b,c,d,e\r\n"));
  WriteFile(Path("x.csv"), kCsvHeader + std::string("0,g,A\xE3\x81\x82,a,b,c,d,\xF0\x9F\x8D\xA3\r\n"));
  const std::string counted = "txt2mnr: " + Said(import_text::kWarning) + Said(import_text::kOlderReadersCount, {"3"}) + "\n";
  RunResult r = Txt({"w.csv", "x.csv", "v.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "txt2mnr: w.csv: " + Said(cli::shell_texts::kWrote, {"w.mnr"}) + "\n" +
                       "txt2mnr: v.csv: " + Said(cli::shell_texts::kWrote, {"v.mnr"}) + "\n");
  const std::string refused = "txt2mnr: x.csv:2:8: " + Place({Genre(0), ProblemNumber(1), Choice(5)}) +
                              Said(import_text::kNoCp932Form, {"U+1F363 (\xF0\x9F\x8D\xA3)"}) + "\n" +
                              "txt2mnr: x.csv: " + Said(txt2mnr_texts::kNothingWritten) + "\n";
  EXPECT_EQ(r.err, refused + counted);
  MnrWriter w;
  w.genre(0).name = "g";
  w.genre(0).problems = {Problem{"A\x82\xA0", {"a", "b", "c", "d", "e"}}};
  EXPECT_EQ(ReadFile(Path("v.mnr")), BytesOf(w));

  r = Txt({"--verbose", "-f", "v.csv"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "txt2mnr: v.csv:2:3: " + Place({Genre(0), ProblemNumber(1), Question()}) + Said(import_text::kWarning) +
                       Said(import_text::kCutByOlderReaders, {"2"}) + "\n" + "txt2mnr: " + Said(import_text::kWarning) +
                       Said(import_text::kOlderReadersCount, {"1"}) + "\n");
  EXPECT_EQ(Files(), std::set<std::string>({"v.csv", "v.mnr", "w.csv", "w.mnr", "x.csv"}));
}

TEST_F(Txt2mnr, CheckTellsWhatATextExportHides) {
  MnrWriter clean;
  clean.genre(1).name = "\x97\xF0\x8E\x6A";  // 歴史
  clean.genre(1).problems = {Problem{"\x96\xE2", {"a", "b", "c", "d", "e"}}};
  clean.writeTo(Path("clean.mnr"));
  RunResult r = Txt({"--check", "clean.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "clean.mnr: " + Said(txt2mnr_texts::kCheckCleanGenreText) + "\n");
  EXPECT_EQ(r.err, "");

  MnrWriter bad;
  auto& problems = bad.genre(0).problems;
  problems = {Problem{"Q", {"a", "b", "c", "d", "e"}}, Problem{std::string("ab\0cd", 5), {}},
              Problem{"\x81\x7F", {}}, Problem{"A\x82\xA0", {}}, Problem{"x ", {}}, Problem{"\xED\x40", {}}};
  problems[0].stored = MnrWriter::storedRecord(problems[0]);
  problems[0].stored[172 + 5] = 'X';
  bad.genre(1).name = "\x81";
  WriteFile(Path("bad.mnr"), BytesOf(bad) + "xyz");
  r = Txt({"--check", "bad.mnr", "clean.mnr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "bad.mnr: " + Place({Genre(0), ProblemNumber(1), Choice(3)}) + Said(txt2mnr_texts::kCheckNotPadding) + "\n" +
            "bad.mnr: " + Place({Genre(0), ProblemNumber(2), Question()}) + Said(txt2mnr_texts::kCheckZeroByte) + "\n" +
            "bad.mnr: " + Place({Genre(0), ProblemNumber(3), Question()}) + Said(txt2mnr_texts::kCheckInvalid) + "\n" +
            "bad.mnr: " + Place({Genre(0), ProblemNumber(4), Question()}) + Said(txt2mnr_texts::kCheckCut) + "\n" +
            "bad.mnr: " + Place({Genre(0), ProblemNumber(5), Question()}) + Said(txt2mnr_texts::kCheckTrimmed) + "\n" +
            "bad.mnr: " + Place({Genre(0), ProblemNumber(6), Question()}) + Said(txt2mnr_texts::kCheckOtherCodes) + "\n" +
            "bad.mnr: " + Place({Genre(1), Said(import_text::kName)}) + Said(txt2mnr_texts::kCheckInvalid) + "\n" +
            "bad.mnr: " + Said(txt2mnr_texts::kCheckTrailing, {"3"}) + "\n" +
            "clean.mnr: " + Said(txt2mnr_texts::kCheckCleanGenreText) + "\n");
  EXPECT_EQ(r.err, "");
}

// As a drop on txt2mnr.exe passes it: the file's full name as the only
// argument, a Japanese name, no console to read from.
TEST_F(Txt2mnr, ACsvWithAJapaneseNameAsTheOnlyArgument) {
#ifdef _WIN32
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese code page";
  const std::string name = "\x96\xE2\x91\xE8";  // 問題 in the test's code page
#else
  const std::string name = "\xE5\x95\x8F\xE9\xA1\x8C";  // 問題 in UTF-8
#endif
  const std::string printed = "\xE5\x95\x8F\xE9\xA1\x8C";  // txt2mnr speaks UTF-8 everywhere
  WriteFile(Path(name + ".csv"), kCsvHeader + std::string("0,n,q,a,b,c,d,e\r\n"));
  const RunResult r = Txt({Path(name + ".csv")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "txt2mnr: " + Path() + cli_test::kSeparator + printed + ".csv: " +
                       Said(cli::shell_texts::kWrote, {Path() + cli_test::kSeparator + printed + ".mnr"}) + "\n");
  MnrWriter w;
  w.genre(0).name = "n";
  w.genre(0).problems = {Problem{"q", {"a", "b", "c", "d", "e"}}};
  EXPECT_EQ(ReadFile(Path(name + ".mnr")), BytesOf(w));
}

}  // namespace

namespace {

// --template: the header's other bytes and the names of genres without rows
// come from the template; the CSV's rows are the problems.
TEST_F(Txt2mnr, TemplateGivesTheHeaderBytesACsvDoesNotCarry) {
  MnrWriter t;
  t.genre(2).name = "tmpl";
  t.genre(5).name = "five";
  t.genre(5).problems = {Problem{"old", {"a", "b", "c", "d", "e"}}};
  t.setHeaderByte(0, 100, 0x55);
  t.setHeaderByte(5, 200, 0x66);
  t.setHeaderByte(7, 3, 0x77);  // a byte after genre 7's (empty) name
  t.writeTo(Path("t.mnr"));
  WriteFile(Path("new.csv"), kCsvHeader + std::string("5,five,new,a,b,c,d,e\r\n"));
  const RunResult r = Txt({"--template", "t.mnr", "new.csv"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  t.genre(5).problems = {Problem{"new", {"a", "b", "c", "d", "e"}}};
  EXPECT_EQ(ReadFile(Path("new.mnr")), BytesOf(t));
}

}  // namespace
