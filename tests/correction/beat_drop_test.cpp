// Removing every AT and RT mark a beat owns in all leads, as clicks would.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "correction/beat_drop.h"
#include "correction/mark_table.h"

namespace telmor {
namespace {

// Three leads, beats at 1000, 2000 and 3000 ms, the AT range from -50 ms:
// beat 2000 owns the whole ms from 1950 up to 2949.
struct BeatDrop : ::testing::Test {
  std::unique_ptr<RunRecord> r = std::make_unique<RunRecord>();
  void SetUp() override {
    r->lead_count = 3;
    r->at_from = -50;
    r->beat_ms(1) = 3000;  // latest first, as the overview sorts them
    r->beat_ms(2) = 2000;
    r->beat_ms(3) = 1000;
  }
  // Rows of lead's AT column, each with a detected source; the count is the
  // longest column's.
  void at(int lead, std::initializer_list<float> times) {
    int row = 0;
    for (float t : times) {
      ++row;
      r->at_ms(lead, row) = t;
      r->marks.at_source_table[static_cast<std::size_t>(lead - 1)][static_cast<std::size_t>(row - 1)] =
          MarkSource::detected;
    }
    r->marks.at_beat_count = std::max(r->marks.at_beat_count, row);
  }
  void rt(int lead, std::initializer_list<float> times) {
    int row = 0;
    for (float t : times) {
      ++row;
      r->rt_ms(lead, row) = t;
      r->marks.rt_source_table[static_cast<std::size_t>(lead - 1)][static_cast<std::size_t>(row - 1)] =
          MarkSource::hand;
    }
    r->marks.rt_beat_count = std::max(r->marks.rt_beat_count, row);
  }
};

TEST_F(BeatDrop, TakesTheBeatsOwnTimesInEveryLeadAndBothTables) {
  at(1, {1000.0f, 1949.4f, 1949.5f, 2010.0f, 2949.4f, 2949.5f});
  at(2, {2001.0f, 2002.0f});
  at(3, {1010.0f});
  rt(1, {2300.0f, 3300.0f});
  rt(3, {2250.0f});
  // 1949.5 rounds to 1950 (halves away from zero): owned; 2949.5 to 2950: not.
  EXPECT_EQ(drop_beat_marks(*r, 2000), 3 + 2 + 1 + 1);
  const MarkColumn lead1 = r->marks.at_ms_table[0];
  EXPECT_EQ(lead1[0], 1000.0f);
  EXPECT_EQ(lead1[1], 1949.4f);
  EXPECT_EQ(lead1[2], 2949.5f);
  EXPECT_EQ(lead1[3], 0.0f);
  EXPECT_EQ(r->marks.at_source_table[0][2], MarkSource::detected);
  EXPECT_EQ(r->marks.at_source_table[0][3], MarkSource::none);
  EXPECT_EQ(r->marks.at_ms_table[1][0], 0.0f);
  EXPECT_EQ(r->marks.at_ms_table[2][0], 1010.0f);
  EXPECT_EQ(r->marks.rt_ms_table[0][0], 3300.0f);
  EXPECT_EQ(r->marks.rt_source_table[0][0], MarkSource::hand);
  EXPECT_EQ(r->marks.rt_ms_table[2][0], 0.0f);
  // The counts stay, as after a click's removal.
  EXPECT_EQ(r->marks.at_beat_count, 6);
  EXPECT_EQ(r->marks.rt_beat_count, 2);
}

TEST_F(BeatDrop, TheLastBeatOwnsEveryLaterTimeAndTheFirstNothingBefore) {
  at(1, {900.0f, 960.0f, 3100.0f, 29000.0f});
  EXPECT_EQ(drop_beat_marks(*r, 3000), 2);
  EXPECT_EQ(drop_beat_marks(*r, 1000), 1);  // 900 lies before the first beat's range
  EXPECT_EQ(r->marks.at_ms_table[0][0], 900.0f);
  EXPECT_EQ(r->marks.at_ms_table[0][1], 0.0f);
}

TEST_F(BeatDrop, NoBeatChangesNothingAndLeadsBeyondTheRunAreLeftAlone) {
  at(1, {2000.0f});
  at(4, {2000.0f});
  const MarkTables before = r->marks;
  EXPECT_EQ(drop_beat_marks(*r, 1999), -1);
  EXPECT_EQ(drop_beat_marks(*r, 0), -1);
  EXPECT_EQ(r->marks.at_ms_table, before.at_ms_table);
  EXPECT_EQ(drop_beat_marks(*r, 2000), 1);
  EXPECT_EQ(r->marks.at_ms_table[3][0], 2000.0f);
}

// The same removals as clicks at those times make: the same table.
TEST_F(BeatDrop, LeavesTheColumnAClickRemovalWouldLeave) {
  at(1, {1000.0f, 2010.0f, 3010.0f});
  // On the heap: a record is several MB, beyond a Windows thread's stack.
  const auto by_click = std::make_unique<RunRecord>(*r);
  std::int32_t count = by_click->marks.at_beat_count;
  ASSERT_EQ(edit_at_click(by_click->marks.at_ms_table[0], by_click->marks.at_source_table[0], count,
                          2011.0f),
            ClickEdit::removed);
  EXPECT_EQ(drop_beat_marks(*r, 2000), 1);
  EXPECT_EQ(r->marks.at_ms_table, by_click->marks.at_ms_table);
  EXPECT_EQ(r->marks.at_source_table, by_click->marks.at_source_table);
  EXPECT_EQ(r->marks.at_beat_count, count);
}

}  // namespace
}  // namespace telmor
