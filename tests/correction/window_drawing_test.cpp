// What one window draws: the two curves and their scales, flat windows,
// samples past the tables, and where the marks stand.
#include <cmath>
#include <limits>
#include <vector>

#include "correction/mark_correction.h"
#include "support/correction_harness.h"

namespace telmor::test {
namespace {

using WindowDrawing = CorrectionPass;

constexpr int kPotentialZeroRow = 134;   // 0.5 - 0.05 = 0.45f, just under row 135
constexpr int kDerivativeZeroRow = 165;  // 0.5 + 0.05 = 0.55f, just over row 165

TEST_F(WindowDrawing, EachCurveFillsItsOwnBandAroundItsZeroLine) {
  record->wave(1, 250) = 2.0f;
  record->wave(1, 750) = -1.0f;
  record->deriv(1, 100) = 4.0f;
  record->deriv(1, 900) = -4.0f;
  EXPECT_FALSE(run());

  const Screen& s = layer.screens.at(0);
  // Single precision throughout: 0.9f - 0.1f is 0.79999995, so each peak
  // stays a hair inside its band (0.05 + 2.3e-8 is row 15, not 14).
  EXPECT_EQ(rows(s, kBlueRgb), (std::vector<int>{15, kPotentialZeroRow, 194}));
  EXPECT_EQ(rows(s, kCyanRgb), (std::vector<int>{45, kDerivativeZeroRow, 284}));
  ASSERT_EQ(s.segments.size(), 2000u);
  EXPECT_EQ(s.segments.front(), (Segment{0, kPotentialZeroRow, 0, kPotentialZeroRow, kBlueRgb}));
  EXPECT_EQ(s.segments[999].x2, 600);
  EXPECT_EQ(s.segments[1000], (Segment{0, kDerivativeZeroRow, 0, kDerivativeZeroRow, kCyanRgb}));

  const float span = 0.9f - 0.1f;
  EXPECT_EQ(drawing.amp_max, 2.0f);
  EXPECT_EQ(drawing.yscale, span / 4.0f);
  EXPECT_EQ(drawing.curve_n, 1000);
  EXPECT_EQ(drawing.win3(1, 250), 2.0f);
  EXPECT_EQ(drawing.win3(2, 900), -4.0f);
}

TEST_F(WindowDrawing, AllZeroWindowIsFlatAndKeepsTheLastScale) {
  recording(1, 2);
  record->wave(1, 100) = 4.0f;  // only in the first window
  record->deriv(1, 100) = 1.0f;
  right();
  EXPECT_FALSE(run());

  const float span = 0.9f - 0.1f;
  const Screen& flat = layer.screens.at(1);
  EXPECT_EQ(rows(flat, kBlueRgb), std::vector<int>{kPotentialZeroRow});
  EXPECT_EQ(rows(flat, kCyanRgb), std::vector<int>{kDerivativeZeroRow});
  EXPECT_EQ(drawing.amp_max, 0.0f);
  EXPECT_EQ(drawing.yscale, span / 8.0f);
}

TEST_F(WindowDrawing, SubnormalMaximumGivesNoInfiniteScale) {
  // 0.8 / (2 * smallest subnormal) overflows single precision.
  const float tiny = std::numeric_limits<float>::denorm_min();
  record->wave(1, 500) = tiny;
  record->deriv(1, 500) = -tiny;
  EXPECT_FALSE(run());

  const Screen& s = layer.screens.at(0);
  EXPECT_EQ(rows(s, kBlueRgb), std::vector<int>{kPotentialZeroRow});
  EXPECT_EQ(rows(s, kCyanRgb), std::vector<int>{kDerivativeZeroRow});
  EXPECT_EQ(drawing.amp_max, tiny);
  EXPECT_EQ(drawing.yscale, 0.25f);
  for (int j = 1; j <= 1000; ++j) ASSERT_TRUE(std::isfinite(drawing.plot_y[j - 1]));
}

TEST_F(WindowDrawing, ThirtySecondRecordingReadsZerosPastItsLastSample) {
  recording(2, 30);
  for (int i = 1; i <= kMaxSamples; ++i) {
    record->wave(1, i) = 1.0f;
    record->deriv(1, i) = 1.0f;
    record->wave(2, i) = 1000.0f;  // what lies in memory right after lead 1
    record->deriv(2, i) = 1000.0f;
  }
  right(59);
  EXPECT_FALSE(run());

  EXPECT_EQ(captions().back(), "誘導  1の 29.5- 30.5secを解析します。");
  for (int j = 1; j <= 1000; ++j) {
    const float inside = j <= 500 ? 1.0f : 0.0f;
    ASSERT_EQ(drawing.win3(1, j), inside) << j;
    ASSERT_EQ(drawing.win3(2, j), inside) << j;
  }
  EXPECT_EQ(drawing.amp_max, 1.0f);
  // The second half of the potential curve lies on its zero line.
  const Screen& s = layer.screens.back();
  for (int k = 501; k < 1000; ++k) EXPECT_EQ(s.segments[static_cast<std::size_t>(k)].y2, kPotentialZeroRow);
}

TEST_F(WindowDrawing, EveryMillisecondOfTheWindowMarksAtSixTenths) {
  // Five leads of one second: each holds 200 of the times start + d, d = 0..999
  // (d = 0 is the time at the window's end, start + 1000).
  recording(5, 1);
  for (int lead = 1; lead <= 5; ++lead) {
    for (int r = 1; r <= 200; ++r) {
      const int d = (lead - 1) * 200 + r - 1;
      record->at_ms(lead, r) = d == 0 ? 1000.0f : static_cast<float>(d);
    }
  }
  right(8);
  EXPECT_FALSE(run());

  ASSERT_EQ(layer.screens.size(), 9u);
  for (int lead = 1; lead <= 5; ++lead) {
    std::vector<int> expected;
    for (int r = 1; r <= 200; ++r) expected.push_back((6 * ((lead - 1) * 200 + r - 1)) / 10);
    EXPECT_EQ(marks(layer.screens[static_cast<std::size_t>(2 * (lead - 1))]), expected) << lead;
  }
  // From 500, lead 1 has only 1000 to show, half-way across.
  EXPECT_EQ(marks(layer.screens[1]), std::vector<int>{300});
}

TEST_F(WindowDrawing, WindowEndAtTheLeftEdgeAndEveryRowShown) {
  record->marks.at_beat_count = 2;
  record->at_ms(1, 1) = 1000.0f;  // the window's end
  record->at_ms(1, 2) = 999.5f;
  record->at_ms(1, 150) = 600.0f;  // beyond the count, still shown
  record->at_ms(1, 151) = 0.5f;    // before start + 1
  record->at_ms(1, 152) = 1000.5f;
  record->at_ms(2, 1) = 400.0f;    // another lead
  right();
  EXPECT_FALSE(run());

  EXPECT_EQ(marks(layer.screens.at(0)), (std::vector<int>{0, 599, 360}));
  EXPECT_EQ(marks(layer.screens.at(1)), (std::vector<int>{300, 299, 60, 300}));
}

}  // namespace
}  // namespace telmor::test
