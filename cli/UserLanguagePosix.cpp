#include <cstdlib>

#include "cli/Language.h"

namespace cli {

Language UserLanguage() {
  return LanguageOfLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

}  // namespace cli
