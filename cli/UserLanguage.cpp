#include "cli/UserLanguage.h"

#include <string_view>

namespace cli {

texts::Language LanguageOfLocale(const char* lcAll, const char* lcMessages, const char* lang) {
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (value == nullptr || value[0] == '\0') continue;
    return std::string_view(value).substr(0, 2) == "ja" ? texts::Language::kJapanese : texts::Language::kEnglish;
  }
  return texts::Language::kEnglish;
}

}  // namespace cli
