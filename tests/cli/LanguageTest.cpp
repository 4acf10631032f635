// Which language mnr2txt and txt2mnr speak, and their tables of texts (and
// the readers' of txt2mnr and the page): every text in both languages with
// the same blanks to fill, help that fits a terminal of 80 columns, and
// --help and txt2mnr's messages wholly in the language the user's asks,
// natively and under Wine.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>

#ifdef _WIN32
#include <windows.h>
#endif

#include "cli/ShellTexts.h"
#include "cli/mnr2txt/Texts.h"
#include "cli/txt2mnr/Texts.h"
#include "cli/UserLanguage.h"
#include "frontend/import/ImportTexts.h"
#include "platform/IoError.h"
#include "tests/cli/CliTestEnv.h"
#include "tests/support/TestEnv.h"

namespace {

using cli::LanguageOfLocale;
using texts::Language;
using cli_test::RunResult;

TEST(Language, TheFirstLocaleVariableSetAndNotEmptyDecides) {
  EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, nullptr), Language::kEnglish);
  EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, "ja_JP.UTF-8"), Language::kJapanese);
  EXPECT_EQ(LanguageOfLocale("C", nullptr, "ja_JP.UTF-8"), Language::kEnglish);
  EXPECT_EQ(LanguageOfLocale("", "ja_JP.eucJP", "en_US.UTF-8"), Language::kJapanese);
  EXPECT_EQ(LanguageOfLocale(nullptr, "en_GB.UTF-8", "ja_JP.UTF-8"), Language::kEnglish);
  EXPECT_EQ(LanguageOfLocale("", "", "ja"), Language::kJapanese);
  EXPECT_EQ(LanguageOfLocale("fr_FR.UTF-8", "ja_JP.UTF-8", "ja_JP.UTF-8"), Language::kEnglish);
  EXPECT_EQ(LanguageOfLocale("j", nullptr, nullptr), Language::kEnglish);
}

// The code points of UTF-8 text; nullopt when it is not UTF-8.
std::optional<std::u32string> CodePoints(const std::string& utf8) {
  std::u32string points;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || i + length > utf8.size()) return std::nullopt;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = (c << 6) | (next & 0x3F);
    }
    points += c;
    i += length;
  }
  return points;
}

// Columns on a terminal: Japanese characters and punctuation take two (the
// ambiguous ones too, as Japanese terminals show them), half-width kana one.
std::size_t Columns(const std::u32string& line) {
  std::size_t columns = 0;
  for (char32_t c : line) columns += c < 0x2000 || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2;
  return columns;
}

std::multiset<std::string> Blanks(const std::string& text) {
  std::multiset<std::string> blanks;
  for (std::size_t at = text.find('{'); at != std::string::npos; at = text.find('{', at + 1))
    blanks.insert(text.substr(at, 3));
  return blanks;
}

template <std::size_t N>
void ExpectBothForms(const texts::TextRow (&table)[N], const char* program) {
  for (const texts::TextRow& row : table) {
    const std::string english = row.english, japanese = row.japanese;
    SCOPED_TRACE(std::string(program) + " text " + std::to_string(row.id) + ": " + english.substr(0, 40));
    const auto englishPoints = CodePoints(english), japanesePoints = CodePoints(japanese);
    ASSERT_TRUE(englishPoints && japanesePoints) << "not UTF-8";
    // The English is English, the Japanese holds Japanese.
    for (char32_t c : *englishPoints) EXPECT_LT(c, 0x80u);
    bool japaneseSeen = false;
    for (char32_t c : *japanesePoints) japaneseSeen = japaneseSeen || c >= 0x3000;
    EXPECT_TRUE(japaneseSeen);
    EXPECT_EQ(Blanks(english), Blanks(japanese));
    // What follows a text (a line break, the system's message) follows both.
    EXPECT_EQ(english.back() == '\n', japanese.back() == '\n');
    EXPECT_EQ(english.substr(english.size() - 2) == ": ", japanese.substr(japanese.size() - 2) == ": ");
    // Texts of whole lines (the help) fit a terminal of 80 columns.
    if (english.back() != '\n') continue;
    for (const auto& points : {*englishPoints, *japanesePoints}) {
      std::u32string line;
      for (char32_t c : points + U"\n") {
        if (c != U'\n') {
          line += c;
          continue;
        }
        EXPECT_LE(Columns(line), 79u) << std::string(line.begin(), line.end()).size();
        line.clear();
      }
    }
  }
}

TEST(Language, EveryTextHasBothFormsWithTheSameBlanks) {
  ExpectBothForms(cli::shell_texts::kTable, "both programs");
  ExpectBothForms(cli::mnr2txt_texts::kTable, "mnr2txt");
  ExpectBothForms(cli::txt2mnr_texts::kTable, "txt2mnr");
  ExpectBothForms(import_text::kTable, "readers");
}

// The system's error texts: each code the window's table names has its
// English form beside it, and the others read "I/O error (N)" in both.
TEST(Language, EveryIoErrorTextHasItsEnglishForm) {
  for (int code = 0; code < 1200; ++code) {
    const std::string japanese = platform::IoErrorMessage(code), english = platform::IoErrorMessageInEnglish(code);
    const bool numbered = japanese == "I/O \x83G\x83\x89\x81[ (" + std::to_string(code) + ")";
    EXPECT_EQ(english == "I/O error (" + std::to_string(code) + ")", numbered) << code;
    for (char c : english) EXPECT_LT(static_cast<unsigned char>(c), 0x80) << code;
  }
  EXPECT_EQ(platform::IoErrorMessageInEnglish(2), "File not found");
}

constexpr char kMnr2txtUsageJa[] = "使い方: mnr2txt [オプション] FILE...\n";
constexpr char kMnr2txtUsageEn[] = "Usage: mnr2txt [options] FILE...\n";
constexpr char kTxt2mnrUsageJa[] = "使い方: txt2mnr [オプション] FILE...\n";
constexpr char kTxt2mnrUsageEn[] = "Usage: txt2mnr [options] FILE...\n";

void ExpectHelp(Language language, const std::string& context) {
  test_env::TempDir dir;
  const bool japanese = language == Language::kJapanese;
  RunResult r = cli_test::RunMnr2txt({"--help"}, dir.host());
  EXPECT_EQ(r.status, 0) << context;
  EXPECT_EQ(r.out.rfind(japanese ? kMnr2txtUsageJa : kMnr2txtUsageEn, 0), 0u) << context << "\n" << r.out;
  const texts::TextRow& mnr2txt = cli::mnr2txt_texts::kTable[cli::mnr2txt_texts::kUsage];
  EXPECT_EQ(r.out, japanese ? mnr2txt.japanese : mnr2txt.english) << context;
  EXPECT_EQ(r.err, "") << context;
  r = cli_test::RunTxt2mnr({"--help"}, dir.host());
  EXPECT_EQ(r.status, 0) << context;
  EXPECT_EQ(r.out.rfind(japanese ? kTxt2mnrUsageJa : kTxt2mnrUsageEn, 0), 0u) << context << "\n" << r.out;
  const texts::TextRow& txt2mnr = cli::txt2mnr_texts::kTable[cli::txt2mnr_texts::kUsage];
  EXPECT_EQ(r.out, japanese ? txt2mnr.japanese : txt2mnr.english) << context;
  EXPECT_EQ(r.err, "") << context;
  // A usage error in the same language, on standard error, exit status 2.
  r = cli_test::RunMnr2txt({"-x"}, dir.host());
  EXPECT_EQ(r.status, 2) << context;
  EXPECT_EQ(r.out, "") << context;
  EXPECT_EQ(r.err, japanese ? "mnr2txt: -x というオプションはありません\n"
                              "使い方は 'mnr2txt --help' で表示できます。\n"
                            : "mnr2txt: unknown option -x\n"
                              "Try 'mnr2txt --help' for more information.\n")
      << context;
}

// What txt2mnr says of a JSON, CSV or problem file, place words and all, in
// one language: a refused CSV (two fields that cannot be stored), a file
// that is no JSON, a CSV written with a warning, and --check's finding.
void ExpectReadersMessages(Language language, const std::string& context) {
  using test_support::MnrWriter;
  using test_support::Problem;
  test_env::TempDir dir;
  const bool japanese = language == Language::kJapanese;
  const std::string header = "genre,name,question,choice1,choice2,choice3,choice4,choice5\r\n";
  // With a byte-order mark, as spreadsheets write UTF-8: without one, these
  // bytes would be valid CP932 too.
  test_env::WriteFile(dir.host("long.csv"), "\xEF\xBB\xBF" + header + "0,n," + std::string(117, 'q') + ",a,\xF0\x9F\x8D\xA3,c,d,e\r\n");
  RunResult r = cli_test::RunTxt2mnr({"long.csv"}, dir.host());
  EXPECT_EQ(r.status, 1) << context;
  EXPECT_EQ(r.out, "") << context;
  EXPECT_EQ(r.err, japanese ? "txt2mnr: long.csv:2:3: ジャンル 0、問題 1、問題文: CP932 で 117 バイトあり、"
                              "この欄に入る 116 バイトを超えています\n"
                              "txt2mnr: long.csv:2:5: ジャンル 0、問題 1、選択肢 2: U+1F363 (🍣) は CP932 にない文字です\n"
                              "txt2mnr: long.csv: 何も書きませんでした\n"
                            : "txt2mnr: long.csv:2:3: genre 0, problem 1, question: 117 bytes in CP932, "
                              "more than the 116 its field holds\n"
                              "txt2mnr: long.csv:2:5: genre 0, problem 1, choice 2: U+1F363 (🍣) has no CP932 form\n"
                              "txt2mnr: long.csv: nothing written\n")
      << context;
  // The place in characters, the character whole.
  test_env::WriteFile(dir.host("bad.json"), "{\n  \"genres\": [あ]}\n");
  r = cli_test::RunTxt2mnr({"bad.json"}, dir.host());
  EXPECT_EQ(r.status, 1) << context;
  EXPECT_EQ(r.out, "") << context;
  EXPECT_EQ(r.err, japanese ? "txt2mnr: bad.json: JSON ではありません: 2 行 14 文字目の 'あ' はそこに書けません\n"
                              "txt2mnr: bad.json: 何も書きませんでした\n"
                            : "txt2mnr: bad.json: not JSON: line 2, column 14: 'あ' cannot come here\n"
                              "txt2mnr: bad.json: nothing written\n")
      << context;
  EXPECT_EQ(test_env::ListDir(dir.host()), (std::vector<std::string>{"bad.json", "long.csv"})) << context;

  test_env::WriteFile(dir.host("cut.csv"), header + "0,n,Aあ,a,b,c,d,e\r\n");
  r = cli_test::RunTxt2mnr({"cut.csv"}, dir.host());
  EXPECT_EQ(r.status, 0) << context;
  EXPECT_EQ(r.out, japanese ? "txt2mnr: cut.csv: cut.mnr を書きました\n" : "txt2mnr: cut.csv: wrote cut.mnr\n")
      << context;
  EXPECT_EQ(r.err, japanese ? "txt2mnr: 警告: 偶数の位置の空白で文が終わるとみなす読み方では途中で切れる文が 1 "
                              "つあります（2 バイト目が 0xA0 の全角文字が奇数の位置から始まっています）。むねもじは"
                              "最後まで読みます\n"
                            : "txt2mnr: warning: 1 text(s) that readers ending a text at any stored space at an "
                              "even offset cut short (a double-byte character with trail byte 0xA0 starts at an "
                              "odd offset); munemoji reads them whole\n")
      << context;

  MnrWriter trimmed;
  trimmed.genre(1).problems = {Problem{"q", {"a", "x ", "c", "d", "e"}}};
  trimmed.writeTo(dir.host("t.mnr"));
  r = cli_test::RunTxt2mnr({"--check", "t.mnr"}, dir.host());
  EXPECT_EQ(r.status, 1) << context;
  EXPECT_EQ(r.out, japanese ? "t.mnr: ジャンル 1、問題 1、選択肢 2: 文の終わりに、テキストに書き出すと消える空白か"
                              "制御バイトがあります\n"
                            : "t.mnr: genre 1, problem 1, choice 2: spaces or control bytes at the text's end, "
                              "which a text export drops\n")
      << context;
  EXPECT_EQ(r.err, "") << context;
}

#ifndef _WIN32
// Sets the three locale variables for the programs a test runs (null:
// unset), and clears them again at the end.
class LocaleVariables {
 public:
  LocaleVariables(const char* lcAll, const char* lcMessages, const char* lang) {
    Set("LC_ALL", lcAll);
    Set("LC_MESSAGES", lcMessages);
    Set("LANG", lang);
  }
  ~LocaleVariables() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) unsetenv(name);
  }

 private:
  static void Set(const char* name, const char* value) {
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
};

TEST(Language, HelpAndMessagesInTheLanguageOfTheLocale) {
  const struct {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    Language expected;
  } cases[] = {
      {nullptr, nullptr, "ja_JP.UTF-8", Language::kJapanese},
      {"ja_JP.UTF-8", "C", "C", Language::kJapanese},
      {"", "ja_JP.UTF-8", "en_US.UTF-8", Language::kJapanese},
      {"C", nullptr, "ja_JP.UTF-8", Language::kEnglish},
      {nullptr, "en_US.UTF-8", "ja_JP.UTF-8", Language::kEnglish},
      {nullptr, nullptr, nullptr, Language::kEnglish},
  };
  for (const auto& c : cases) {
    const LocaleVariables locale(c.lcAll, c.lcMessages, c.lang);
    ExpectHelp(c.expected, std::string("LC_ALL=") + (c.lcAll ? c.lcAll : "(unset)") + " LC_MESSAGES=" +
                               (c.lcMessages ? c.lcMessages : "(unset)") + " LANG=" + (c.lang ? c.lang : "(unset)"));
  }
}

TEST(Language, ReadersMessagesInTheLanguageOfTheLocale) {
  {
    const LocaleVariables locale("ja_JP.UTF-8", nullptr, nullptr);
    ExpectReadersMessages(Language::kJapanese, "LC_ALL=ja_JP.UTF-8");
  }
  {
    const LocaleVariables locale(nullptr, nullptr, "en_US.UTF-8");
    ExpectReadersMessages(Language::kEnglish, "LANG=en_US.UTF-8");
  }
}
#else
// Wine takes the user's UI language from the locale it was started in:
// Japanese (0x0411) under ja_JP, English (0x0409) under en_US. The test suite
// runs once under each (tests/cli/CMakeLists.txt); LC_ALL tells which.
TEST(Language, HelpAndMessagesInTheUsersUiLanguage) {
  const char* locale = std::getenv("LC_ALL");
  if (locale == nullptr) GTEST_SKIP() << "not under Wine: no locale to compare with";
  const bool japanese = std::string(locale).rfind("ja_JP", 0) == 0;
  ASSERT_TRUE(japanese || std::string(locale).rfind("en_US", 0) == 0) << locale;
  EXPECT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), japanese ? LANG_JAPANESE : LANG_ENGLISH);
  ExpectHelp(japanese ? Language::kJapanese : Language::kEnglish, locale);
  ExpectReadersMessages(japanese ? Language::kJapanese : Language::kEnglish, locale);
}
#endif

}  // namespace
