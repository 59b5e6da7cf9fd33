// Text from files made fit to show and write: UTF-8 kept, Latin-1 decoded,
// controls escaped, bad bytes replaced; never a control byte in the output.
#include <gtest/gtest.h>

#include <string>

#include "base/printable_text.h"

namespace telmor {
namespace {

TEST(PrintableText, ValidUtf8IsTold) {
  struct Case {
    std::string text;
    bool valid;
  };
  const Case cases[] = {
      {"", true},
      {"V1", true},
      {"誘導", true},
      {"\xF0\x9F\x92\x93", true},    // U+1F493
      {"\xC3", false},               // cut short
      {"\xC0\xAF", false},           // overlong '/'
      {"\xED\xA0\x80", false},       // a surrogate
      {"\xF4\x90\x80\x80", false},   // beyond U+10FFFF
      {"\xE9t\xE9", false},          // Latin-1 "été"
  };
  for (const Case& c : cases) EXPECT_EQ(is_valid_utf8(c.text), c.valid) << c.text;
}

TEST(PrintableText, LabelsComeOutAsCleanUtf8) {
  struct Case {
    std::string bytes;
    std::string label;
  };
  const Case cases[] = {
      {"V1              ", "V1"},                       // EDF's blank padding
      {std::string("V10\0\0", 5), "V10"},                             // NUL padding
      {"\xC9lectrode 3", "\xC3\x89lectrode 3"},       // Latin-1 É
      {"M\xC3\xBCller", "M\xC3\xBCller"},             // UTF-8 ü kept
      {"V1\x1b[31m", "V1\\x1B[31m"},                  // a terminal's colour
      {"a\nb\rc", "a\\x0Ab\\x0Dc"},
      {"x\x7Fy", "x\\x7Fy"},
      {"x\xC2\x85y", "x\\u0085y"},                     // C1 NEL
  };
  for (const Case& c : cases) {
    const std::string label = label_from_bytes(c.bytes);
    EXPECT_EQ(label, c.label) << c.bytes;
    EXPECT_TRUE(is_valid_utf8(label)) << c.bytes;
  }
}

TEST(PrintableText, EscapingReplacesBytesThatAreNoUtf8) {
  EXPECT_EQ(escaped_controls("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(escaped_controls("\xC3"), "\xEF\xBF\xBD");
  EXPECT_EQ(escaped_controls("日本"), "日本");
}

TEST(PrintableText, EveryByteGivesValidUtf8WithoutControls) {
  for (int b = 0; b < 256; ++b) {
    const std::string text = label_from_bytes(std::string(1, static_cast<char>(b)) + "z");
    ASSERT_TRUE(is_valid_utf8(text)) << b;
    for (const char c : text) {
      const auto u = static_cast<unsigned char>(c);
      ASSERT_FALSE(u < 0x20 || u == 0x7F) << b;
    }
  }
}

}  // namespace
}  // namespace telmor
