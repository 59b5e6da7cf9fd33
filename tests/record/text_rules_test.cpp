// The shared text rules: byte-order marks and the answers of questions.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "record/text_rules.h"

namespace telmor {
namespace {

struct MarkCase {
  std::string text;
  std::string after;  // what is left to read
};

TEST(ByteOrderMark, OnlyAWholeMarkAtTheStartIsSkipped) {
  const MarkCase cases[] = {
      {"\xEF\xBB\xBF" "1 2", "1 2"},
      {"1 2", "1 2"},
      {"\xEF\xBB" "x", "\xEF\xBB" "x"},  // a mark cut short is data
      {"\xEF", "\xEF"},
      {"", ""},
      {"\xEF\xBB\xBF", ""},
  };
  for (const MarkCase& c : cases) {
    std::istringstream stream(c.text);
    skip_byte_order_mark(stream);
    const std::string rest(std::istreambuf_iterator<char>(stream), {});
    EXPECT_EQ(rest, c.after) << "stream: " << c.text;
    std::string_view view = c.text;
    skip_byte_order_mark(view);
    EXPECT_EQ(view, c.after) << "text: " << c.text;
  }
}

TEST(Answers, AreWholeFieldsOfOneLetter) {
  struct Case {
    const char* reply;
    bool yes, no, d;
  };
  const Case cases[] = {
      {"y", true, false, false}, {"Y", true, false, false}, {"yes", false, false, false},
      {"n", false, true, false}, {"N", false, true, false}, {"no", false, false, false},
      {"d", false, false, true}, {"D", false, false, true}, {"dd", false, false, false},
      {"", false, false, false},
  };
  for (const Case& c : cases) {
    TextField reply(10);
    reply.assign(c.reply);
    EXPECT_EQ(is_yes(reply), c.yes) << c.reply;
    EXPECT_EQ(is_no(reply), c.no) << c.reply;
    EXPECT_EQ(is_command(reply, 'd'), c.d) << c.reply;
  }
}

TEST(Separators, BlanksCommasAndSlashesEndAnItem) {
  for (const char c : std::string(" \t\r,/")) EXPECT_TRUE(ends_item(c)) << int(c);
  for (const char c : std::string("0.;-e")) EXPECT_FALSE(ends_item(c)) << c;
  EXPECT_TRUE(is_blank('\r'));
  EXPECT_FALSE(is_space_or_tab('\r'));
  EXPECT_TRUE(is_space_line(" \t "));
  EXPECT_FALSE(is_space_line(" \r"));
}

}  // namespace
}  // namespace telmor
