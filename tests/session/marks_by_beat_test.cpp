// Marks belong to beats by time: borders, several marks, no beats, marks
// before the first beat, fractions; and the summary rows made from them.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "session/session_marks.h"
#include "tables/summary_csv.h"

namespace telmor {
namespace {

struct Assignment : ::testing::Test {
  std::unique_ptr<RunRecord> r = std::make_unique<RunRecord>();

  // Beats in BEAT_MS order (latest first), AT_FROM -80, one lead.
  void SetUp() override {
    r->lead_count = 1;
    r->at_from = -80;
    r->beat_ms(1) = 2000;
    r->beat_ms(2) = 1000;
  }
  void at_marks(std::initializer_list<float> times) {
    int row = 0;
    for (float t : times) r->at_ms(1, ++row) = t;
    r->marks.at_beat_count = row;
  }
};

TEST_F(Assignment, BordersBelongToTheBeatTheyOpen) {
  // Beat 1 owns 920 <= t < 1920, beat 2 every time from 1920 on.
  at_marks({919.0f, 920.0f, 1919.0f, 1920.0f, 29999.0f});
  const BeatTable t = assign_marks(*r);
  ASSERT_EQ(t.beats, (std::vector<std::int32_t>{1000, 2000}));
  EXPECT_EQ(t.cell(1, 0).at.count, 1);
  EXPECT_EQ(t.cell(1, 0).at.earliest, 919);
  EXPECT_EQ(t.cell(1, 1).at.count, 2);
  EXPECT_EQ(t.cell(1, 1).at.earliest, 920);
  EXPECT_EQ(t.cell(1, 2).at.count, 2);
  EXPECT_EQ(t.cell(1, 2).at.earliest, 1920);
  EXPECT_EQ(t.cell(1, 2).at.earliest_row, 4);
}

TEST_F(Assignment, HandTimesCountAsTheWholeMsTheFileWrites) {
  // 919.5 is written as 920 and so opens beat 1; 1919.49 stays in it.
  at_marks({1919.49f, 919.5f, 0.0f});  // an empty entry is no mark
  const BeatTable t = assign_marks(*r);
  EXPECT_EQ(t.cell(1, 0).at.count, 0);
  EXPECT_EQ(t.cell(1, 1).at.count, 2);
  EXPECT_EQ(t.cell(1, 1).at.earliest, 920);
  EXPECT_EQ(t.cell(1, 1).at.earliest_row, 2);
}

TEST_F(Assignment, OnlyRowsUpToTheCountAreMarksAndKindsAreApart) {
  at_marks({1000.0f});
  r->at_ms(1, 2) = 1010.0f;  // beyond the count: not saved, not a mark
  r->rt_ms(1, 1) = 1150.0f;
  r->rt_ms(1, 2) = 1160.0f;
  r->marks.rt_beat_count = 2;
  const BeatTable t = assign_marks(*r);
  EXPECT_EQ(t.cell(1, 1).at.count, 1);
  EXPECT_EQ(t.cell(1, 1).rt.count, 2);
  EXPECT_EQ(t.cell(1, 1).rt.earliest, 1150);
}

TEST_F(Assignment, WithoutBeatsEveryMarkIsBeforeTheFirst) {
  r->beat_ms_list.fill(0);
  at_marks({500.0f, 700.0f});
  const BeatTable t = assign_marks(*r);
  EXPECT_EQ(t.beat_count(), 0);
  EXPECT_EQ(t.cell(1, 0).at.count, 2);
  EXPECT_EQ(t.cell(1, 0).at.earliest, 500);
}

TEST_F(Assignment, SummaryRowsPerLeadAndBeatWithAriAndEmptyCells) {
  r->lead_count = 2;
  at_marks({950.0f, 1950.0f});
  r->at_ms(2, 1) = 960.0f;
  r->at_ms(2, 2) = 970.0f;  // two ATs for beat 1 of lead 2
  r->rt_ms(1, 1) = 1150.0f;
  r->marks.rt_beat_count = 1;
  std::string text;
  append_summary_rows(text, "abc,1", assign_marks(*r), {true, SummaryMethod{Estimator::centred, 7, 25}, {}});
  // A flat derivative: each fine time is the mark's own, and no quality is
  // known; every row says how its marks were found.
  EXPECT_EQ(text,
            "\"abc,1\",1,0,,,,,0,0,,,,,,,,centred,7,25,\n"
            "\"abc,1\",1,1,1000,950,1150,200,1,1,950.00,1150.00,,,,,,centred,7,25,\n"
            "\"abc,1\",1,2,2000,1950,,,1,0,1950.00,,,,,,,centred,7,25,\n"
            "\"abc,1\",2,0,,,,,0,0,,,,,,,,centred,7,25,\n"
            "\"abc,1\",2,1,1000,960,,,2,0,960.00,,,,,,,centred,7,25,\n"
            "\"abc,1\",2,2,2000,,,,0,0,,,,,,,,centred,7,25,\n");
  // legacy has one derivative: no RT smoothing of its own.
  text.clear();
  append_summary_rows(text, "x", assign_marks(*r), {true, SummaryMethod{Estimator::legacy, 7, 25}, {}});
  EXPECT_TRUE(text.starts_with("x,1,0,,,,,0,0,,,,,,,,legacy,7,,\n")) << text;
}

}  // namespace
}  // namespace telmor
