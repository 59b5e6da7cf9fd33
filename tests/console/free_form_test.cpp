// The first item of a typed reply line, and field reads over a layer.
#include <gtest/gtest.h>

#include "console/free_form.h"
#include "console/reply_read.h"
#include "support/scripted_layer.h"

namespace telmor {
namespace {

TEST(FirstItem, StopsAtBlankCommaOrSlash) {
  EXPECT_EQ(first_item("yes"), "yes");
  EXPECT_EQ(first_item("  y , n"), "y");
  EXPECT_EQ(first_item("abc,def"), "abc");
  EXPECT_EQ(first_item("abc/def"), "abc");
  EXPECT_EQ(first_item("\tq r"), "q");
}

TEST(FirstItem, LineWithoutItemKeepsWaiting) {
  EXPECT_FALSE(first_item(""));
  EXPECT_FALSE(first_item("   "));
  EXPECT_FALSE(first_item(" \t \r"));
}

TEST(FirstItem, LeadingCommaOrSlashIsAnEmptyItem) {
  EXPECT_EQ(first_item(",y"), "");
  EXPECT_EQ(first_item("  /"), "");
}

TEST(FirstItem, QuotedStringKeepsBlanksAndDoubledQuotes) {
  EXPECT_EQ(first_item("'a b,c' d"), "a b,c");
  EXPECT_EQ(first_item("\"it\"\"s\""), "it\"s");
  EXPECT_EQ(first_item("'open to the end"), "open to the end");
}

TEST(ReplyField, YesIsNotY) {
  test::ScriptedLayer layer;
  layer.console_input = {"yes"};
  TextField reply(10);
  read_text(layer, Window::console, reply);
  EXPECT_EQ(reply.view(), "yes       ");
  EXPECT_FALSE(reply.equals("y"));
}

TEST(ReplyField, BlanksAndCommaAroundY) {
  test::ScriptedLayer layer;
  layer.chart_input = {"  y , n"};
  TextField reply(10);
  read_text(layer, Window::chart, reply);
  EXPECT_EQ(reply.view(), "y         ");
  EXPECT_TRUE(reply.equals("y"));
}

TEST(ReplyField, EmptyLinesKeepWaiting) {
  test::ScriptedLayer layer;
  layer.console_input = {"", "   ", "n"};
  TextField reply(10);
  read_text(layer, Window::console, reply);
  EXPECT_TRUE(reply.equals("n"));
  EXPECT_TRUE(layer.console_input.empty());
}

TEST(ReplyField, LongReplyIsCutToTheWidth) {
  test::ScriptedLayer layer;
  layer.console_input = {"abcdefghijklmnop"};
  TextField name(12);
  read_text(layer, Window::console, name);
  EXPECT_EQ(name.view(), "abcdefghijkl");
}

TEST(NumberRead, TakesTheFirstNumberOfTheLine) {
  test::ScriptedLayer layer;
  layer.console_input = {"", " 12, 7", "0.25 x", "+3"};
  std::int32_t n = 0;
  ASSERT_TRUE(read_integer(layer, Window::console, n));
  EXPECT_EQ(n, 12);
  float r = 0.0f;
  ASSERT_TRUE(read_real(layer, Window::console, r));
  EXPECT_EQ(r, 0.25f);
  ASSERT_TRUE(read_integer(layer, Window::console, n));
  EXPECT_EQ(n, 3);
}

TEST(NumberRead, LettersFailTheReadAndLeaveTheValue) {
  test::ScriptedLayer layer;
  layer.console_input = {"abc", "3.5", "x1"};
  std::int32_t n = 9;
  EXPECT_FALSE(read_integer(layer, Window::console, n));
  EXPECT_FALSE(read_integer(layer, Window::console, n));  // not a whole number
  float r = 2.0f;
  EXPECT_FALSE(read_real(layer, Window::console, r));
  EXPECT_EQ(n, 9);
  EXPECT_EQ(r, 2.0f);
}

TEST(NumberRead, InputEndingWhileWaitingThrows) {
  test::ScriptedLayer layer;
  layer.console_input = {""};
  std::int32_t n = 0;
  EXPECT_THROW(read_integer(layer, Window::console, n), InputClosed);
}

}  // namespace
}  // namespace telmor
