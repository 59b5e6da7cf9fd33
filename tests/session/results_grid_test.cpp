// The results view's grid: values, shades, flags, hand marks and the figures
// per lead, for a small known table.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "session/results_grid.h"
#include "session/session_marks.h"
#include "timing/mark_figures.h"
#include "words/words.h"

namespace telmor {
namespace {

// Why a cell asks for a look, in the desktop's words.
std::string review(const GridCell& cell) { return japanese().mark_review(cell.at_review, cell.rt_review); }

struct Grid : ::testing::Test {
  ResultsSnapshot s;

  // Two leads, beats at 1000 and 2000, AT_FROM -80.
  void SetUp() override {
    s.lead_count = 2;
    s.at_from = -80;
    s.beat_ms_list[0] = 2000;
    s.beat_ms_list[1] = 1000;
    s.marks.at_beat_count = 3;
    s.marks.rt_beat_count = 2;
    add(s.marks.at_ms_table, s.marks.at_source_table, 1, 1, 1010.0f, MarkSource::detected);
    add(s.marks.at_ms_table, s.marks.at_source_table, 1, 2, 2030.0f, MarkSource::detected);
    add(s.marks.at_ms_table, s.marks.at_source_table, 2, 1, 1020.0f, MarkSource::loaded);
    add(s.marks.at_ms_table, s.marks.at_source_table, 2, 2, 1060.0f, MarkSource::hand);  // a second AT for beat 1
    add(s.marks.at_ms_table, s.marks.at_source_table, 2, 3, 500.0f, MarkSource::hand);   // before the first beat
    add(s.marks.rt_ms_table, s.marks.rt_source_table, 1, 1, 1200.0f, MarkSource::detected);
    add(s.marks.rt_ms_table, s.marks.rt_source_table, 1, 2, 2220.0f, MarkSource::detected);
  }
  static void add(MarkTable& times, SourceTable& sources, int lead, int row, float t, MarkSource from) {
    times[static_cast<std::size_t>(lead - 1)][static_cast<std::size_t>(row - 1)] = t;
    sources[static_cast<std::size_t>(lead - 1)][static_cast<std::size_t>(row - 1)] = from;
  }
};

// Lead 1's AT of beat 1 (row 1) and its RT (row 1) at qualities around the
// weak line; a hand mark is never weak.
TEST_F(Grid, WeakMarksAskForALookUnlessSetByHand) {
  struct Case {
    double at_quality, rt_quality;
    MarkSource at_source;
    const char* review;
  };
  const double nan = std::nan("");
  const Case cases[] = {
      {nan, nan, MarkSource::detected, ""},
      {kWeakAtQuality, kWeakRtQuality, MarkSource::detected, ""},
      {kWeakAtQuality - 0.1, kWeakRtQuality, MarkSource::detected, "ATが弱い"},
      {kWeakAtQuality, kWeakRtQuality - 0.1, MarkSource::detected, "RTが弱い"},
      {kWeakAtQuality - 0.1, kWeakRtQuality - 0.1, MarkSource::detected, "ATが弱い、RTが弱い"},
      {kWeakAtQuality - 0.1, kWeakRtQuality, MarkSource::hand, ""},
  };
  for (const Case& c : cases) {
    s.marks.at_source_table[0][0] = c.at_source;
    s.figures.at_quality[0][0] = c.at_quality;
    s.figures.rt_quality[0][0] = c.rt_quality;
    const ResultsGrid g = make_results_grid(assign_marks(s), MarkQuantity::ari);
    EXPECT_EQ(review(g.cell(1, 1)), c.review) << c.at_quality << " " << c.rt_quality;
    EXPECT_EQ(g.cell(1, 1).flagged, std::string(c.review) != "");
  }
}

// After a centred c: a cell without a mark says why the search found none,
// a mark near its window's end asks for a look, a dead lead asks for
// nothing (its row says so once).
TEST_F(Grid, TheCentredSearchsReasonsAndWindows) {
  s.detection.beat_count = 2;
  s.detection.beats_ms[0] = 1000;
  s.detection.beats_ms[1] = 2000;
  for (int lead = 1; lead <= 2; ++lead) {
    s.detection.note(lead, 1) = {920, 1080, 1100, 1300, MarkFlag::none, MarkFlag::none, TPolarity::none};
    s.detection.note(lead, 2) = {1920, 2080, 2100, 2300, MarkFlag::none, MarkFlag::edge, TPolarity::none};
  }
  s.detection.note(2, 2).at_flag = MarkFlag::flat;
  s.figures.at_owner[0][0] = 1;
  s.figures.at_owner[0][1] = 2;
  s.figures.rt_owner[0][0] = 1;
  s.figures.at_flag[0][1] = MarkFlag::near_edge;
  s.marks.rt_ms_table[0][1] = 0.0f;  // beat 2's RT: none found, its window steepest at an end
  const BeatTable t = assign_marks(s);
  ASSERT_EQ(t.beat_count(), 2);
  EXPECT_EQ(t.cell(1, 2).at.flag, MarkFlag::near_edge);
  EXPECT_EQ(t.cell(1, 2).rt.flag, MarkFlag::edge);
  const ResultsGrid g = make_results_grid(t, MarkQuantity::ari);
  EXPECT_EQ(review(g.cell(1, 2)), "ATが窓の端に近い、RTなし（窓の端が最も急：波が窓の外）");
  EXPECT_EQ(review(g.cell(2, 2)), "ATなし（信号が平坦）、RTなし（窓の端が最も急：波が窓の外）");
  // The same tables with a dead lead 2 (no signal): nothing to review there.
  s.figures.silent_lead[1] = true;
  const ResultsGrid dead = make_results_grid(assign_marks(s), MarkQuantity::ari);
  EXPECT_TRUE(dead.dead(2));
  EXPECT_FALSE(dead.cell(2, 2).flagged);
  EXPECT_TRUE(dead.cell(1, 2).flagged);
}

// A beat dropped at the menu leaves the views: its column and its windows go,
// the later beats' windows move up, the other beats keep their marks.
TEST_F(Grid, ADroppedBeatLeavesTheViewsColumnsAndWindows) {
  s.detection.beat_count = 2;
  s.detection.beats_ms[0] = 1000;
  s.detection.beats_ms[1] = 2000;
  s.detection.note(1, 2).at_from = 1920;
  s.dropped_beats = {1000};
  const ResultsSnapshot view = without_dropped_beats(s);
  EXPECT_EQ(view.detection.beat_count, 1);
  EXPECT_EQ(view.detection.beats_ms[0], 2000);
  EXPECT_EQ(view.detection.note(1, 1).at_from, 1920);
  const BeatTable t = assign_marks(view);
  ASSERT_EQ(t.beat_count(), 1);
  EXPECT_EQ(t.beats[0], 2000);
  EXPECT_EQ(t.cell(1, 1).at.earliest, 2030);
  EXPECT_EQ(view.marks.at_ms_table, s.marks.at_ms_table);  // the tables themselves stay
}

// Before the first c or o the tables hold no mark: nothing asks for a look.
TEST_F(Grid, TablesWithoutAMarkAskForNothing) {
  s.marks = MarkTables{};
  s.marks.at_beat_count = 3;
  s.marks.rt_beat_count = 3;
  for (const MarkQuantity quantity : {MarkQuantity::at, MarkQuantity::rt, MarkQuantity::ari}) {
    const ResultsGrid g = make_results_grid(assign_marks(s), quantity);
    EXPECT_EQ(g.flagged, 0);
    EXPECT_FALSE(g.cell(1, 1).flagged);
  }
  // One mark anywhere, and the beats without one ask again.
  add(s.marks.at_ms_table, s.marks.at_source_table, 1, 1, 1010.0f, MarkSource::detected);
  EXPECT_TRUE(make_results_grid(assign_marks(s), MarkQuantity::at).cell(2, 1).flagged);
}

TEST_F(Grid, AtShowsTimesShadedFromTheirBeatAndFlagsWhatAsksForALook) {
  const ResultsGrid g = make_results_grid(assign_marks(s), MarkQuantity::at);
  ASSERT_EQ(g.beats, (std::vector<std::int32_t>{1000, 2000}));
  EXPECT_TRUE(g.before_first);
  EXPECT_EQ(g.cell(1, 1).value, 1010);
  EXPECT_EQ(g.cell(1, 1).shade, 10);
  EXPECT_FALSE(g.cell(1, 1).flagged);
  EXPECT_EQ(g.cell(2, 1).value, 1020);  // the earliest of two
  EXPECT_EQ(review(g.cell(2, 1)), "ATが複数");
  EXPECT_TRUE(g.cell(2, 1).by_hand);
  EXPECT_EQ(review(g.cell(2, 2)), "ATなし");
  EXPECT_FALSE(g.cell(2, 2).has_value);
  EXPECT_EQ(review(g.cell(2, 0)), "最初の拍より前のAT");
  EXPECT_FALSE(g.cell(2, 0).has_shade);  // no beat to measure from
  EXPECT_EQ(g.flagged, 3);
  EXPECT_EQ(g.lowest, 10);
  EXPECT_EQ(g.highest, 30);
  EXPECT_EQ(g.sources.detected, 4);
  EXPECT_EQ(g.sources.hand, 2);
  EXPECT_EQ(g.sources.loaded, 1);
  // Lead 1: ATs 10 and 30 ms after their beats.
  EXPECT_EQ(g.figures[0].both, 2);
  EXPECT_EQ(g.figures[0].values, 2);
  EXPECT_DOUBLE_EQ(g.figures[0].mean, 20.0);
  EXPECT_NEAR(g.figures[0].sd, 14.142135623730951, 1e-12);
}

TEST_F(Grid, AriNeedsBothMarksAndFlagsEitherKind) {
  const ResultsGrid g = make_results_grid(assign_marks(s), MarkQuantity::ari);
  EXPECT_EQ(g.cell(1, 1).value, 190);
  EXPECT_EQ(g.cell(1, 2).value, 190);
  EXPECT_EQ(g.cell(1, 1).shade, 190);
  EXPECT_FALSE(g.cell(2, 1).has_value);
  EXPECT_EQ(review(g.cell(2, 1)), "ATが複数、RTなし");
  EXPECT_EQ(g.figures[0].values, 2);
  EXPECT_DOUBLE_EQ(g.figures[0].sd, 0.0);
  EXPECT_EQ(g.figures[1].values, 0);
  EXPECT_EQ(g.figures[1].both, 0);
}

TEST_F(Grid, RtAloneIgnoresTheAts) {
  const ResultsGrid g = make_results_grid(assign_marks(s), MarkQuantity::rt);
  EXPECT_EQ(g.cell(1, 2).value, 2220);
  EXPECT_EQ(review(g.cell(2, 1)), "RTなし");
  EXPECT_FALSE(g.cell(2, 1).by_hand);  // the hand mark is an AT
  EXPECT_EQ(review(g.cell(2, 0)), "");  // only an AT before the first beat
}

}  // namespace
}  // namespace telmor
