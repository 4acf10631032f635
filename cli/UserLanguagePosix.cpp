#include <cstdlib>

#include "cli/UserLanguage.h"

namespace cli {

texts::Language UserLanguage() {
  return LanguageOfLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

}  // namespace cli
