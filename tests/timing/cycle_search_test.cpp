// The centred search's windows: each lead's RT window ends before its next
// AT, windows of one kind never overlap, no mark where the derivative has no
// extremum inside a window, and the T wave's polarity around an RT.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "timing/cycle_search.h"

namespace telmor {
namespace {

// A derivative of n samples, zero but for the dips and peaks placed on it:
// a triangle of the given depth (negative: a fall) and half width at sample.
struct Slopes {
  std::vector<float> d;
  explicit Slopes(int n) : d(static_cast<std::size_t>(n), 0.0f) {}
  Slopes& at(int sample, float height, int half_width = 3) {
    for (int s = sample - half_width; s <= sample + half_width; ++s) {
      const float share = 1.0f - static_cast<float>(std::abs(s - sample)) / static_cast<float>(half_width + 1);
      d[static_cast<std::size_t>(s - 1)] += height * share;
    }
    return *this;
  }
};

CycleSearch search(int n) {
  CycleSearch s;
  s.sample_count = n;
  s.at_from = -50;
  s.at_to = 50;
  s.rt_from = 100;
  s.rt_to = 300;
  s.margin = 20;
  s.rt_reach = 10;
  s.earliest_beat = 101;
  s.end_margin = 200;
  return s;
}

TEST(CycleSearch, MarksInsideTheirWindowsAndNoneWhereTheWaveLiesBeyond) {
  const std::vector<int> beats = {1000, 2000, 3000};
  Slopes at(4000), rt(4000);
  // Beat 2's fall is steepest past its window's end (2050): inside the window
  // the derivative still falls at the end.
  at.at(1010, -1.0f).at(2056, -1.0f, 8).at(3020, -1.0f);
  rt.at(1200, 1.0f).at(2150, 1.0f).at(3250, 0.5f);
  const LeadCycles c = search_lead_cycles(at.d, rt.d, search(4000), beats);
  EXPECT_EQ(c.at, (std::vector<int>{1010, 0, 3020}));
  EXPECT_EQ(c.at_flag, (std::vector<MarkFlag>{MarkFlag::none, MarkFlag::edge, MarkFlag::none}));
  EXPECT_EQ(c.rt, (std::vector<int>{1200, 2150, 3250}));
  EXPECT_EQ(c.at_window[0], (SampleWindow{950, 1050}));
  // Without beat 2's AT its RT window ends 30 ms (margin and reach) before beat 3 itself.
  EXPECT_EQ(c.rt_window[1], (SampleWindow{2100, 2300}));
  EXPECT_EQ(c.rt_window[2], (SampleWindow{3100, 3300}));
}

TEST(CycleSearch, FlatLeadHasNoMarksAndEveryCellSaysWhy) {
  const Slopes flat(4000);
  const LeadCycles c = search_lead_cycles(flat.d, flat.d, search(4000), std::vector<int>{1000, 2000});
  EXPECT_EQ(c.at, (std::vector<int>{0, 0}));
  EXPECT_EQ(c.rt, (std::vector<int>{0, 0}));
  EXPECT_EQ(c.at_flag, (std::vector<MarkFlag>{MarkFlag::flat, MarkFlag::flat}));
  EXPECT_EQ(c.rt_flag, (std::vector<MarkFlag>{MarkFlag::flat, MarkFlag::flat}));
}

// A late site at a short cycle: its T wave's rise lies beyond the next beat
// and before its own next AT; the next upstroke (a steeper rise just before
// that AT) lies within the margin and is never taken.
TEST(CycleSearch, RtWindowEndsAMarginBeforeTheLeadsNextActivation) {
  const std::vector<int> beats = {1000, 1350, 1700};
  Slopes at(3000), rt(3000);
  at.at(1090, -1.0f).at(1440, -1.0f).at(1790, -1.0f);  // the site activates 90 ms after each beat
  rt.at(1390, 0.5f).at(1425, 3.0f);                     // its T wave, then the next R wave rising
  CycleSearch s = search(3000);
  s.at_to = 100;
  s.rt_to = 500;
  const LeadCycles c = search_lead_cycles(at.d, rt.d, s, beats);
  EXPECT_EQ(c.at[1], 1440);
  EXPECT_EQ(c.rt_window[0], (SampleWindow{1100, 1410}));
  EXPECT_EQ(c.rt[0], 1390);
  // Marks keep their order in every lead: AT < RT < next AT.
  for (std::size_t k = 0; k + 1 < beats.size(); ++k) {
    if (c.rt[k] == 0) continue;
    EXPECT_LT(c.at[k], c.rt[k]);
    EXPECT_LT(c.rt[k], c.at[k + 1]);
  }
}

TEST(CycleSearch, WindowsOfOneKindNeverOverlapAtShortCycles) {
  // A small heart: beats 150 ms apart, the default AT range of ±80 ms.
  std::vector<int> beats;
  Slopes at(3000), rt(3000);
  for (int b = 300; b <= 2700; b += 150) {
    beats.push_back(b);
    at.at(b + 2, -1.0f);
    rt.at(b + 50, 1.0f);
  }
  CycleSearch s = search(3000);
  s.at_from = -80;
  s.at_to = 80;
  s.rt_from = 20;
  s.rt_to = 120;
  s.margin = 5;
  s.rt_reach = 5;
  const LeadCycles c = search_lead_cycles(at.d, rt.d, s, beats);
  for (std::size_t k = 1; k < beats.size(); ++k) {
    if (c.at_window[k].empty() || c.at_window[k - 1].empty()) continue;
    EXPECT_GT(c.at_window[k].from, c.at_window[k - 1].to) << k;
    EXPECT_GT(c.rt_window[k].from, c.rt_window[k - 1].to) << k;
    EXPECT_EQ(c.at[k], beats[k] + 2) << k;  // each beat its own fall, none taken twice
    EXPECT_EQ(c.rt[k], beats[k] + 50) << k;
  }
}

TEST(CycleSearch, RtWindowCountedFromTheLeadsOwnActivation) {
  const std::vector<int> beats = {1000, 2000};
  Slopes at(3000), rt(3000);
  at.at(1060, -1.0f).at(2060, -1.0f);
  rt.at(1300, 1.0f);
  CycleSearch s = search(3000);
  s.at_to = 100;
  s.rt_from_at = true;
  s.rt_from = 200;
  s.rt_to = 300;
  const LeadCycles c = search_lead_cycles(at.d, rt.d, s, beats);
  EXPECT_EQ(c.rt_window[0], (SampleWindow{1260, 1360}));
  EXPECT_EQ(c.rt[0], 1300);
  // Without an AT there is nothing to count from.
  const Slopes none(3000);
  const LeadCycles d = search_lead_cycles(none.d, rt.d, s, beats);
  EXPECT_EQ(d.rt_flag[0], MarkFlag::no_window);
}

TEST(CycleSearch, MarksNearAnEndAreFlaggedAndBeatsNearTheRecordingsEndsNotSearched) {
  const std::vector<int> beats = {50, 1000, 2000, 2900};
  Slopes at(3000), rt(3000);
  at.at(1049, -1.0f, 1);  // 1 sample from the end of a window of 101: within 1 %
  at.at(2047, -1.0f, 1);  // 3 samples from it: not
  rt.at(1200, 1.0f);
  const LeadCycles c = search_lead_cycles(at.d, rt.d, search(3000), beats);
  EXPECT_EQ(c.at[1], 1049);
  EXPECT_EQ(c.at_flag[1], MarkFlag::near_edge);
  EXPECT_EQ(c.at[0], 0);
  EXPECT_EQ(c.at_flag[0], MarkFlag::none);  // not searched: nothing to say
  EXPECT_EQ(c.at[2], 2047);
  EXPECT_EQ(c.at_flag[2], MarkFlag::none);
  EXPECT_TRUE(c.at_window[3].empty());
}

// The T wave around a steepest rise at 500, the lead's AT at 300: positive
// falls after it, negative before it, biphasic on both sides.
TEST(TPolarity, FromTheFallsAroundTheSteepestRise) {
  struct Case {
    float before, after;
    TPolarity polarity;
  };
  for (const Case& c : {Case{0.0f, -1.0f, TPolarity::positive}, Case{-1.0f, -0.1f, TPolarity::negative},
                        Case{-0.8f, -1.0f, TPolarity::biphasic}, Case{0.0f, 0.0f, TPolarity::none},
                        Case{-0.3f, -1.0f, TPolarity::positive}}) {
    Slopes rt(1000);
    rt.at(500, 1.0f, 20);
    if (c.before != 0.0f) rt.at(440, c.before, 15);
    if (c.after != 0.0f) rt.at(560, c.after, 15);
    EXPECT_EQ(t_polarity(rt.d, 500, 300, 700), c.polarity) << c.before << " " << c.after;
  }
}

}  // namespace
}  // namespace telmor
