// Baseline removal and the smoothed derivative: properties of the result, the
// refused windows, and the fast path against the one-fit-per-sample path.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "driver/record_preparation.h"
#include "fitting/prepare_signals.h"
#include "support/record_signals.h"

namespace telmor {
namespace {

struct Lines : ConsoleOutput {
  std::vector<std::string> lines;
  void console_write(std::string_view line) override { lines.emplace_back(line); }
};

std::unique_ptr<RunRecord> recording(int leads, int seconds, int smooth_points = 7) {
  auto r = std::make_unique<RunRecord>();
  r->estimator = Estimator::legacy;  // the specified preparation
  r->lead_count = leads;
  r->record_seconds = seconds;
  r->sample_count = seconds * 1000;
  r->smooth_points = smooth_points;
  return r;
}

TEST(Preparation, StraightLineHasItsSlopeWhereTheWindowFits) {
  auto r = recording(1, 2);
  for (int i = 1; i <= 2000; ++i) r->wave(1, i) = 3.0f + 0.25f * static_cast<float>(i);
  Lines console;
  prepare_signals(*r, console);
  for (int block = 0; block < 2; ++block) {
    for (int m = 8; m <= 993; ++m) {
      // Where the cubic term is kept (up to about m = 110) rounding leaves a
      // few parts in ten thousand; further on the slope is exact to a few ulps.
      const double tolerance = m <= 110 ? 3e-4 : 1e-6;
      EXPECT_NEAR(r->deriv(1, block * 1000 + m), 0.25, 0.25 * tolerance) << m;
    }
  }
  EXPECT_TRUE(console.lines.empty());
}

TEST(Preparation, ParabolaHasItsDerivativeWhereTheWindowFits) {
  auto r = recording(1, 1);
  const double b = -0.5, c = 0.001;
  for (int i = 1; i <= 1000; ++i) r->wave(1, i) = static_cast<float>(2.0 + b * i + c * i * i);
  Lines console;
  prepare_signals(*r, console);
  for (int m = 8; m <= 993; ++m) {
    const double expected = b + 2.0 * c * m;
    EXPECT_NEAR(r->deriv(1, m), expected, 2e-3 * std::max(std::fabs(expected), 0.1)) << m;
  }
}

TEST(Preparation, ConstantLeadBecomesZeroWithZeroSlope) {
  auto r = recording(2, 3);
  for (int i = 1; i <= 3000; ++i) {
    r->wave(1, i) = 0.1f;
    r->wave(2, i) = -250.0f;
  }
  Lines console;
  prepare_signals(*r, console);
  for (int i = 1; i <= 3000; ++i) {
    // The mean, summed in single precision, leaves a trace of rounding.
    EXPECT_NEAR(r->wave(1, i), 0.0f, 5e-6f);
    EXPECT_EQ(r->wave(2, i), 0.0f);
    EXPECT_NEAR(r->deriv(1, i), 0.0f, 1e-9f);
    EXPECT_EQ(r->deriv(2, i), 0.0f);
  }
}

TEST(Preparation, MeanIsSummedInSinglePrecisionInSampleOrder) {
  auto r = recording(1, 1);
  float sum = 0.0f;
  for (int i = 1; i <= 1000; ++i) {
    r->wave(1, i) = 1.0f + 1e-3f * static_cast<float>(i % 7) + (i == 500 ? 1e7f : 0.0f);
    sum += r->wave(1, i);
  }
  const float mean = sum / 1000.0f;
  const float first = r->wave(1, 1) - mean;
  Lines console;
  prepare_signals(*r, console);
  EXPECT_EQ(r->wave(1, 1), first);
}

TEST(Preparation, FullRecordingIsFilledAndNothingBeyondIsTouched) {
  auto r = recording(19, 29);
  for (int j = 1; j <= 20; ++j) {
    for (int i = 1; i <= 30000; ++i) {
      r->wave(j, i) = std::sin(0.01f * static_cast<float>(i) + static_cast<float>(j));
      r->deriv(j, i) = 42.0f;
    }
  }
  Lines console;
  prepare_signals(*r, console);
  for (int j = 1; j <= 19; ++j) {
    for (int i = 1; i <= 29000; ++i) {
      ASSERT_NE(r->deriv(j, i), 42.0f);
      ASSERT_TRUE(std::isfinite(r->deriv(j, i)));
    }
    EXPECT_EQ(r->deriv(j, 29001), 42.0f);
    EXPECT_EQ(r->wave(j, 29001), std::sin(0.01f * 29001.0f + static_cast<float>(j)));
  }
  EXPECT_EQ(r->deriv(20, 1), 42.0f);
  EXPECT_EQ(r->wave(20, 5), std::sin(0.05f + 20.0f));
  EXPECT_EQ(r->time_ms(29000), 29000.0f);
  EXPECT_EQ(r->time_ms(29001), 0.0f);
}

TEST(Preparation, TwentyLeadsThirtySeconds) {
  auto r = recording(20, 30);
  for (int j = 1; j <= 20; ++j) {
    for (int i = 1; i <= 30000; ++i) r->wave(j, i) = 0.002f * static_cast<float>(i * j % 997);
  }
  Lines console;
  prepare_signals(*r, console);
  int zeros = 0;
  for (int j = 1; j <= 20; ++j) {
    for (int i = 1; i <= 30000; ++i) zeros += r->deriv(j, i) == 0.0f;
  }
  EXPECT_LT(zeros, 100);  // a slope everywhere but at a rare exact turning point
  EXPECT_EQ(r->time_ms(30000), 30000.0f);
}

TEST(Preparation, RefusedWindowsGiveNoSlopeAndTheirMessage) {
  auto r = recording(1, 2, 3);
  for (int i = 1; i <= 2000; ++i) r->wave(1, i) = static_cast<float>(i) * 0.5f;
  Lines console;
  prepare_signals(*r, console);
  // Only the recording's ends leave fewer than five points with three either
  // side; at the second boundary the next second's samples fill the window.
  EXPECT_EQ(r->deriv(1, 1), 0.0f);
  EXPECT_NEAR(r->deriv(1, 2), 0.5f, 1e-4f);
  EXPECT_NEAR(r->deriv(1, 1000), 0.5f, 1e-4f);
  EXPECT_NEAR(r->deriv(1, 1001), 0.5f, 1e-4f);
  EXPECT_NEAR(r->deriv(1, 1999), 0.5f, 1e-4f);
  EXPECT_EQ(r->deriv(1, 2000), 0.0f);
  ASSERT_EQ(console.lines.size(), 4u);
  EXPECT_EQ(console.lines[0], "");
  // Block indices: the first as asked, the last after the recording's end.
  EXPECT_EQ(console.lines[1], "*** parameter error m1 =  -2   m =   4     =,   3 .lt.   21");
  EXPECT_EQ(console.lines[3], "*** parameter error m1 = 997   m =1000     =,   3 .lt.   21");
}

TEST(Preparation, RefusedWindowInsideTheRecordingIsNamedUncut) {
  auto r = recording(1, 2, 1);  // three points: every window refused
  for (int i = 1; i <= 2000; ++i) r->wave(1, i) = static_cast<float>(i);
  Lines console;
  prepare_signals(*r, console);
  ASSERT_EQ(console.lines.size(), 4000u);
  EXPECT_EQ(console.lines[1], "*** parameter error m1 =   0   m =   2     =,   3 .lt.   21");
  // Block index 1000 of the first second reaches the next second's first sample.
  EXPECT_EQ(console.lines[1999], "*** parameter error m1 = 999   m =1001     =,   3 .lt.   21");
  EXPECT_EQ(console.lines[2001], "*** parameter error m1 =   0   m =   2     =,   3 .lt.   21");
  EXPECT_EQ(console.lines[3999], "*** parameter error m1 = 999   m =1000     =,   3 .lt.   21");
}

// The slope at the centre of the least-squares polynomial through the points
// (m + u, y(m + u)), u = -h..h, solved here in double precision from the
// centred sums: the odd terms separate from the even ones on a symmetric
// window. With the cubic term the slope solves a 2x2 system; without it
// (the fit drops the cubic far from a block's start) it is the line's slope.
double centred_slope(const std::vector<double>& y, int h, bool cubic) {
  double su2 = 0, su4 = 0, su6 = 0, suy = 0, su3y = 0;
  for (int u = -h; u <= h; ++u) {
    const double v = y[static_cast<std::size_t>(u + h)];
    su2 += u * u;
    su4 += std::pow(u, 4);
    su6 += std::pow(u, 6);
    suy += u * v;
    su3y += std::pow(u, 3) * v;
  }
  if (!cubic) return suy / su2;
  return (suy * su6 - su3y * su4) / (su2 * su6 - su4 * su4);
}

// A lead that is flat up to sample 1000 and rises from there: the windows
// around the boundary see both sides, whichever second their sample is in.
TEST(Preparation, WindowsContinueAcrossSecondBoundaries) {
  auto r = recording(1, 3);
  const auto kink = [](int i) { return i > 1000 ? 0.5 * (i - 1000) : 0.0; };
  for (int i = 1; i <= 3000; ++i) r->wave(1, i) = static_cast<float>(kink(i));
  Lines console;
  prepare_signals(*r, console);
  for (int s = 990; s <= 1012; ++s) {
    std::vector<double> window;
    for (int u = -7; u <= 7; ++u) window.push_back(kink(s + u));
    // Block indices near 1000 drop the cubic, those near 1 keep it.
    const bool cubic = s > 1000;
    const double expected = centred_slope(window, 7, cubic);
    EXPECT_NEAR(r->deriv(1, s), expected, 2e-4) << s;
  }
  EXPECT_NEAR(r->deriv(1, 1000), 0.25, 1e-5);  // half the window rises
  EXPECT_TRUE(console.lines.empty());
}

// On white noise the slope's spread at a block's first and last indices is
// that of its neighbours inside the block (with one-sided windows it was
// several times larger).
TEST(Preparation, BlockEndsAreNoNoisierThanTheirNeighbours) {
  auto r = recording(20, 30);
  std::mt19937 random(5);
  std::normal_distribution<float> noise(0.0f, 1.0f);
  for (int j = 1; j <= 20; ++j) {
    for (int i = 1; i <= 30000; ++i) r->wave(j, i) = noise(random);
  }
  Lines console;
  prepare_signals(*r, console);
  // Root mean square of the slope over the block indices from..to of every
  // second but the first and the last (whose outer windows are cut).
  const auto spread = [&](int from, int to) {
    double sum = 0.0;
    int count = 0;
    for (int j = 1; j <= 20; ++j) {
      for (int k = 2; k <= 29; ++k) {
        for (int m = from; m <= to; ++m) {
          const double d = r->deriv(j, (k - 1) * 1000 + m);
          sum += d * d;
          ++count;
        }
      }
    }
    return std::sqrt(sum / count);
  };
  const double start = spread(1, 3), after_start = spread(8, 30);
  const double end = spread(998, 1000), before_end = spread(900, 990);
  EXPECT_NEAR(start / after_start, 1.0, 0.1);
  EXPECT_NEAR(end / before_end, 1.0, 0.1);
  // The line's slope over 15 points: sigma / sqrt(280).
  EXPECT_NEAR(before_end, 1.0 / std::sqrt(280.0), 0.05 / std::sqrt(280.0));
}

TEST(Preparation, NoSmoothingRefusesEveryWindow) {
  auto r = recording(1, 1, 0);
  for (int i = 1; i <= 1000; ++i) r->wave(1, i) = static_cast<float>(i);
  Lines console;
  prepare_signals(*r, console);
  for (int i = 1; i <= 1000; ++i) ASSERT_EQ(r->deriv(1, i), 0.0f);
  EXPECT_EQ(console.lines.size(), 2000u);
}

// --- The fast path against the straightforward one -------------------------

enum class Signal { realistic, constant_stretches, zeros, huge, tiny, noise, boundary_slopes };

void fill(RunRecord& r, Signal kind, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
  for (int j = 1; j <= r.lead_count; ++j) {
    for (int i = 1; i <= r.sample_count; ++i) {
      const float t = static_cast<float>(i);
      float v = 0.0f;
      switch (kind) {
        case Signal::realistic: {
          const float phase = std::fmod(t + 37.0f * static_cast<float>(j), 750.0f);
          v = 3.0f * std::exp(-0.01f * (phase - 200.0f) * (phase - 200.0f)) -
              4.0f * std::exp(-0.02f * (phase - 212.0f) * (phase - 212.0f)) +
              0.8f * std::exp(-0.0005f * (phase - 450.0f) * (phase - 450.0f)) +
              0.02f * noise(random);
          break;
        }
        case Signal::constant_stretches:
          v = (i / 37) % 3 == 0 ? 1.5f : 0.01f * static_cast<float>(i % 50) + noise(random);
          break;
        case Signal::zeros:
          v = 0.0f;
          break;
        case Signal::huge:
          v = 1.0e30f * noise(random) + 3.0e30f;
          break;
        case Signal::tiny:
          v = 1.0e-30f * noise(random);
          break;
        case Signal::noise:
          v = 100.0f + noise(random);
          break;
        case Signal::boundary_slopes: {
          // Steep falls centred a few ms either side of every second
          // boundary, lead by lead further off, and the recording's first
          // and last samples on slopes too.
          const float from_boundary =
              std::remainder(t - 3.0f * static_cast<float>(j), 1000.0f);
          v = 2.0f * std::tanh(-from_boundary / 4.0f) + 0.3f * std::sin(0.02f * t) +
              0.01f * noise(random);
          break;
        }
      }
      r.wave(j, i) = v;
    }
  }
}

// On every instruction set this computer has, and on one thread and on several.
void expect_same_bits(Signal kind, int leads, int seconds, int smooth_points, unsigned seed) {
  auto original = recording(leads, seconds, smooth_points);
  fill(*original, kind, seed);
  auto reference = std::make_unique<RunRecord>(*original);
  Lines reference_lines;
  prepare_signal_tables_reference(test::signal_tables(*reference), reference_lines);
  for (const PreparationIsa isa : available_isas()) {
    for (const int threads : {1, 3}) {
      auto fast = std::make_unique<RunRecord>(*original);
      Lines fast_lines;
      prepare_signal_tables_on(isa, test::signal_tables(*fast), fast_lines, threads);
      int differing = 0;
      for (int j = 1; j <= leads; ++j) {
        for (int i = 1; i <= fast->sample_count; ++i) {
          differing += std::bit_cast<std::uint32_t>(fast->deriv(j, i)) !=
                           std::bit_cast<std::uint32_t>(reference->deriv(j, i)) ||
                       std::bit_cast<std::uint32_t>(fast->wave(j, i)) !=
                           std::bit_cast<std::uint32_t>(reference->wave(j, i));
        }
      }
      const std::string what = "signal " + std::to_string(static_cast<int>(kind)) + " points " +
                               std::to_string(smooth_points) + " on " +
                               std::string(isa_name(isa)) + ", " + std::to_string(threads) +
                               " threads";
      EXPECT_EQ(differing, 0) << what;
      EXPECT_EQ(fast_lines.lines, reference_lines.lines) << what;
    }
  }
}

TEST(FastPreparation, SameBitsForEverySmoothingWidthOnOneSecond) {
  for (Signal kind : {Signal::realistic, Signal::constant_stretches, Signal::zeros, Signal::huge,
                      Signal::tiny, Signal::noise}) {
    for (int points = 0; points <= 20; ++points) expect_same_bits(kind, 3, 1, points, 11u + points);
  }
}

TEST(FastPreparation, SameBitsOnThirtySeconds) {
  expect_same_bits(Signal::realistic, 3, 30, 7, 1u);
  expect_same_bits(Signal::constant_stretches, 2, 30, 3, 2u);
  expect_same_bits(Signal::noise, 2, 30, 20, 3u);
}

TEST(FastPreparation, SameBitsWithWideWindows) {
  for (int points : {50, 120, 499}) expect_same_bits(Signal::realistic, 2, 2, points, 5u);
  for (int points : {300, 499}) expect_same_bits(Signal::boundary_slopes, 3, 3, points, 6u);
}

// Windows that take the neighbouring seconds' samples, and those the
// recording's ends cut, for the narrowest widths too (where only the ends
// refuse a fit).
TEST(FastPreparation, SameBitsAcrossSecondBoundaries) {
  for (int seconds : {1, 2, 3, 5}) {
    for (int points = 0; points <= 9; ++points) {
      expect_same_bits(Signal::boundary_slopes, 3, seconds, points, 20u + points);
    }
  }
  expect_same_bits(Signal::noise, 9, 4, 7, 31u);
  expect_same_bits(Signal::constant_stretches, 2, 3, 2, 32u);
}

// A different width or length between two preparations picks other plans.
TEST(FastPreparation, SameBitsWhenLengthsAndWidthsAlternate) {
  for (int seconds : {3, 1, 2, 3, 1}) expect_same_bits(Signal::boundary_slopes, 2, seconds, 7, 40u);
  for (int points : {7, 3, 7}) expect_same_bits(Signal::boundary_slopes, 2, 2, points, 41u);
}

// Leads fill lanes in groups: a whole group, whole groups and part of one.
TEST(FastPreparation, SameBitsForEveryNumberOfLeads) {
  for (int leads : {1, 8, 9, 16, 20}) expect_same_bits(Signal::realistic, leads, 2, 7, 7u + leads);
  expect_same_bits(Signal::constant_stretches, 20, 1, 4, 9u);
}

}  // namespace
}  // namespace telmor
