// The steps an analysis is made of: the settings' ms become samples of the
// recording's rate, and the desktop's fixed search bounds are 1 kHz's.
#include "timing/analysis_steps.h"

#include <gtest/gtest.h>

#include <vector>

namespace telmor {
namespace {

TEST(AnalysisSteps, TheCentredSearchCountsItsBoundsInSamplesOfTheRate) {
  AnalysisSettings s;
  s.rt_smooth_ms = 30;
  s.rt_margin_ms = 15;
  const SearchRanges ranges{-20, 30, 150, 400};
  struct Case {
    double rate_hz;
    int per_ms;
  };
  for (const Case c : {Case{1000.0, 1}, Case{2000.0, 2}, Case{4000.0, 4}}) {
    const CycleSearch search = cycle_search_for(s, ranges, 12345, c.rate_hz);
    EXPECT_EQ(search.sample_count, 12345);
    EXPECT_EQ(search.at_from, -20 * c.per_ms);
    EXPECT_EQ(search.at_to, 30 * c.per_ms);
    EXPECT_EQ(search.rt_from, 150 * c.per_ms);
    EXPECT_EQ(search.rt_to, 400 * c.per_ms);
    EXPECT_FALSE(search.rt_from_at);
    EXPECT_EQ(search.margin, 15 * c.per_ms);
    EXPECT_EQ(search.rt_reach, 30 * c.per_ms);
    // The interactive program's search: beats from sample 101, none within
    // 200 ms of the end.
    EXPECT_EQ(search.earliest_beat, 100 * c.per_ms + 1);
    EXPECT_EQ(search.end_margin, 200 * c.per_ms);
  }
  // RT windows counted from each lead's AT replace the RT range.
  s.rt_after_at = std::pair(60, 250);
  const CycleSearch after = cycle_search_for(s, ranges, 5000, 1000.0);
  EXPECT_TRUE(after.rt_from_at);
  EXPECT_EQ(after.rt_from, 60);
  EXPECT_EQ(after.rt_to, 250);
}

TEST(AnalysisSteps, OnlyCentredWithAnotherRtSmoothingHasAnRtDerivativeOfItsOwn) {
  AnalysisSettings s;
  s.smooth_ms = 7;
  s.rt_smooth_ms = 7;
  EXPECT_FALSE(own_rt_derivative(s, 1000.0));
  s.rt_smooth_ms = 35;
  EXPECT_TRUE(own_rt_derivative(s, 1000.0));
  s.estimator = Estimator::legacy;
  EXPECT_FALSE(own_rt_derivative(s, 1000.0));
}

// The rows of the legacy search hold the first sample of the deepest fall in
// the AT range and of the highest peak in the RT range, whatever layout the
// caller's tables have (here two leads, rows of four).
TEST(AnalysisSteps, TheLegacySearchFillsTheCallersRows) {
  constexpr int kSamples = 3000;
  std::vector<float> deriv(2 * kSamples, 0.0f);
  for (const int lead : {0, 1}) {
    deriv[static_cast<std::size_t>(lead * kSamples + 1010 + lead - 1)] = -5.0f;  // AT at 1010 + lead
    deriv[static_cast<std::size_t>(lead * kSamples + 1250 - 1)] = 3.0f;          // RT at 1250
  }
  std::vector<float> at(8, 0.0f), rt(8, 0.0f);
  const SearchedDerivatives views{deriv.data(), deriv.data(), kSamples, kSamples, kSamples};
  const std::vector<std::int32_t> row_beats{0, 1000};
  legacy_find(views, {-80, 80, 100, 300}, 2, kSamples, 1000.0, row_beats, {at.data(), rt.data(), 4});
  EXPECT_EQ(at[0], 0.0f);  // row 1: no beat
  EXPECT_EQ(at[1], 1010.0f);
  EXPECT_EQ(at[4 + 1], 1011.0f);
  EXPECT_EQ(rt[1], 1250.0f);
  EXPECT_EQ(rt[4 + 1], 1250.0f);
}

}  // namespace
}  // namespace telmor
