// Left clicks: the time a click stores, removal near a stored time, the full
// table, and the re-sort of the lead's column.
#include <algorithm>
#include <memory>
#include <vector>

#include "correction/mark_correction.h"
#include "support/correction_harness.h"

namespace telmor::test {
namespace {

using ClickEdit = CorrectionPass;

TEST_F(ClickEdit, ClickAtThreeHundredStoresJustUnderFiveHundred) {
  left(300);
  EXPECT_FALSE(run());

  EXPECT_EQ(record->marks.at_beat_count, 1);
  EXPECT_EQ(record->at_ms(1, 1), 499.99997f);
  // The click line stands until the redraw; then the time shows as a mark.
  EXPECT_EQ(std::count(layer.all_segments.begin(), layer.all_segments.end(),
                       Segment{300, 50, 300, 350, kRed}),
            1);
  ASSERT_EQ(layer.screens.size(), 2u);
  EXPECT_EQ(marks(layer.screens[1]), std::vector<int>{299});
  EXPECT_EQ(captions()[1], captions()[0]);  // the same window again
}

// The time the frame shows under the pointer is the time a click there
// stores, at every column of a pass window (the second, from 500 ms).
TEST_F(ClickEdit, EveryColumnStoresTheTimeTheAxisShowsThere) {
  for (int column = 0; column < 1024; ++column) {
    layer = {};
    *record = *std::make_unique<RunRecord>();  // not on the stack: a record is megabytes
    set_up_small_pass(*record, drawing);
    right();
    left(column);
    EXPECT_FALSE(run());
    ASSERT_EQ(layer.axis.kind, TimeAxis::Kind::pass_window);
    ASSERT_EQ(record->marks.at_beat_count, 1) << column;
    EXPECT_EQ(record->at_ms(1, 1), click_time_ms(layer.axis, column)) << column;
    ASSERT_FALSE(layer.notes.empty());
    EXPECT_EQ(layer.notes.back(), "誘導1 AT " + click_time_text(layer.axis, column) + " を追加")
        << column;
  }
}

TEST_F(ClickEdit, ClickAtTheLeftEdgeOfTheFirstWindowStoresAnEmptyEntry) {
  left(0);
  EXPECT_FALSE(run());
  EXPECT_EQ(record->marks.at_beat_count, 1);
  EXPECT_EQ(record->at_ms(1, 1), 0.0f);
}

TEST_F(ClickEdit, RemovalLeavesTheCountWhereItWasBeforeThatClick) {
  record->marks.at_beat_count = 3;
  const std::vector<float> lead2 = {7.0f, 8.0f, 9.0f, 0.0f};
  for (int r = 1; r <= 4; ++r) record->at_ms(2, r) = lead2[static_cast<std::size_t>(r - 1)];
  record->at_ms(1, 1) = 100.0f;
  record->at_ms(1, 2) = 500.0f;
  record->at_ms(1, 3) = 900.0f;

  left(303);  // 505 ms: takes 500 away
  EXPECT_FALSE(run());

  EXPECT_EQ(record->marks.at_beat_count, 3);
  EXPECT_EQ(at_column(1, 4), (std::vector<float>{100.0f, 900.0f, 0.0f, 0.0f}));
  EXPECT_EQ(at_column(2, 4), lead2);
  EXPECT_EQ(marks(layer.screens.at(1)), (std::vector<int>{60, 540}));
}

TEST_F(ClickEdit, AddThenRemoveKeepsTheRowTheAddingClickMade) {
  record->marks.at_beat_count = 1;
  record->at_ms(1, 1) = 100.0f;
  left(420);  // 700 ms, added
  left(421);  // 701.7 ms, takes 700 away
  EXPECT_FALSE(run());

  EXPECT_EQ(record->marks.at_beat_count, 2);
  EXPECT_EQ(at_column(1, 3), (std::vector<float>{100.0f, 0.0f, 0.0f}));
}

// From 1000 ms a click at 300 lands on exactly 1500.0 ms, here 20 ms from
// either time.
TEST_F(ClickEdit, OfEqualDistancesTheLaterRowIsRemoved) {
  record->marks.at_beat_count = 2;
  record->at_ms(1, 1) = 1480.0f;
  record->at_ms(1, 2) = 1520.0f;
  right(2);
  left(300);
  EXPECT_FALSE(run());
  EXPECT_EQ(record->marks.at_beat_count, 2);
  EXPECT_EQ(at_column(1, 2), (std::vector<float>{1480.0f, 0.0f}));
}

TEST_F(ClickEdit, OfEqualDistancesTheLaterRowIsRemovedAlsoWhenItIsEarlier) {
  record->marks.at_beat_count = 2;
  record->at_ms(1, 1) = 1520.0f;
  record->at_ms(1, 2) = 1480.0f;
  right(2);
  left(300);
  EXPECT_FALSE(run());
  EXPECT_EQ(at_column(1, 2), (std::vector<float>{1520.0f, 0.0f}));
}

TEST_F(ClickEdit, FortyMillisecondsAwayStillRemovesAndJustBeyondAdds) {
  record->marks.at_beat_count = 2;
  record->at_ms(1, 1) = 1460.0f;
  record->at_ms(1, 2) = 1540.0001f;  // 40.00012 from 1500
  right(2);
  left(300);  // removes 1460
  left(300);  // nothing within 40 ms any more: adds 1500
  EXPECT_FALSE(run());
  EXPECT_EQ(record->marks.at_beat_count, 3);
  EXPECT_EQ(at_column(1, 3), (std::vector<float>{1500.0f, 1540.0001f, 0.0f}));
}

TEST_F(ClickEdit, ClickRightOfTheCurveMarksTheFollowingWindow) {
  left(700);  // 1166.67 ms
  right();
  EXPECT_FALSE(run());

  EXPECT_EQ(record->at_ms(1, 1), 1166.66663f);
  ASSERT_EQ(layer.screens.size(), 3u);
  EXPECT_TRUE(marks(layer.screens[1]).empty());
  EXPECT_EQ(marks(layer.screens[2]), std::vector<int>{399});
}

TEST_F(ClickEdit, ClickInTheFirstFortyMillisecondsDoesNotPairWithAnEmptyRow) {
  record->marks.at_beat_count = 2;
  record->at_ms(2, 1) = 300.0f;  // row 1 is in use by lead 2 only
  record->at_ms(1, 2) = 800.0f;
  left(12);  // 20 ms
  EXPECT_FALSE(run());

  EXPECT_EQ(record->marks.at_beat_count, 3);
  EXPECT_EQ(at_column(1, 3), (std::vector<float>{20.0f, 800.0f, 0.0f}));
  EXPECT_EQ(at_column(2, 3), (std::vector<float>{300.0f, 0.0f, 0.0f}));
}

TEST_F(ClickEdit, FullTableStillRemovesButNeverAddsARow) {
  record->marks.at_beat_count = 200;
  for (int r = 1; r <= 200; ++r) record->at_ms(1, r) = static_cast<float>(100 * r);
  record->at_ms(2, 1) = 12345.0f;  // lies in memory where a 201st row of lead 1 would

  left(300);  // 499.99997: takes 500 away
  left(300);  // nothing near it now, and no row left
  right();
  EXPECT_FALSE(run());

  EXPECT_EQ(record->marks.at_beat_count, 200);
  std::vector<float> expected;
  for (int r = 1; r <= 200; ++r) {
    if (r != 5) expected.push_back(static_cast<float>(100 * r));
  }
  expected.push_back(0.0f);
  EXPECT_EQ(at_column(1, 200), expected);
  EXPECT_EQ(record->at_ms(2, 1), 12345.0f);

  ASSERT_EQ(layer.screens.size(), 4u);
  EXPECT_EQ(layer.screens[1].lines.size(), 2u);  // a removal: no notice
  EXPECT_EQ(layer.screens[2].lines,
            (std::vector<std::string>{captions()[2], kAtInstruction, kTableFullLine}));
  EXPECT_EQ(layer.screens[3].lines.size(), 2u);  // gone with the next window
}

TEST_F(ClickEdit, ResortPutsTimesAscendingThenEmptiesAndKeepsEqualTimes) {
  record->marks.at_beat_count = 6;
  const std::vector<float> before = {900.0f, 0.0f, 300.0f, 700.0f, 300.0f, 0.0f};
  for (int r = 1; r <= 6; ++r) record->at_ms(1, r) = before[static_cast<std::size_t>(r - 1)];
  record->at_ms(1, 8) = 50.0f;  // beyond the rows in use: left where it is
  left(300);
  EXPECT_FALSE(run());

  EXPECT_EQ(record->marks.at_beat_count, 7);
  EXPECT_EQ(at_column(1, 8),
            (std::vector<float>{300.0f, 300.0f, 499.99997f, 700.0f, 900.0f, 0.0f, 0.0f, 50.0f}));
}

// Every source moves with its time through adds, removals and the re-sort.
TEST_F(ClickEdit, SourcesFollowTheirTimes) {
  const auto D = MarkSource::detected, H = MarkSource::hand, L = MarkSource::loaded,
             N = MarkSource::none;
  record->marks.at_beat_count = 4;
  const std::vector<float> times = {900.0f, 0.0f, 700.0f, 300.0f};
  const std::vector<MarkSource> sources = {D, N, L, D};
  for (int r = 1; r <= 4; ++r) {
    record->at_ms(1, r) = times[static_cast<std::size_t>(r - 1)];
    record->marks.at_source_table[0][static_cast<std::size_t>(r - 1)] = sources[static_cast<std::size_t>(r - 1)];
  }
  record->marks.at_source_table[1][0] = L;  // another lead: untouched
  left(300);  // adds 499.99997 by hand
  left(420);  // 700 is within 40 ms: taken away
  EXPECT_FALSE(run());

  EXPECT_EQ(at_column(1, 5), (std::vector<float>{300.0f, 499.99997f, 900.0f, 0.0f, 0.0f}));
  const SourceColumn& column = record->marks.at_source_table[0];
  EXPECT_EQ(std::vector<MarkSource>(column.begin(), column.begin() + 5),
            (std::vector<MarkSource>{D, H, D, N, N}));
  EXPECT_EQ(record->marks.at_source_table[1][0], L);
}

TEST_F(ClickEdit, RemovalFromAFullTableLeavesNoSourceBehind) {
  record->marks.at_beat_count = 200;
  for (int r = 1; r <= 200; ++r) {
    record->at_ms(1, r) = static_cast<float>(100 * r);
    record->marks.at_source_table[0][static_cast<std::size_t>(r - 1)] = MarkSource::loaded;
  }
  left(300);  // takes 500 (row 5) away
  EXPECT_FALSE(run());
  EXPECT_EQ(record->marks.at_source_table[0][4], MarkSource::loaded);  // 600 moved up
  EXPECT_EQ(record->marks.at_source_table[0][199], MarkSource::none);
}

}  // namespace
}  // namespace telmor::test
