// FILE arguments as a user expects them: a folder stands for the problem
// files directly inside it, in name order, on every system; on Windows "*"
// and "?" give the matching files, in name order, with Japanese names;
// elsewhere they are characters of a name. And the pattern matching itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/FileArguments.h"
#include "tests/cli/CliTestEnv.h"
#include "tests/cli/Mnr2txtFixture.h"

namespace {

using cli::MatchesPattern;
using cli_test::kSeparator;
using cli_test::Mnr2txt;
using cli_test::RunResult;
using cli_test::Said;
using test_support::MnrWriter;
namespace mnr2txt_texts = cli::mnr2txt_texts;
namespace txt2mnr_texts = cli::txt2mnr_texts;

TEST(FileArguments, PatternsMatchWholeNames) {
  EXPECT_TRUE(MatchesPattern(L"*.mnr", L"a.mnr"));
  EXPECT_TRUE(MatchesPattern(L"*.mnr", L".mnr"));
  EXPECT_FALSE(MatchesPattern(L"*.mnr", L"a.mnrx"));
  EXPECT_FALSE(MatchesPattern(L"*.mnr", L"a.mn"));
  EXPECT_TRUE(MatchesPattern(L"*", L".hidden"));
  EXPECT_TRUE(MatchesPattern(L"\x7B2C?\x56DE.mnr", L"\x7B2C\x32\x56DE.mnr"));          // 第?回 and 第2回
  EXPECT_FALSE(MatchesPattern(L"\x7B2C?\x56DE.mnr", L"\x7B2C\x31\x30\x56DE.mnr"));     // and 第10回
  EXPECT_TRUE(MatchesPattern(L"a*b*c", L"aXbYbZc"));  // back to the last "*"
  EXPECT_FALSE(MatchesPattern(L"a*b*c", L"aXbYbZ"));
  EXPECT_TRUE(MatchesPattern(L"**?", L"x"));
  EXPECT_FALSE(MatchesPattern(L"?", L""));
  // Letters as they are: the caller gives both in upper case on Windows.
  EXPECT_FALSE(MatchesPattern(L"A.MNR", L"a.mnr"));
  // A character beyond the basic plane is one character, a surrogate pair
  // in Windows' UTF-16.
  EXPECT_TRUE(MatchesPattern(L"?.mnr", L"\U0001F600.mnr"));
  EXPECT_FALSE(MatchesPattern(L"??.mnr", L"\U0001F600.mnr"));
  EXPECT_TRUE(MatchesPattern(L"*\U0001F600*", L"a\U0001F600b"));
  // No exponential search.
  EXPECT_FALSE(MatchesPattern(L"*a*a*a*a*a*a*a*a*a*a*b", std::wstring(200, L'a')));
}

TEST(FileArguments, ProblemFilesEndInMnrInAnyCase) {
  for (const char* name : {"a.mnr", "A.MNR", "x.Mnr", ".mnr"}) EXPECT_TRUE(cli::HasProblemFileExtension(name)) << name;
  for (const char* name : {"mnr", "a.mnrx", "a.mn", "a_mnr", "a.nmr"}) EXPECT_FALSE(cli::HasProblemFileExtension(name)) << name;
}

// A Japanese name as the test's file calls take it (the ANSI code page 932
// under Wine, UTF-8 natively), and as the programs print it (UTF-8).
struct Name {
  std::string host;
  std::string shown;
};
#ifdef _WIN32
Name Japanese(const char* cp932, const char* utf8) { return {cp932, utf8}; }
#else
Name Japanese(const char*, const char* utf8) { return {utf8, utf8}; }
#endif
const Name kQuestions = Japanese("\x96\xE2\x91\xE8\x8F\x57", "\xE5\x95\x8F\xE9\xA1\x8C\xE9\x9B\x86");  // 問題集
const Name kSecond = Japanese("\x91\xE6\x32\x89\xF1.mnr", "\xE7\xAC\xAC\x32\xE5\x9B\x9E.mnr");          // 第2回.mnr
const Name kTenth = Japanese("\x91\xE6\x31\x30\x89\xF1.mnr", "\xE7\xAC\xAC\x31\x30\xE5\x9B\x9E.mnr");  // 第10回.mnr

MnrWriter Problems(const std::string& name) {
  MnrWriter w = MakeSampleProblems();
  w.genre(0).name = name;  // each file its own list
  return w;
}

std::string Joined(const std::string& folder, const std::string& name) { return folder + kSeparator + name; }

#ifdef _WIN32
// Windows compares names whatever the case of their letters.
const std::vector<std::string> kFolderOrder = {"a.mnr", "B.mnr"};
#else
// Byte order of the UTF-8 names: upper case before lower case.
const std::vector<std::string> kFolderOrder = {"B.mnr", "a.mnr"};
#endif

TEST_F(Mnr2txt, AFolderStandsForTheProblemFilesDirectlyInsideItInNameOrder) {
  const std::string folder = kQuestions.host;
  test_env::MakeDir(Path(folder));
  test_env::MakeDir(Path(Joined(folder, "sub.mnr")));
  Problems("a").writeTo(Path(Joined(folder, "a.mnr")));
  Problems("B").writeTo(Path(Joined(folder, "B.mnr")));
  Problems("2").writeTo(Path(Joined(folder, kSecond.host)));
  Problems("x").writeTo(Path(Joined(Joined(folder, "sub.mnr"), "x.mnr")));  // not looked into
  Problems("c").writeTo(Path(Joined(folder, "c.mnrx")));
  cli_test::WriteFile(Path(Joined(folder, "notes.txt")), "not a problem file");

  // The same as naming the files one by one, in that order.
  const std::vector<std::string> files = {Joined(folder, kFolderOrder[0]), Joined(folder, kFolderOrder[1]),
                                          Joined(folder, kSecond.host)};
  const RunResult named = Run({"-l", files[0], files[1], files[2]});
  ASSERT_EQ(named.status, 0) << named.err;
  RunResult r = Run({"-l", folder});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, named.out);
  EXPECT_EQ(r.err, "");

  r = Run({"--csv", folder});
  EXPECT_EQ(r.status, 0);
  std::string expected;
  for (const std::string& name : {kFolderOrder[0], kFolderOrder[1], kSecond.shown}) {
    const std::string base = name.substr(0, name.size() - 4);
    expected += "mnr2txt: " + Joined(kQuestions.shown, name) + ": " +
                Said(cli::shell_texts::kWrote, {Joined(kQuestions.shown, base + ".csv")}) + "\n";
  }
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(r.err, "");
  std::vector<std::string> left = {"B.csv", "B.mnr", "a.csv", "a.mnr", "c.mnrx", "notes.txt", "sub.mnr",
                                   kSecond.host.substr(0, kSecond.host.size() - 4) + ".csv", kSecond.host};
  std::sort(left.begin(), left.end());
  EXPECT_EQ(test_env::ListDir(Path(folder)), left);
  EXPECT_EQ(test_env::ListDir(Path(Joined(folder, "sub.mnr"))), std::vector<std::string>{"x.mnr"});
}

TEST_F(Mnr2txt, AFolderWithoutProblemFilesIsReportedAndTheRestConverted) {
  test_env::MakeDir(Path("empty"));
  cli_test::WriteFile(Path(Joined("empty", "notes.txt")), "not a problem file");
  test_env::MakeDir(Path("two"));
  Problems("a").writeTo(Path(Joined("two", "a.mnr")));
  Problems("b").writeTo(Path(Joined("two", "b.mnr")));
  test_env::MakeDir(Path("one"));
  Problems("a").writeTo(Path(Joined("one", "a.mnr")));
  Problems("s").writeTo(Path("set.mnr"));

  RunResult r = Run({"--json", "empty", "set.mnr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "mnr2txt: set.mnr: " + Said(cli::shell_texts::kWrote, {"set.json"}) + "\n");
  EXPECT_EQ(r.err, "mnr2txt: empty: " + Said(cli::shell_texts::kNoProblemFilesInFolder) + "\n");
  EXPECT_EQ(test_env::ListDir(Path("empty")), std::vector<std::string>{"notes.txt"});

  // One stream takes one file: a folder of one is that file, of two a usage error.
  r = Run({"--csv", "-o", "-", "two"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "mnr2txt: " + Said(mnr2txt_texts::kStreamTakesOne) + "\n" + Said(cli::shell_texts::kTryHelp, {"mnr2txt"}) + "\n");
  EXPECT_EQ(test_env::ListDir(Path("two")), (std::vector<std::string>{"a.mnr", "b.mnr"}));
  r = Run({"--csv", "-o", "-", "one"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.rawOut, Run({"--csv", "-o", "-", Joined("one", "a.mnr")}).rawOut);
  EXPECT_FALSE(r.rawOut.empty());
}

// txt2mnr --check takes folders as mnr2txt does; writing, it takes named
// files only (a folder's JSON, CSV and genre files would make the same names).
TEST(Txt2mnrArguments, CheckTakesAFolderWritingNamesTheFiles) {
  test_env::TempDir dir;
  test_env::MakeDir(dir.host("quiz"));
  MnrWriter clean;
  clean.genre(0).name = "a";
  clean.genre(0).problems.push_back({"Q", {"a", "b", "c", "d", "e"}});
  clean.writeTo(dir.host(Joined("quiz", "b.mnr")));
  clean.writeTo(dir.host(Joined("quiz", "c.mnr")));
  RunResult r = cli_test::RunTxt2mnr({"--check", "quiz"}, dir.host());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Joined("quiz", "b.mnr") + ": " + Said(txt2mnr_texts::kCheckCleanGenreText) + "\n" + Joined("quiz", "c.mnr") +
                       ": " + Said(txt2mnr_texts::kCheckCleanGenreText) + "\n");
  EXPECT_EQ(r.err, "");
  r = cli_test::RunTxt2mnr({"quiz"}, dir.host());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "txt2mnr: quiz: " + Said(txt2mnr_texts::kFolder) + "\n");
  EXPECT_EQ(test_env::ListDir(dir.host("quiz")), (std::vector<std::string>{"b.mnr", "c.mnr"}));
}

#ifdef _WIN32
TEST_F(Mnr2txt, StarAndQuestionMarkGiveTheMatchingFilesInNameOrder) {
  Problems("2").writeTo(Path(kSecond.host));
  Problems("10").writeTo(Path(kTenth.host));
  Problems("a").writeTo(Path("a.MNR"));
  Problems("B").writeTo(Path("B.mnr"));
  Problems("x").writeTo(Path("x.mnrx"));
  const Name quiz = Japanese("\x83\x4E\x83\x43\x83\x59", "\xE3\x82\xAF\xE3\x82\xA4\xE3\x82\xBA");  // クイズ
  test_env::MakeDir(Path(quiz.host));
  test_env::MakeDir(Path(quiz.host + "2"));
  Problems("c").writeTo(Path(Joined(quiz.host, "c.mnr")));
  Problems("d").writeTo(Path(Joined(quiz.host + "2", "d.mnr")));
  Problems("e").writeTo(Path(quiz.host + "3"));  // a file: no folder to look into

  const auto listed = [this](const std::vector<std::string>& names) {
    std::vector<std::string> args = {"-l"};
    args.insert(args.end(), names.begin(), names.end());
    const RunResult r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  };
  // Letters in any case; the long names only ("x.mnrx" is no match, whatever
  // its short name); 第10回 before 第2回, as "1" comes before "2".
  RunResult r = Run({"-l", "*.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, listed({"a.MNR", "B.mnr", kTenth.host, kSecond.host}));
  EXPECT_EQ(r.err, "");
  r = Run({"-l", "\x91\xE6?\x89\xF1.MNR"});  // 第?回.MNR
  EXPECT_EQ(r.out, listed({kSecond.host}));
  // Folders may hold patterns too; a name ending in "\" is a folder.
  r = Run({"-l", quiz.host + "*\\*.mnr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, listed({Joined(quiz.host, "c.mnr"), Joined(quiz.host + "2", "d.mnr")}));
  r = Run({"-l", quiz.host + "?\\"});
  EXPECT_EQ(r.out, listed({Joined(quiz.host + "2", "d.mnr")}));

  // A pattern that matches nothing is reported under its name; the rest is converted.
  r = Run({"--csv", "nothing*.mnr", "B.mnr", "*\\*.none"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "mnr2txt: B.mnr: " + Said(cli::shell_texts::kWrote, {"B.csv"}) + "\n");
  EXPECT_EQ(r.err, "mnr2txt: nothing*.mnr: " + Said(cli::shell_texts::kNoMatch) + "\n" +
                       "mnr2txt: *\\*.none: " + Said(cli::shell_texts::kNoMatch) + "\n");

  // txt2mnr expands them the same way: -o takes one input, however named.
  r = cli_test::RunTxt2mnr({"-o", "one.mnr", "*.csv"}, Path());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "txt2mnr: B.csv: " + Said(cli::shell_texts::kWrote, {"one.mnr"}) + "\n");
  EXPECT_EQ(Run({"--csv", "a.MNR"}).status, 0);
  r = cli_test::RunTxt2mnr({"-o", "two.mnr", "*.csv"}, Path());
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "txt2mnr: " + Said(txt2mnr_texts::kOneInput) + "\n" + Said(cli::shell_texts::kTryHelp, {"txt2mnr"}) + "\n");
  EXPECT_FALSE(cli_test::FileExists(Path("two.mnr")));
}
#else
// The shell has expanded the patterns: what reaches the program is a name.
TEST_F(Mnr2txt, StarAndQuestionMarkAreCharactersOfANameHere) {
  Problems("star").writeTo(Path("a*.mnr"));
  Problems("b").writeTo(Path("ab.mnr"));
  const RunResult r = Run({"--csv", "a*.mnr", "a?.mnr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "mnr2txt: a*.mnr: " + Said(cli::shell_texts::kWrote, {"a*.csv"}) + "\n");
  EXPECT_EQ(r.err, Told("a?.mnr", Said(cli::shell_texts::kNoSuchFile)));
  EXPECT_EQ(test_env::ListDir(Path()), (std::vector<std::string>{"a*.csv", "a*.mnr", "ab.mnr"}));
}
#endif

}  // namespace
