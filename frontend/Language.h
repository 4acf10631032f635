#pragma once
// The language the front ends speak in: Japanese or English. Each speaker's
// texts are one table, every text in both languages side by side
// (cli/ShellTexts.h, cli/mnr2txt/Texts.h, cli/txt2mnr/Texts.h, frontend/import/ImportTexts.h);
// the program decides once which language is in use (txt2mnr and mnr2txt
// from the user's, the page Japanese). The window program's own messages
// (frontend/Messages.h) are Japanese whatever the language: they are quoted
// as the window shows them.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace texts {

enum class Language { kEnglish, kJapanese };

// The language the texts are said in, for the whole process; English until set.
void UseLanguage(Language language);
Language LanguageInUse();

// One row of a table of texts: its place in the table (an enumerator of the
// table) and its two forms, UTF-8. "{1}", "{2}" ... are filled in by Fill.
struct TextRow {
  int id;
  const char* english;
  const char* japanese;
};

// True when the table has one row per id, in the order of the ids, and every
// row has both forms: each table asserts it at compile time.
template <std::size_t N>
constexpr bool IsCompleteTable(const TextRow (&table)[N], int idCount) {
  if (static_cast<int>(N) != idCount) return false;
  for (std::size_t i = 0; i < N; ++i) {
    if (table[i].id != static_cast<int>(i)) return false;
    if (table[i].english == nullptr || table[i].english[0] == '\0') return false;
    if (table[i].japanese == nullptr || table[i].japanese[0] == '\0') return false;
  }
  return true;
}

// The row's form in the language in use.
const char* InLanguageInUse(const TextRow& row);

// Replaces "{1}", "{2}" ... in text by args[0], args[1] ...
std::string Fill(std::string_view text, const std::vector<std::string>& args);

}  // namespace texts
