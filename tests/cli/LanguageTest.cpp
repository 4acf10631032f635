// Which language mnr2txt and txt2mnr speak, and their tables of texts: every
// text in both languages with the same blanks to fill, help that fits a
// terminal of 80 columns, and --help as the user's language asks, natively
// and under Wine.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>

#ifdef _WIN32
#include <windows.h>
#endif

#include "cli/Language.h"
#include "cli/Mnr2txtTexts.h"
#include "cli/Txt2mnrTexts.h"
#include "tests/cli/CliTestEnv.h"
#include "tests/support/TestEnv.h"

namespace {

using cli::Language;
using cli::LanguageOfLocale;
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
void ExpectBothForms(const cli::TextRow (&table)[N], const char* program) {
  for (const cli::TextRow& row : table) {
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
  ExpectBothForms(cli::mnr2txt_texts::kTable, "mnr2txt");
  ExpectBothForms(cli::txt2mnr_texts::kTable, "txt2mnr");
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
  const cli::TextRow& mnr2txt = cli::mnr2txt_texts::kTable[cli::mnr2txt_texts::kUsage];
  EXPECT_EQ(r.out, japanese ? mnr2txt.japanese : mnr2txt.english) << context;
  EXPECT_EQ(r.err, "") << context;
  r = cli_test::RunTxt2mnr({"--help"}, dir.host());
  EXPECT_EQ(r.status, 0) << context;
  EXPECT_EQ(r.out.rfind(japanese ? kTxt2mnrUsageJa : kTxt2mnrUsageEn, 0), 0u) << context << "\n" << r.out;
  const cli::TextRow& txt2mnr = cli::txt2mnr_texts::kTable[cli::txt2mnr_texts::kUsage];
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
}
#endif

}  // namespace
