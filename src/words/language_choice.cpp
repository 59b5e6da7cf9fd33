// The language of a program's texts.
#include "words/language_choice.h"

namespace telmor {
namespace {

std::string_view first_set(const char* a, const char* b, const char* c) {
  for (const char* value : {a, b, c}) {
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

}  // namespace

std::optional<Language> language_named(std::string_view code) {
  if (code == "ja") return Language::japanese;
  if (code == "en") return Language::english;
  return std::nullopt;
}

std::string_view language_code(Language language) { return language == Language::english ? "en" : "ja"; }

Language language_for(std::string_view asked, const char* lc_all, const char* lc_messages, const char* lang) {
  if (const std::optional<Language> named = language_named(asked)) return *named;
  // "en", "en_GB.UTF-8", "en@quot": the language is what stands before _ . @
  const std::string_view locale = first_set(lc_all, lc_messages, lang);
  const std::string_view name = locale.substr(0, locale.find_first_of("_.@"));
  return name == "en" ? Language::english : Language::japanese;
}

}  // namespace telmor
