// Beat search on lead 1 and the amplitude of leads 1 to 3.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <random>
#include <span>
#include <vector>

#include "driver/beat_list.h"
#include "timing/beat_search.h"

namespace telmor {
namespace {

struct Beats : ::testing::Test {
  std::unique_ptr<RunRecord> r = std::make_unique<RunRecord>();

  // A recording of the given seconds with amplitude, a gentle downward slope
  // of lead 1 everywhere (-1 per second) and a unique gentlest-but-one dip;
  // the specified search (legacy: no noise floor).
  void setup(int seconds, float ratio) {
    r->estimator = Estimator::legacy;
    r->sample_count = seconds * 1000;
    r->record_seconds = seconds;
    r->amp_ratio = ratio;
    r->wave(1, 500) = 2.0f;
    for (int i = 1; i <= r->sample_count; ++i) r->deriv(1, i) = -0.001f;
  }
  void downstroke(int at, float slope_per_ms) { r->deriv(1, at) = slope_per_ms; }
  std::vector<float> found() const {
    std::vector<float> v;
    for (float b : r->beat_found_list) {
      if (b == 0.0f) break;
      v.push_back(b);
    }
    return v;
  }
};

TEST_F(Beats, ThreeEqualDownstrokesAndNothingAfterThem) {
  setup(6, 0.1f);
  downstroke(1000, -0.1f);
  downstroke(2000, -0.1f);
  downstroke(3000, -0.1f);
  downstroke(5000, -0.005f);  // steepest of what is left, not below the threshold: no beat
  search_beats(*r);
  EXPECT_EQ(found(), (std::vector<float>{1000, 2000, 3000}));
  EXPECT_EQ(r->beat_found(4), 0.0f);
}

TEST_F(Beats, SecondDownstroke150msLaterIsBlanked) {
  setup(4, 0.1f);
  downstroke(1000, -0.1f);
  downstroke(1150, -0.09f);
  downstroke(3000, -0.05f);
  search_beats(*r);
  EXPECT_EQ(found(), (std::vector<float>{1000, 3000}));
}

TEST_F(Beats, EarlierDownstroke90msBeforeASteeperOneIsBlanked) {
  setup(4, 0.1f);
  downstroke(1000, -0.09f);
  downstroke(1090, -0.1f);
  downstroke(3000, -0.05f);
  search_beats(*r);
  EXPECT_EQ(found(), (std::vector<float>{1090, 3000}));
}

TEST_F(Beats, EdgesAreNeverSearchedButCountForTheSteepestSlope) {
  setup(4, 0.3f);
  downstroke(50, -1.0f);      // in the first 99 ms
  downstroke(3950, -1.0f);    // in the last 99 ms
  downstroke(2000, -0.35f);   // steeper than 0.3 of the steepest slope
  downstroke(2500, -0.2f);    // not steeper: no beat
  downstroke(99, -0.9f);
  downstroke(3901, -0.9f);
  search_beats(*r);
  EXPECT_EQ(found(), (std::vector<float>{2000}));
}

TEST_F(Beats, FirstAndLastSearchedSamples) {
  setup(4, 0.01f);
  downstroke(100, -0.5f);
  downstroke(3900, -0.4f);
  downstroke(2000, -0.3f);
  search_beats(*r);
  EXPECT_EQ(found(), (std::vector<float>{100, 3900, 2000}));  // the gentle slope left is no beat
}

TEST_F(Beats, RatioOneFindsNothing) {
  setup(4, 1.0f);
  downstroke(2000, -0.3f);
  search_beats(*r);
  EXPECT_TRUE(found().empty());
}

TEST_F(Beats, RatioZeroGoesOnUpTo199Entries) {
  setup(30, 0.0f);
  // Steeper toward the end: each pass finds the sample just before the
  // stretch blanked by the pass before, 101 ms earlier.
  for (int i = 1; i <= r->sample_count; ++i) r->deriv(1, i) = -0.00001f * static_cast<float>(i);
  search_beats(*r);
  const auto beats = found();
  ASSERT_EQ(beats.size(), 199u);
  EXPECT_EQ(beats[0], 29900.0f);
  EXPECT_EQ(beats[1], 29799.0f);
  EXPECT_EQ(r->beat_found(200), 0.0f);
}

TEST_F(Beats, RatioZeroStopsWhenNoNegativeSlopeIsLeft) {
  setup(4, 0.0f);
  for (int i = 1; i <= r->sample_count; ++i) r->deriv(1, i) = 0.0f;
  downstroke(1000, -0.1f);
  downstroke(2000, -0.1f);
  search_beats(*r);
  // The pass that finds no negative slope records nothing.
  EXPECT_EQ(found(), (std::vector<float>{1000, 2000}));
}

TEST_F(Beats, NoDownstrokeAnywhereFindsNothing) {
  setup(4, 0.1f);
  for (int i = 1; i <= r->sample_count; ++i) r->deriv(1, i) = 0.0f;
  search_beats(*r);
  EXPECT_TRUE(found().empty());
}

TEST_F(Beats, AmplitudeIsTheLargestMagnitudeOfLeadsOneToThreeOverSamples100To1000) {
  setup(2, 0.1f);
  r->wave(1, 500) = 0.0f;
  r->wave(1, 99) = 9.0f;    // outside 100..1000
  r->wave(2, 1001) = 9.0f;
  r->wave(4, 500) = 9.0f;   // lead 4 does not count
  EXPECT_EQ(overview_amplitude(*r), 0.0f);
  r->wave(3, 1000) = -7.5f;
  r->wave(2, 100) = 7.0f;
  EXPECT_EQ(overview_amplitude(*r), 7.5f);
}

// The search as written out plainly: every pass scans every searched sample.
std::vector<float> plain_search(const RunRecord& r, double least_slope) {
  const int n = r.sample_count;
  std::vector<float> work(static_cast<std::size_t>(n));
  for (int i = 1; i <= n; ++i) work[static_cast<std::size_t>(i - 1)] = r.deriv(1, i) * 1000.0f;
  float deriv_min = 9999.0f;
  for (int i = 2; i <= n - 2; ++i) deriv_min = std::min(deriv_min, work[static_cast<std::size_t>(i - 1)]);
  float threshold = r.amp_ratio * deriv_min;
  if (least_slope > 0.0 && -least_slope * 1000.0 < static_cast<double>(threshold)) threshold = static_cast<float>(-least_slope * 1000.0);
  std::vector<float> beats;
  if (!(deriv_min < threshold)) return beats;
  while (beats.size() < 199) {
    float lowest = 9999.0f;
    int position = 0;
    for (int i = 100; i <= n - 100; ++i) {
      if (work[static_cast<std::size_t>(i - 1)] < lowest) {
        lowest = work[static_cast<std::size_t>(i - 1)];
        position = i;
      }
    }
    if (!(lowest < threshold) || position == 0) break;
    beats.push_back(static_cast<float>(position));
    for (int i = std::max(position - 100, 1); i <= std::min(position + 200, n); ++i)
      work[static_cast<std::size_t>(i - 1)] = 0.0f;
  }
  return beats;
}

// The search looks at stretches of samples; it must find what the plain
// scan finds, ties, NaN and the ends of the range included.
TEST_F(Beats, FindsWhatAPlainScanOfEverySampleFinds) {
  std::mt19937 random(1208);
  for (int n = 0; n < 300; ++n) {
    r = std::make_unique<RunRecord>();
    const int seconds = 1 + static_cast<int>(random() % 30);
    setup(seconds, static_cast<float>(random() % 11) / 10.0f);
    const int levels = 2 + static_cast<int>(random() % 40);  // few levels: many ties
    for (int i = 1; i <= r->sample_count; ++i) {
      r->deriv(1, i) = -static_cast<float>(random() % static_cast<unsigned>(levels)) * 0.01f;
      if (random() % 5000 == 0) r->deriv(1, i) = std::numeric_limits<float>::quiet_NaN();
    }
    search_beats(*r);
    ASSERT_EQ(found(), plain_search(*r, 0.0)) << "recording " << n;
    const double least_slope = static_cast<double>(random() % 40) * 0.001;
    const std::vector<int> floored = find_beats(
        std::span<const float>(r->deriv_table[0].data(), static_cast<std::size_t>(r->sample_count)), r->amp_ratio,
        199, {}, least_slope);
    ASSERT_EQ(std::vector<float>(floored.begin(), floored.end()), plain_search(*r, least_slope))
        << "recording " << n << " floor " << least_slope;
  }
}

// With the centred derivative a beat's slope must stand out of the lead's
// noise as well as beyond the ratio of the steepest: a dip that the ratio
// lets through but the noise floor does not is no beat.
TEST_F(Beats, TheCentredSearchIgnoresSlopesWithinTheNoise) {
  std::mt19937 random(31);
  std::normal_distribution<float> noise(0.0f, 0.002f);
  struct Case {
    Estimator kind;
    float dip;  // per ms, at 3000
    std::vector<float> beats;
  };
  for (const Case& c : {Case{Estimator::legacy, -0.011f, {1000, 2000, 3000}},
                        Case{Estimator::centred, -0.011f, {1000, 2000}},
                        Case{Estimator::centred, -0.02f, {1000, 2000, 3000}}}) {
    r = std::make_unique<RunRecord>();
    setup(4, 0.1f);
    r->estimator = c.kind;
    for (int i = 1; i <= r->sample_count; ++i) r->deriv(1, i) = std::clamp(noise(random), -0.004f, 0.004f);
    downstroke(1000, -0.1f);
    downstroke(2000, -0.1f);
    downstroke(3000, c.dip);  // beyond a tenth of the steepest, within six noise deviations or not
    search_beats(*r);
    std::vector<float> beats = found();
    std::sort(beats.begin(), beats.end());
    EXPECT_EQ(beats, c.beats) << c.dip;
  }
}

}  // namespace
}  // namespace telmor
