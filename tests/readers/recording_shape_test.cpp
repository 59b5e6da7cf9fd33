// The shape of a recording read off its text.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "readers/recording_shape.h"
#include "readers/recording_text.h"

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

std::string rows(int count, const std::string& row) {
  std::string text;
  for (int i = 0; i < count; ++i) text += row;
  return text;
}

// One line of n values.
std::string many_values(int n) {
  std::string line;
  for (int i = 1; i <= n; ++i) line += std::to_string(i) + (i < n ? " " : "\n");
  return line;
}

struct Shape : ::testing::Test {
  RecordingShape shape;
  Recording recording;
};

TEST_F(Shape, StatedOrReadOffTheText) {
  struct Case {
    std::string text;
    std::optional<int> leads, seconds;
    int lead_count, record_seconds;
  };
  const Case cases[] = {
      {rows(2000, "1 2 3\n"), {}, {}, 3, 2},
      {rows(2000, "1 2 3\n"), 2, {}, 2, 2},
      {rows(2000, "1 2 3\n"), {}, 1, 3, 1},
      // Beyond the desktop's 20 leads and 30 seconds.
      {rows(31000, "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21\n"), {}, {}, 21, 31},
      {"not even numbers\n", 4, 7, 4, 7},  // stated: the text is not looked at
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(decide_shape(c.text, c.leads, c.seconds, shape)) << c.text.substr(0, 20);
    EXPECT_EQ(shape.lead_count, c.lead_count);
    EXPECT_EQ(shape.sample_count, c.record_seconds * 1000);
  }
}

TEST_F(Shape, TextsWithoutAShapeSayWhyWithTheirCounts) {
  std::string crlf_only_cr = rows(2000, "1 2 3\r");
  std::string utf16 = "\xFF\xFE";  // 10001 lines, as the LF of each line starts the next
  for (const char c : rows(1000, "1 2\r\n")) {
    utf16 += c;
    utf16 += '\0';
  }
  struct Case {
    std::string text;
    std::optional<int> leads;
    RecordingProblem problem;
  };
  const Case cases[] = {
      {"", {}, {RecordingFault::no_rows}},
      {" \n\t\n", {}, {RecordingFault::no_rows}},
      {rows(1000, many_values(1025)), {}, {RecordingFault::first_line_values, 0, 1025}},
      {rows(1001, "1 2\n"), {}, {RecordingFault::rows_not_whole_seconds, 0, 1001}},
      {rows(1001, "1 2\n"), 2, {RecordingFault::rows_not_whole_seconds, 0, 1001}},
      // One line of 6000 values, or a count of rows that UTF-16 upsets: the cause instead.
      {crlf_only_cr, {}, {RecordingFault::cr_line_ends}},
      {crlf_only_cr, 3, {RecordingFault::cr_line_ends}},
      {utf16, {}, {RecordingFault::utf16_text}},
  };
  for (const Case& c : cases) {
    const RecordingProblem problem = decide_shape(c.text, c.leads, {}, shape);
    EXPECT_EQ(problem.fault, c.problem.fault) << c.text.substr(0, 20);
    EXPECT_EQ(problem.count, c.problem.count) << c.text.substr(0, 20);
  }
}

TEST_F(Shape, ReadingTheTextGivesTheRowsProblemAsAValue) {
  struct Case {
    std::string text;
    std::optional<int> leads, seconds;
    RecordingProblem problem;
  };
  const Case cases[] = {
      {rows(1000, "1 2\n"), {}, {}, {}},
      {rows(999, "1 2\n"), 2, 1, {RecordingFault::end_of_file, 1000}},
      {rows(5, "1 2\n") + "1 x\n", 2, 1, {RecordingFault::not_a_number, 6}},
      {rows(5, "1 2\n") + "1 1e39\n" + rows(994, "1 2\n"), {}, {},
       {RecordingFault::value_beyond_float, 6}},
      {rows(1000, "1 2 3\n"), 4, 1, {RecordingFault::lead_count_mismatch, 1, 3, 4}},
      {rows(1000, "1 2 3\r"), 3, 1, {RecordingFault::cr_line_ends}},
      // A stated length far beyond the text's lines ends where the text does.
      {rows(3, "1 2\n"), 2, 2'000'000, {RecordingFault::end_of_file, 4}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(read_recording_text(c.text, c.leads, c.seconds, recording), c.problem)
        << c.text.substr(0, 20);
  }
  ASSERT_FALSE(read_recording_text(rows(1000, "1 2.5\n"), {}, {}, recording));
  EXPECT_EQ(recording.lead_count, 2);
  EXPECT_EQ(recording.sample_count, 1000);
  EXPECT_EQ(recording.value(2, 1000), 2.5f);
}

}  // namespace
}  // namespace telmor
