// Fine times and qualities of marks: the vertex of a sampled parabola, the
// nearest vertex of a sampled cubic, marks that keep their own time, and the
// quality of a clean slope in noise of a known size.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "timing/mark_figures.h"

namespace telmor {
namespace {

// Samples 1..n of f at whole ms, stored in single precision.
template <class F>
std::vector<float> sampled(int n, F f) {
  std::vector<float> d(static_cast<std::size_t>(n));
  for (int i = 1; i <= n; ++i) d[static_cast<std::size_t>(i - 1)] = static_cast<float>(f(static_cast<double>(i)));
  return d;
}

TEST(FineTime, VertexOfASampledParabolaBetweenSamples) {
  for (const double vertex : {100.0, 100.2, 100.45, 99.7, 99.55}) {
    const auto at = sampled(200, [&](double t) { return -5.0 + 0.5 * (t - vertex) * (t - vertex); });
    const auto rt = sampled(200, [&](double t) { return 5.0 - 0.5 * (t - vertex) * (t - vertex); });
    const float whole = static_cast<float>(std::lround(vertex));
    EXPECT_NEAR(fine_time_ms(at, whole, true), vertex, 1e-4) << vertex;
    EXPECT_NEAR(fine_time_ms(rt, whole, false), vertex, 1e-4) << vertex;
  }
}

TEST(FineTime, NearestVertexOfASampledCubic) {
  // A minimum at 50.3 on a cubic: the parabola through three samples is not
  // exact, but lands far closer than the whole sample does.
  const double vertex = 50.3;
  const auto d = sampled(100, [&](double t) {
    const double x = t - vertex;
    return x * x + 0.1 * x * x * x;
  });
  const double fine = fine_time_ms(d, 50.0f, true);
  EXPECT_LT(std::fabs(fine - vertex), 0.05);
  EXPECT_LT(std::fabs(fine - vertex), std::fabs(50.0 - vertex));
}

TEST(FineTime, MarksOffAnExtremumKeepTheirOwnTime) {
  const auto d = sampled(100, [](double t) { return (t - 50.0) * (t - 50.0); });
  EXPECT_EQ(fine_time_ms(d, 40.0f, true), 40.0);    // on a slope
  EXPECT_EQ(fine_time_ms(d, 50.0f, false), 50.0);   // a minimum is no RT
  EXPECT_EQ(fine_time_ms(d, 49.5f, true), 49.5f);   // a click between samples
  EXPECT_EQ(fine_time_ms(d, 1.0f, true), 1.0);      // no neighbour before it
  EXPECT_EQ(fine_time_ms(d, 100.0f, true), 100.0);  // none after it
  const std::vector<float> flat(10, 2.0f);
  EXPECT_EQ(fine_time_ms(flat, 5.0f, true), 5.0);   // a zero denominator
}

TEST(DerivativeNoise, EvenCountTakesTheMiddleTwo) {
  const std::vector<float> d = {4.0f, 1.0f, 3.0f, 2.0f};
  // Median 2.5; absolute deviations 1.5, 1.5, 0.5, 0.5: median 1.
  EXPECT_DOUBLE_EQ(derivative_noise(d), 1.4826);
  EXPECT_TRUE(std::isnan(derivative_noise(std::vector<float>{})));
}

TEST(MarkQuality, CleanSlopeInKnownNoise) {
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0.0, 0.25);
  std::vector<float> d(30000);
  for (float& v : d) v = static_cast<float>(noise(random));
  // Beats are rare: they do not move the median deviation.
  for (int beat = 500; beat < 30000; beat += 800) d[static_cast<std::size_t>(beat - 1)] = -5.0f;
  const double sigma = derivative_noise(d);
  EXPECT_NEAR(sigma, 0.25, 0.01);
  EXPECT_NEAR(mark_quality(d, 1300.0f, sigma), 20.0, 1.0);
  EXPECT_NEAR(mark_quality(d, 1299.6f, sigma), 20.0, 1.0);  // the nearest sample
  EXPECT_TRUE(std::isnan(mark_quality(d, 30001.0f, sigma)));
  EXPECT_TRUE(std::isnan(mark_quality(d, 1300.0f, 0.0)));
}

}  // namespace
}  // namespace telmor
