// The centred derivative: exact on polynomials at every sample, the same bits
// wherever a signal lies in the recording, and the fast path the reference's
// bits and messages on every instruction set.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "fitting/centred_derivative.h"

namespace telmor {
namespace {

struct Lines : ConsoleOutput {
  std::vector<std::string> lines;
  void console_write(std::string_view line) override { lines.emplace_back(line); }
};

// leads × samples, lead by lead.
struct Tables {
  int leads = 0, samples = 0;
  std::vector<float> wave, deriv;
  Tables(int l, int n) : leads(l), samples(n), wave(static_cast<std::size_t>(l) * n), deriv(wave.size(), -7.0f) {}
  float& at(int lead, int i) { return wave[static_cast<std::size_t>(lead - 1) * samples + (i - 1)]; }
  float d(int lead, int i) const { return deriv[static_cast<std::size_t>(lead - 1) * samples + (i - 1)]; }
  DerivativeRequest request(int half_width, double per_ms = 1.0) {
    return {wave.data(), deriv.data(), static_cast<std::size_t>(samples), leads, samples, half_width, per_ms};
  }
};

std::uint32_t bits(float v) { return std::bit_cast<std::uint32_t>(v); }

TEST(CentredDerivative, PolynomialsUpToACubicHaveTheirSlopeAtEverySampleEndsIncluded) {
  Tables t(3, 2000);
  for (int i = 1; i <= 2000; ++i) {
    const double x = i;
    t.at(1, i) = static_cast<float>(3.0 + 0.25 * x);
    t.at(2, i) = static_cast<float>(2.0 - 0.5 * (x / 100) + 0.75 * (x / 100) * (x / 100));
    t.at(3, i) = static_cast<float>(std::pow((x - 1000.0) / 300.0, 3));
  }
  Lines console;
  centred_derivative_reference(t.request(7), console);
  EXPECT_TRUE(console.lines.empty());
  for (int i = 1; i <= 2000; ++i) {
    const double x = i;
    EXPECT_NEAR(t.d(1, i), 0.25, 1e-5) << i;
    const double parabola = -0.005 + 2 * 0.75 * x / 1e4;
    EXPECT_NEAR(t.d(2, i), parabola, 2e-5 + 1e-4 * std::fabs(parabola)) << i;
    const double cubic = 3 * (x - 1000.0) * (x - 1000.0) / (300.0 * 300.0 * 300.0);
    EXPECT_NEAR(t.d(3, i), cubic, 1e-5 + 1e-3 * std::fabs(cubic)) << i;
  }
}

// The same baseline-corrected samples anywhere in a recording give the same
// derivative, bit for bit, away from the recording's ends: unlike the
// specified fit, whose abscissae count within each second.
TEST(CentredDerivative, AShiftedSignalHasTheSameBitsAtTheSameSample) {
  std::mt19937 random(5);
  std::normal_distribution<float> noise(0.0f, 0.02f);
  std::vector<float> signal(6000);
  for (std::size_t i = 0; i < signal.size(); ++i)
    signal[i] = static_cast<float>(std::sin(0.01 * static_cast<double>(i))) - 2.0f * std::exp(-0.01f * (static_cast<float>(i % 700) - 300.0f) * (static_cast<float>(i % 700) - 300.0f)) + noise(random);
  for (const int half_width : {7, 25}) {
    Tables at_start(1, 6000);
    for (int i = 1; i <= 6000; ++i) at_start.at(1, i) = signal[static_cast<std::size_t>(i - 1)];
    Lines console;
    centred_derivative(at_start.request(half_width), console, 1);
    for (const int shift : {1, 250, 537}) {
      Tables shifted(1, 6000 + shift);
      for (int i = 1; i <= shift; ++i) shifted.at(1, i) = 0.5f;
      for (int i = 1; i <= 6000; ++i) shifted.at(1, shift + i) = signal[static_cast<std::size_t>(i - 1)];
      centred_derivative(shifted.request(half_width), console, 2);
      int differing = 0;
      for (int i = half_width + 1; i <= 6000 - half_width; ++i)
        differing += bits(shifted.d(1, shift + i)) != bits(at_start.d(1, i));
      EXPECT_EQ(differing, 0) << "shift " << shift << ", half width " << half_width;
    }
  }
}

// Random leads of every kind the fits meet: noise, steps, flat stretches,
// values far from zero (the y warning), on every instruction set, one thread
// and several, lengths shorter and longer than a window and than a worker's
// chunk, at 1 and 2 samples per ms.
TEST(CentredDerivative, TheFastPathGivesTheReferencesBitsAndMessages) {
  struct Case {
    int leads, samples, half_width;
    double per_ms;
  };
  const Case cases[] = {{5, 3000, 7, 1.0}, {3, 9000, 25, 2.0}, {2, 40, 30, 1.0}, {1, 5, 2, 1.0},
                        {4, 4100, 3, 4.0}, {2, 700, 60, 1.0}, {3, 600, 1, 1.0}};
  std::mt19937 random(11);
  for (const Case& c : cases) {
    Tables original(c.leads, c.samples);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    for (int lead = 1; lead <= c.leads; ++lead) {
      for (int i = 1; i <= c.samples; ++i) {
        float v = noise(random);
        if (lead % 4 == 2) v = (i / 97) % 2 == 0 ? 5.0f : -5.0f;     // steps and flat stretches
        if (lead % 4 == 3) v = 3000.0f + 0.001f * noise(random);      // far from zero: y warnings
        if (lead % 4 == 0) v = i < c.samples / 2 ? 0.0f : v;          // half flat
        original.at(lead, i) = v;
      }
    }
    Tables reference = original;
    Lines reference_lines;
    centred_derivative_reference(reference.request(c.half_width, c.per_ms), reference_lines);
    for (const PreparationIsa isa : available_isas()) {
      for (const int threads : {1, 3}) {
        Tables fast = original;
        Lines fast_lines;
        const FitMessageCounts counts =
            centred_derivative_on(isa, fast.request(c.half_width, c.per_ms), fast_lines, threads);
        int differing = 0;
        for (std::size_t i = 0; i < fast.deriv.size(); ++i) differing += bits(fast.deriv[i]) != bits(reference.deriv[i]);
        EXPECT_EQ(differing, 0) << isa_name(isa) << " threads " << threads << " S " << c.half_width;
        EXPECT_EQ(fast_lines.lines, reference_lines.lines) << isa_name(isa) << " S " << c.half_width;
        EXPECT_EQ(counts.total(), static_cast<int>(reference_lines.lines.size()) / 2);  // each after an empty line
      }
    }
  }
}

TEST(CentredDerivative, RefusedWindowsGiveZeroAndNameTheirSamples) {
  Tables t(1, 4);
  for (int i = 1; i <= 4; ++i) t.at(1, i) = static_cast<float>(i * i);
  Lines console;
  const FitMessageCounts counts = centred_derivative(t.request(7), console);
  EXPECT_EQ(counts.parameter_errors, 4);  // four points: too few for a cubic
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(t.d(1, i), 0.0f);
  ASSERT_EQ(console.lines.size(), 8u);
  EXPECT_EQ(console.lines[1], "*** parameter error m1 =  -6   m =   4     =,   3 .lt.   21");
}

}  // namespace
}  // namespace telmor
