// A part of a recording at another rate: a band-limited wave comes out as the
// same wave sampled at the new rate, a deflection keeps its time, and the
// recording's own rate gives the part bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "readers/recording_rate.h"

namespace telmor {
namespace {

// Lead 1 a 7 Hz sine, lead 2 a Gaussian bump (sd 5 ms) at peak_s; 3 s at rate.
double sine(double t) { return std::sin(2.0 * std::numbers::pi * 7.0 * t); }
double bump(double t, double peak_s) { return std::exp(-0.5 * std::pow((t - peak_s) / 0.005, 2)); }

Recording waves(double rate_hz, double peak_s) {
  const int n = static_cast<int>(3 * rate_hz);
  Recording r(2, n);
  r.rate_hz = rate_hz;
  for (int k = 0; k < n; ++k) {
    const double t = k / rate_hz;  // sample k (from 0) at k / rate
    r.value(1, k + 1) = static_cast<float>(sine(t));
    r.value(2, k + 1) = static_cast<float>(bump(t, peak_s));
  }
  r.labels = {"sine", "bump"};
  return r;
}

TEST(RecordingRate, AWaveComesOutAsTheSameWaveAtTheNewRate) {
  for (const double rate : {2000.0, 4000.0, 10000.0, 500.0}) {
    const Recording whole = waves(rate, 1.7345);
    Recording out;
    ASSERT_FALSE(part_at_rate(whole, {{}, 1.0, 1.0}, 1000.0, out)) << rate;
    ASSERT_EQ(out.sample_count, 1000) << rate;
    EXPECT_EQ(out.rate_hz, 1000.0);
    EXPECT_EQ(out.labels, whole.labels);
    double worst = 0.0;
    for (int m = 0; m < 1000; ++m) worst = std::max(worst, std::fabs(static_cast<double>(out.value(1, m + 1)) - sine(1.0 + m / 1000.0)));
    EXPECT_LT(worst, 1e-3) << rate;
    // The bump's peak stays at 1.7345 s: 734.5 ms into the part.
    const auto lead = out.lead(2);
    const auto peak = std::max_element(lead.begin(), lead.end()) - lead.begin();
    EXPECT_TRUE(peak == 734 || peak == 735) << rate << ": " << peak;
  }
}

TEST(RecordingRate, TheOwnRateGivesThePartAndWhatLiesOutsideIsRefused) {
  const Recording whole = waves(1000.0, 1.5);
  Recording out;
  ASSERT_FALSE(part_at_rate(whole, {{2}, 0.5, 2.0}, 1000.0, out));
  ASSERT_EQ(out.lead_count, 1);
  ASSERT_EQ(out.sample_count, 2000);
  for (int i = 1; i <= 2000; ++i) ASSERT_EQ(out.value(1, i), whole.value(2, 500 + i));
  EXPECT_EQ(part_at_rate(waves(2000.0, 1.5), {{}, 2.5, 1.0}, 1000.0, out).fault, RecordingFault::time_outside);
  EXPECT_EQ(part_at_rate(waves(2000.0, 1.5), {{3}, 0.0, 1.0}, 1000.0, out).fault, RecordingFault::lead_outside);
  // A part that reaches the recording's ends has no context there.
  ASSERT_FALSE(part_at_rate(waves(2000.0, 1.5), {{}, 0.0, 3.0}, 1000.0, out));
  EXPECT_EQ(out.sample_count, 3000);
}

}  // namespace
}  // namespace telmor
