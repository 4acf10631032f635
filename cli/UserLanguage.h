#pragma once
// Which language the user speaks, for mnr2txt and txt2mnr to speak it too
// (texts::UseLanguage): Japanese for a Japanese user, English for everyone
// else.

#include "frontend/Language.h"

namespace cli {

// POSIX: LC_ALL, then LC_MESSAGES, then LANG, the first one set and not
// empty deciding. Windows: the user's UI language.
texts::Language UserLanguage();

// The POSIX rule on the three variables' values (null when unset): the first
// non-empty one decides, Japanese when it begins with "ja".
texts::Language LanguageOfLocale(const char* lcAll, const char* lcMessages, const char* lang);

}  // namespace cli
