#include <windows.h>

#include "cli/UserLanguage.h"

namespace cli {

// The language of the user's menus and dialogs, as the window program shows
// them; the locale variables of POSIX systems mean nothing here.
texts::Language UserLanguage() {
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? texts::Language::kJapanese
                                                                      : texts::Language::kEnglish;
}

}  // namespace cli
