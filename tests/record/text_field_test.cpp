// Fixed-width text fields counted in characters.
#include <gtest/gtest.h>

#include <string>

#include "record/text_field.h"

namespace telmor {
namespace {

TEST(TextField, StartsBlankAndPads) {
  TextField f(10);
  EXPECT_EQ(f.view(), std::string(10, ' '));
  f.assign("d");
  EXPECT_EQ(f.view(), "d         ");
  EXPECT_EQ(f.trimmed(), "d");
}

TEST(TextField, ComparesAsAWholeField) {
  TextField f(10);
  f.assign("dd");
  EXPECT_FALSE(f.equals("d"));
  EXPECT_TRUE(f.equals("dd"));
  f.assign("N");
  EXPECT_TRUE(f.equals("N"));
  EXPECT_FALSE(f.equals("n"));
}

TEST(TextField, WidthCountsCharactersNotBytes) {
  TextField f(4);
  f.assign("心電図データ");  // three bytes per character
  EXPECT_EQ(f.view(), "心電図デ");
  f.assign("心a");
  EXPECT_EQ(f.view(), "心a  ");
  EXPECT_EQ(utf8_length(f.view()), 4);
}

TEST(TextField, NeverSplitsAMultiByteCharacter) {
  TextField f(1);
  f.assign("ドライブ");
  EXPECT_EQ(f.view(), "ド");
}

}  // namespace
TEST(TextField, LongRunOfContinuationBytesStaysInsideTheField) {
  // Not UTF-8: a run of continuation bytes counts one character per four
  // bytes, so the field takes at most four bytes per character.
  TextField f(33);
  f.assign("a" + std::string(140, '\x80'));
  EXPECT_EQ(f.view().size(), 4u * 33u);
  EXPECT_EQ(utf8_length(f.view()), 33);
  EXPECT_EQ(f.view().substr(0, 4), "a\x80\x80\x80");
  TextField reply(10);
  reply.assign("y" + std::string(200, '\x80'));
  EXPECT_EQ(utf8_length(reply.view()), 10);
  EXPECT_FALSE(reply.equals("y"));
}

}  // namespace telmor
