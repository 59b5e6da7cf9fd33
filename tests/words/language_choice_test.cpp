// A program's language: the one asked for, else the user's locale.
#include <gtest/gtest.h>

#include "words/language_choice.h"

namespace telmor {
namespace {

TEST(LanguageChoice, TheOneAskedForThenTheLocale) {
  struct Case {
    const char* asked;
    const char* lc_all;
    const char* lc_messages;
    const char* lang;
    Language expected;
  };
  const Case cases[] = {
      {"", nullptr, nullptr, nullptr, Language::japanese},       // nothing set
      {"", nullptr, nullptr, "C.UTF-8", Language::japanese},
      {"", nullptr, nullptr, "ja_JP.UTF-8", Language::japanese},
      {"", nullptr, nullptr, "en_GB.UTF-8", Language::english},
      {"", nullptr, nullptr, "en", Language::english},
      {"", nullptr, nullptr, "en@quot", Language::english},
      {"", nullptr, nullptr, "eng", Language::japanese},          // not the name "en"
      {"", nullptr, "en_US", "ja_JP", Language::english},          // messages before LANG
      {"", "ja_JP.UTF-8", "en_US", "en_US", Language::japanese},  // LC_ALL before both
      {"", "", nullptr, "en_US", Language::english},              // an empty variable is unset
      {"ja", nullptr, nullptr, "en_US.UTF-8", Language::japanese},  // the one asked for wins
      {"en", nullptr, nullptr, "ja_JP.UTF-8", Language::english},
      {"fr", nullptr, nullptr, "en_US", Language::english},       // an unknown code is none
  };
  for (const Case& c : cases) {
    EXPECT_EQ(language_for(c.asked, c.lc_all, c.lc_messages, c.lang), c.expected)
        << c.asked << " " << (c.lang ? c.lang : "-");
  }
}

TEST(LanguageChoice, CodesNameTheTwoLanguages) {
  EXPECT_EQ(language_named("ja"), Language::japanese);
  EXPECT_EQ(language_named("en"), Language::english);
  EXPECT_EQ(language_named("EN"), std::nullopt);
  EXPECT_EQ(language_named(""), std::nullopt);
  for (const Language l : {Language::japanese, Language::english}) EXPECT_EQ(language_named(language_code(l)), l);
}

}  // namespace
}  // namespace telmor
