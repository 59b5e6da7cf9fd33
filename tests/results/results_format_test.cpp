// The results file text: fixed-width fields, rounding, counts and refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "results/results_format.h"

namespace telmor {
namespace {

// The AT and RT tables of some leads, as a save hands them over.
struct Tables {
  MarkTables marks;
  int lead_count = 0;
  float& at_ms(int lead, int row) { return marks.at_ms_table[static_cast<std::size_t>(lead - 1)][static_cast<std::size_t>(row - 1)]; }
  float& rt_ms(int lead, int row) { return marks.rt_ms_table[static_cast<std::size_t>(lead - 1)][static_cast<std::size_t>(row - 1)]; }
};

// A results file of three leads: two AT rows, one RT row, an empty entry.
void fill_three_lead_example(Tables& r) {
  r.marks.at_beat_count = 2;
  r.marks.rt_beat_count = 1;
  r.at_ms(1, 1) = 120.0f;
  r.at_ms(2, 1) = 118.0f;
  r.at_ms(3, 1) = 131.0f;
  r.at_ms(1, 2) = 950.0f;
  r.at_ms(2, 2) = 948.0f;
  r.rt_ms(1, 1) = 400.0f;
  r.rt_ms(2, 1) = 395.0f;
  r.rt_ms(3, 1) = 410.0f;
}

struct ResultsText : ::testing::Test {
  std::unique_ptr<Tables> record = std::make_unique<Tables>();

  void SetUp() override { record->lead_count = 3; }

  std::string text() {
    std::string out = "left over";
    const FormatResult result = format_results(record->marks, record->lead_count, out);
    EXPECT_EQ(result.fault, FormatFault::none);
    return out;
  }
  FormatResult refused() {
    std::string out = "left over";
    const FormatResult result = format_results(record->marks, record->lead_count, out);
    EXPECT_TRUE(out.empty());
    return result;
  }
};

TEST_F(ResultsText, ThreeLeadExampleByteForByte) {
  fill_three_lead_example(*record);
  EXPECT_EQ(text(),
            "  2\r\n"
            "    120.,    118.,    131.,\r\n"
            "    950.,    948.,      0.,\r\n"
            "  1\r\n"
            "    400.,    395.,    410.,\r\n");
}

TEST_F(ResultsText, OnlyCountedRowsAndTheRunsLeadsAreWritten) {
  Tables& r = *record;
  r.marks.at_beat_count = 1;
  r.marks.rt_beat_count = 0;
  r.at_ms(1, 1) = 7.0f;
  r.at_ms(4, 1) = 44.0f;   // beyond lead_count
  r.at_ms(1, 2) = 8.0f;    // beyond the count
  r.rt_ms(1, 1) = 400.0f;  // RT count is 0
  EXPECT_EQ(text(), "  1\r\n      7.,      0.,      0.,\r\n  0\r\n");
}

TEST_F(ResultsText, BothCountsZeroWriteTwoCountLinesOnly) {
  record->at_ms(1, 1) = 120.0f;
  EXPECT_EQ(text(), "  0\r\n  0\r\n");
}

TEST_F(ResultsText, TimesRoundToTheNearestWholeMsHalvesAwayFromZero) {
  Tables& r = *record;
  r.marks.at_beat_count = 2;
  r.at_ms(1, 1) = 499.99997f;
  r.at_ms(2, 1) = 12.5f;
  r.at_ms(3, 1) = -2.5f;
  r.at_ms(1, 2) = 12.49f;
  r.at_ms(2, 2) = -120.6f;
  r.at_ms(3, 2) = -0.4f;  // rounds to zero, written without a sign
  EXPECT_EQ(text(),
            "  2\r\n"
            "    500.,     13.,     -3.,\r\n"
            "     12.,   -121.,      0.,\r\n"
            "  0\r\n");
}

TEST(WholeMs, NearestWithHalvesAwayFromZero) {
  std::int32_t v = 0;
  ASSERT_TRUE(whole_ms(0.5f, v));
  EXPECT_EQ(v, 1);
  ASSERT_TRUE(whole_ms(-0.5f, v));
  EXPECT_EQ(v, -1);
  ASSERT_TRUE(whole_ms(2.4999998f, v));
  EXPECT_EQ(v, 2);
  ASSERT_TRUE(whole_ms(30000.5f, v));
  EXPECT_EQ(v, 30001);
}

TEST(WholeMs, WidestValuesThatFitAndFirstThatDoNot) {
  std::int32_t v = 42;
  ASSERT_TRUE(whole_ms(9999999.0f, v));
  EXPECT_EQ(v, 9999999);
  ASSERT_TRUE(whole_ms(-999999.0f, v));
  EXPECT_EQ(v, -999999);
  ASSERT_TRUE(whole_ms(-999999.4f, v));
  EXPECT_EQ(v, -999999);
  v = 42;
  for (float bad : {10000000.0f, -999999.5f, -1000000.0f, 3e38f,
                    std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN()}) {
    EXPECT_FALSE(whole_ms(bad, v)) << bad;
    EXPECT_EQ(v, 42);
  }
}

TEST_F(ResultsText, WidestTimesFillAllEightColumns) {
  record->lead_count = 2;
  record->marks.rt_beat_count = 1;
  record->rt_ms(1, 1) = 9999999.0f;
  record->rt_ms(2, 1) = -999999.0f;
  EXPECT_EQ(text(), "  0\r\n  1\r\n9999999.,-999999.,\r\n");
}

TEST_F(ResultsText, TimeTooWideRefusesTheWholeText) {
  Tables& r = *record;
  r.marks.at_beat_count = 1;
  r.marks.rt_beat_count = 3;
  r.rt_ms(2, 3) = 1.0e7f;
  const FormatResult result = refused();
  EXPECT_EQ(result.fault, FormatFault::time_too_wide);
  EXPECT_EQ(result.block, Block::rt);
  EXPECT_EQ(result.lead, 2);
  EXPECT_EQ(result.row, 3);
}

TEST_F(ResultsText, NotANumberIsRefused) {
  record->marks.at_beat_count = 1;
  record->at_ms(3, 1) = std::nanf("");
  const FormatResult result = refused();
  EXPECT_EQ(result.fault, FormatFault::time_too_wide);
  EXPECT_EQ(result.block, Block::at);
  EXPECT_EQ(result.lead, 3);
  EXPECT_EQ(result.row, 1);
}

TEST_F(ResultsText, CountOutsideTheTablesIsRefused) {
  record->marks.at_beat_count = 201;
  FormatResult result = refused();
  EXPECT_EQ(result.fault, FormatFault::count_out_of_range);
  EXPECT_EQ(result.block, Block::at);
  EXPECT_EQ(result.count, 201);

  record->marks.at_beat_count = 0;
  record->marks.rt_beat_count = -1;
  result = refused();
  EXPECT_EQ(result.fault, FormatFault::count_out_of_range);
  EXPECT_EQ(result.block, Block::rt);
  EXPECT_EQ(result.count, -1);
}

TEST_F(ResultsText, FullTablesOfTwentyLeads) {
  Tables& r = *record;
  r.lead_count = 20;
  r.marks.at_beat_count = 200;
  r.marks.rt_beat_count = 200;
  r.at_ms(20, 200) = 29999.0f;
  r.rt_ms(1, 200) = 30000.0f;
  const std::string out = text();
  const std::size_t row = 9 * 20 + 2;
  ASSERT_EQ(out.size(), 2 * 5 + 400 * row);
  EXPECT_EQ(out.substr(0, 5), "200\r\n");
  // Last AT row, then the RT count line.
  EXPECT_EQ(out.substr(5 + 199 * row + 19 * 9, 11), "  29999.,\r\n");
  EXPECT_EQ(out.substr(5 + 200 * row, 5), "200\r\n");
  EXPECT_EQ(out.substr(out.size() - row, 9), "  30000.,");
}

TEST_F(ResultsText, LeadCountBeyondTheTablesWritesNoMoreThanTwentyLeads) {
  record->lead_count = 25;
  record->marks.at_beat_count = 1;
  EXPECT_EQ(text().size(), 5 + (9 * 20 + 2) + 5);
}

}  // namespace
}  // namespace telmor
