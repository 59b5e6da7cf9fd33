// The shape of a recording read off its text.
#include <gtest/gtest.h>

#include <string>

#include "analysis/recording_shape.h"

namespace telmor {
namespace {

TEST(TextShape, ValuesOfTheFirstRowAndRowsThatHoldData) {
  struct Case {
    std::string text;
    int values, rows;
  };
  const Case cases[] = {
      {"1 2 3\n4 5 6\n", 3, 2},
      {"\xEF\xBB\xBF" "1,2\r\n\r\n  \n3,4\r\n", 2, 2},  // mark, CR LF, lines of blanks
      {"\n\n1\t2\t3\t4", 4, 1},                          // no line end at the last row
      {",5,6\n", 3, 1},                                   // a leading comma is an empty value
      {"1,,3\n", 3, 1},
      {"1,2,\n", 2, 1},                                   // a trailing comma is none
      {"1 2 / three\n", 2, 1},                            // a slash ends the row's values
      {"time lead1\n1 2\n", 2, 2},                        // a header is counted; the reader refuses it
      {"", 0, 0},
  };
  for (const Case& c : cases) {
    const TextShape shape = text_shape(c.text);
    EXPECT_EQ(shape.first_row_values, c.values) << c.text;
    EXPECT_EQ(shape.data_rows, c.rows) << c.text;
  }
}

}  // namespace
}  // namespace telmor
