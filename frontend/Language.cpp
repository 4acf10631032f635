#include "frontend/Language.h"

namespace texts {

namespace {
Language languageInUse = Language::kEnglish;
}

void UseLanguage(Language language) { languageInUse = language; }

Language LanguageInUse() { return languageInUse; }

const char* InLanguageInUse(const TextRow& row) {
  return languageInUse == Language::kJapanese ? row.japanese : row.english;
}

std::string Fill(std::string_view text, const std::vector<std::string>& args) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}' && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const std::size_t n = static_cast<std::size_t>(text[i + 1] - '1');
      if (n < args.size()) out += args[n];
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace texts
