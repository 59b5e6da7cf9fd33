// Beats dropped at the menu after a centred c, as the results view sees the
// tables: the other beats keep their own marks, whichever beats went.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "correction/beat_drop.h"
#include "session/session_marks.h"

namespace telmor {
namespace {

constexpr int kLeads = 3;
constexpr std::int32_t kBeats[] = {1000, 2000, 3000, 4000};

// The model's times: lead j's AT of the beat at b lies at b + 10 j, its RT at
// b + 250 + j.
std::int32_t model_at(std::int32_t beat, int lead) { return beat + 10 * lead; }
std::int32_t model_rt(std::int32_t beat, int lead) { return beat + 250 + lead; }

// The record a centred c leaves: every beat's windows in every lead, one AT
// and one RT in each (row k + 1 for beat k, as c lays them out).
std::unique_ptr<RunRecord> searched_record() {
  auto r = std::make_unique<RunRecord>();
  r->lead_count = kLeads;
  r->record_seconds = 5;
  r->sample_count = 5000;
  r->at_from = -80;
  r->at_to = 80;
  r->rt_from = 100;
  r->rt_to = 400;
  r->estimator = Estimator::centred;
  const int n = static_cast<int>(std::size(kBeats));
  for (int k = 0; k < n; ++k) r->beat_ms_list[static_cast<std::size_t>(k)] = kBeats[n - 1 - k];
  r->detection.beat_count = n;
  r->marks.at_beat_count = n + 1;
  r->marks.rt_beat_count = n + 1;
  for (int k = 1; k <= n; ++k) {
    const std::int32_t b = kBeats[k - 1];
    r->detection.beats_ms[static_cast<std::size_t>(k - 1)] = b;
    for (int lead = 1; lead <= kLeads; ++lead) {
      r->detection.note(lead, k) = {b - 80, b + 80, b + 100, b + 400, MarkFlag::none, MarkFlag::none,
                                    TPolarity::none};
      r->at_ms(lead, k + 1) = static_cast<float>(model_at(b, lead));
      r->rt_ms(lead, k + 1) = static_cast<float>(model_rt(b, lead));
      r->marks.at_source_table[static_cast<std::size_t>(lead - 1)][static_cast<std::size_t>(k)] = MarkSource::detected;
      r->marks.rt_source_table[static_cast<std::size_t>(lead - 1)][static_cast<std::size_t>(k)] = MarkSource::detected;
    }
  }
  for (int lead = 1; lead <= kLeads; ++lead) {
    for (int i = 1; i <= r->sample_count; ++i) r->deriv(lead, i) = static_cast<float>(i % 7) - 3.0f;
  }
  return r;
}

// The tables as the frame hands them to the results view after the drops.
BeatTable shown_after_drops(RunRecord& record, const std::vector<std::int32_t>& drops) {
  for (const std::int32_t beat : drops) EXPECT_EQ(drop_beat_marks(record, beat), 2 * kLeads) << beat;
  ResultsSnapshot snapshot = snapshot_with_figures(record);
  snapshot.dropped_beats = drops;
  return assign_marks(without_dropped_beats(snapshot));
}

TEST(DroppedBeats, TheOtherBeatsKeepTheirOwnMarks) {
  const std::vector<std::vector<std::int32_t>> cases = {
      {1000}, {2000}, {3000}, {4000}, {1000, 3000}, {3000, 2000}, {4000, 1000},
  };
  for (const std::vector<std::int32_t>& drops : cases) {
    const std::string name = "dropped " + std::to_string(drops.front()) +
                             (drops.size() > 1 ? " and " + std::to_string(drops.back()) : "");
    const std::unique_ptr<RunRecord> r = searched_record();
    const BeatTable t = shown_after_drops(*r, drops);
    std::vector<std::int32_t> left;
    for (const std::int32_t b : kBeats) {
      if (std::find(drops.begin(), drops.end(), b) == drops.end()) left.push_back(b);
    }
    ASSERT_EQ(t.beats, left) << name;
    ASSERT_EQ(t.cells.size(), static_cast<std::size_t>(kLeads) * (left.size() + 1)) << name;
    for (int lead = 1; lead <= kLeads; ++lead) {
      EXPECT_EQ(t.cell(lead, 0).at.count + t.cell(lead, 0).rt.count, 0) << name << ", lead " << lead;
      for (int k = 1; k <= t.beat_count(); ++k) {
        const std::int32_t b = left[static_cast<std::size_t>(k - 1)];
        const BeatCell& cell = t.cell(lead, k);
        EXPECT_EQ(cell.at.count, 1) << name << ", lead " << lead << ", beat " << b;
        EXPECT_EQ(cell.rt.count, 1) << name << ", lead " << lead << ", beat " << b;
        EXPECT_EQ(cell.at.earliest, model_at(b, lead)) << name << ", lead " << lead << ", beat " << b;
        EXPECT_EQ(cell.rt.earliest, model_rt(b, lead)) << name << ", lead " << lead << ", beat " << b;
      }
    }
  }
}

// A mark set by hand in a dropped beat's window afterwards has no window in
// the view: it goes to the beat whose stretch holds its time.
TEST(DroppedBeats, AMarkLaterSetInADroppedBeatsWindowGoesByTime) {
  const std::unique_ptr<RunRecord> r = searched_record();
  ASSERT_EQ(drop_beat_marks(*r, 2000), 2 * kLeads);
  const int row = r->marks.at_beat_count + 1;
  r->marks.at_beat_count = row;
  r->at_ms(1, row) = 2015.0f;
  r->marks.at_source_table[0][static_cast<std::size_t>(row - 1)] = MarkSource::hand;
  ResultsSnapshot snapshot = snapshot_with_figures(*r);
  snapshot.dropped_beats = {2000};
  const BeatTable t = assign_marks(without_dropped_beats(snapshot));
  ASSERT_EQ(t.beats, (std::vector<std::int32_t>{1000, 3000, 4000}));
  // 2015 lies after 1000 - 80 and before 3000 - 80.
  EXPECT_EQ(t.cell(1, 1).at.count, 2);
  EXPECT_EQ(t.cell(1, 1).at.earliest, model_at(1000, 1));
  EXPECT_EQ(t.cell(1, 1).at.by_hand, 1);
  EXPECT_EQ(t.cell(1, 2).at.count, 1);
  EXPECT_EQ(t.cell(1, 2).at.earliest, model_at(3000, 1));
}

}  // namespace
}  // namespace telmor
