#include <windows.h>

#include "cli/Language.h"

namespace cli {

// The language of the user's menus and dialogs, as the window program shows
// them; the locale variables of POSIX systems mean nothing here.
Language UserLanguage() {
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? Language::kJapanese : Language::kEnglish;
}

}  // namespace cli
