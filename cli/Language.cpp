#include "cli/Language.h"

#include <string_view>

#include "frontend/import/ImportTexts.h"

namespace cli {

namespace {
Language languageInUse = Language::kEnglish;
}

Language LanguageOfLocale(const char* lcAll, const char* lcMessages, const char* lang) {
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (value == nullptr || value[0] == '\0') continue;
    return std::string_view(value).substr(0, 2) == "ja" ? Language::kJapanese : Language::kEnglish;
  }
  return Language::kEnglish;
}

void UseLanguage(Language language) { languageInUse = language; }

Language LanguageInUse() { return languageInUse; }

const char* InLanguageInUse(const TextRow& row) {
  return languageInUse == Language::kJapanese ? row.japanese : row.english;
}

std::string Fill(const char* text, const std::vector<std::string>& args) { return import_text::Fill(text, args); }

}  // namespace cli
