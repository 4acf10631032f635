// The outputs meant for spreadsheets: the CSV's formula guard, and --xlsx,
// byte for byte the same whichever way it is written, and read back cell by
// cell (natively) by Python's openpyxl and by LibreOffice.

#include <gtest/gtest.h>

#include "format/OutputFormats.h"
#include "format/mnrFormat.h"
#include "platform/FileServices.h"
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
using test_support::Problem;

const std::string kBom = "\xEF\xBB\xBF";
const std::string kCsvHeader = kBom + "genre,name,question,choice1,choice2,choice3,choice4,choice5\r\n";

// Every character that starts a formula, an apostrophe, CR and TAB, in
// names, questions and choices, quoted and not; a full-width equals sign
// (0x81 0x81) and an equals sign after a space or inside a text, which
// spreadsheets do not run.
MnrWriter FormulaLikeTexts() {
  MnrWriter w;
  w.genre(0).name = "=cmd|' /C calc'";
  w.genre(0).problems = {Problem{"+1+1", {"-2+3", "@SUM(1+1)", "\tTAB", "\rCR", "'quoted"}}};
  w.genre(1).name = "\x81\x81" "full";
  w.genre(1).problems = {Problem{"=a,b", {"-\"x\"", " =1", "a=b", "", "5"}}};
  return w;
}

TEST_F(Mnr2txt, CsvGuardsEveryTextASpreadsheetWouldRunUnlessTurnedOff) {
  FormulaLikeTexts().writeTo(Path("set.mnr"));
  const std::string guarded =
      kCsvHeader +
      "0,'=cmd|' /C calc','+1+1,'-2+3,'@SUM(1+1),'\tTAB,\"'\rCR\",''quoted\r\n"
      "1,\xEF\xBC\x9D" "full,\"'=a,b\",\"'-\"\"x\"\"\", =1,a=b,,5\r\n";
  const std::string asTheyAre =
      kCsvHeader +
      "0,=cmd|' /C calc',+1+1,-2+3,@SUM(1+1),\tTAB,\"\rCR\",'quoted\r\n"
      "1,\xEF\xBC\x9D" "full,\"=a,b\",\"-\"\"x\"\"\", =1,a=b,,5\r\n";

  RunResult r = Run({"--csv", "set.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "mnr2txt: set.mnr: " + Said(cli::shell_texts::kWrote, {"set.csv"}) + "\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadFile(Path("set.csv")), guarded);

  r = Run({"--csv", "--no-formula-guard", "-o", "-", "set.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.rawOut, asTheyAre);
  // The option changes nothing but the CSV.
  ASSERT_EQ(Run({"--json", "-o", "-", "set.mnr"}).rawOut.size() > 0, true);
  EXPECT_EQ(Run({"--json", "--no-formula-guard", "-o", "-", "set.mnr"}).rawOut,
            Run({"--json", "-o", "-", "set.mnr"}).rawOut);
}

// Texts a spreadsheet would turn into numbers, dates, formulas or booleans;
// spaces that lead; characters XML cannot carry and the escapes that stand
// for them; bytes that are no CP932 (a lead byte at the end of the name and
// of a choice). Genres 3 to 7 are random texts of every kind.
MnrWriter SpreadsheetTexts() {
  MnrWriter w = test_support::RandomProblems(20261209).NextSet();
  w.genre(0).name = "007\x81";
  w.genre(0).problems = {
      Problem{"=1+1", {"007", "1/2", "3-4", "5", "1e5"}},
      Problem{"  two spaces lead", {"TRUE", "2024-01-01", "12:30", "50%", "\x81\x94\x82\x50"}},
      Problem{"a\x01" "b\x1B[31m\x1F" "c\x7F" "d\r\ne\tf", {"<b>&amp;\"'</b>", "_x0041_", "_x0041_x0042_", "_xABCD\x01", "_x00"}},
      Problem{"-2+3", {"@SUM(1)", "'", "\t", "", "x\x82"}},
  };
  w.genre(1).name = "";  // a name that is empty, with a row
  w.genre(1).problems = {Problem{"", {"", "", "", "", "only the fifth"}}};
  w.genre(2).name = "  <&>";
  return w;
}

// The bytes WriteXlsx makes in this process for the problem file.
std::string XlsxOf(const std::string& hostPath) {
  T_mnrFormat problems;
  if (!problems.LoadFromFile(test_env::WinPathOf(hostPath))) return "not loaded";
  std::string bytes;
  LoadedProblems walk(problems);
  WriteXlsx(walk, IntoString(bytes));
  return bytes;
}

TEST_F(Mnr2txt, XlsxIsTheSameBytesToAFileAPipeAndFromStandardInput) {
  SpreadsheetTexts().writeTo(Path("set.mnr"));
  RunResult r = Run({"--xlsx", "set.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "mnr2txt: set.mnr: " + Said(cli::shell_texts::kWrote, {"set.xlsx"}) + "\n");
  // The same count as the CSV's, for the same bytes.
  const std::string warning = Run({"--csv", "set.mnr"}).err;
  const std::string counted = Said(mnr2txt_texts::kInvalidBytes, {"\x01"});
  EXPECT_EQ(warning.rfind("mnr2txt: set.mnr: " + counted.substr(0, counted.find('\x01')), 0), 0u) << warning;
  EXPECT_EQ(r.err, warning);
  const std::string xlsx = ReadFile(Path("set.xlsx"));
  EXPECT_EQ(xlsx.substr(0, 4), "PK\x03\x04");
  EXPECT_EQ(xlsx, XlsxOf(Path("set.mnr")));

  r = Run({"--xlsx", "-o", "-", "set.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, warning);
  EXPECT_TRUE(r.rawOut == xlsx) << "standard output differs from the file";
  r = Run({"-o", "-", "--xlsx", "-"}, Path("set.mnr"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "mnr2txt: stdin" + warning.substr(16));
  EXPECT_TRUE(r.rawOut == xlsx) << "from standard input, standard output differs from the file";
}

#ifndef _WIN32
// Runs check_xlsx.py (Debian's Python, for its openpyxl) on BASE.xlsx
// against BASE.csv written without the guard.
RunResult CheckXlsx(const std::string& dir, const std::vector<std::string>& extra = {}) {
  std::vector<std::string> args = {CHECK_XLSX_PY, "set.xlsx", "set.csv"};
  args.insert(args.end(), extra.begin(), extra.end());
  return cli_test::RunProgram("/usr/bin/python3", args, dir);
}

TEST_F(Mnr2txt, XlsxReadsBackCellByCellAsTheCsv) {
  test_support::RandomProblems random(20261210);
  std::vector<MnrWriter> sets = {SpreadsheetTexts(), MakeSampleProblems()};
  for (int i = 0; i < 4; ++i) sets.push_back(random.NextSet());
  for (std::size_t i = 0; i < sets.size(); ++i) {
    SCOPED_TRACE("set " + std::to_string(i));
    sets[i].writeTo(Path("set.mnr"));
    ASSERT_EQ(Run({"--xlsx", "set.mnr"}).status, 0);
    ASSERT_EQ(Run({"--csv", "--no-formula-guard", "set.mnr"}).status, 0);
    // LibreOffice once: it takes seconds to start.
    const RunResult check = CheckXlsx(Path(), i == 0 ? std::vector<std::string>{"--libreoffice"}
                                                      : std::vector<std::string>{});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
  }
}
#endif

}  // namespace
