// Lines made of text and number items.
#include <gtest/gtest.h>

#include "console/line_builder.h"

namespace telmor {
namespace {

TEST(LineBuilder, TextsRunOnAndNumbersStandApart) {
  EXPECT_EQ(LineBuilder().text("na").number(std::int64_t{3}).str(), "na 3");
  EXPECT_EQ(LineBuilder().text("ab").text("cd").str(), "abcd");
  EXPECT_EQ(LineBuilder().number(std::int64_t{1}).text("x").number(2.5f).str(), "1 x 2.5");
  EXPECT_EQ(LineBuilder().text("selected time").number(std::int64_t{-40}).str(),
            "selected time -40");
}

TEST(LineBuilder, TextEndingInABlankTakesNoSecondBlank) {
  EXPECT_EQ(LineBuilder().text("a  ").number(std::int64_t{5}).str(), "a  5");
}

}  // namespace
}  // namespace telmor
