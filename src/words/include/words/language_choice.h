// Which language a program speaks: the one asked for, else the user's locale.
#pragma once

#include <optional>
#include <string_view>

#include "words/words.h"

namespace telmor {

// "ja" or "en" as a language; nullopt for any other code.
std::optional<Language> language_named(std::string_view code);
// "ja" or "en".
std::string_view language_code(Language language);

// A program's language from the one asked for ("ja", "en"; empty when none
// was: a command line's --lang, the frame's remembered choice) and the user's
// locale variables (null when unset): the first set of LC_ALL, LC_MESSAGES,
// LANG names it, and only English replaces the Japanese of the programs'
// own texts.
Language language_for(std::string_view asked, const char* lc_all, const char* lc_messages, const char* lang);

}  // namespace telmor
