// The curve and marker routines drawn onto the headless chart surface.
#include <gtest/gtest.h>

#include "console/curve_drawing.h"
#include "support/replay_harness.h"

namespace telmor {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBluePixel{0, 0, 240};
constexpr Rgb kCyanPixel{0, 255, 255};

TEST(DrawingOnSurface, MarkerLineFromRow30ToRow269) {
  test::ReplayHarness h("");
  const float x[2] = {0.6f, 0.6f};
  const float y[2] = {0.1f, 0.9f};
  gpl2(h.layer, 2, x, y);
  const ChartSurface& s = h.layer.surface();
  EXPECT_EQ(s.pixel(600, 29), kWhite);
  EXPECT_EQ(s.pixel(600, 30), kCyanPixel);
  EXPECT_EQ(s.pixel(600, 150), kCyanPixel);
  EXPECT_EQ(s.pixel(600, 269), kCyanPixel);  // 0.9f lands on 269, not 270
  EXPECT_EQ(s.pixel(600, 270), kWhite);
  EXPECT_EQ(s.pixel(599, 150), kWhite);
  EXPECT_EQ(s.pixel(601, 150), kWhite);
}

TEST(DrawingOnSurface, SlightlyNegativeXLandsOnColumnZero) {
  test::ReplayHarness h("");
  const float x[2] = {-0.0005f, -0.0005f};
  const float y[2] = {0.5f, 0.5f};
  gpl(h.layer, 2, x, y);
  EXPECT_EQ(h.layer.surface().pixel(0, 150), kBluePixel);
  EXPECT_EQ(h.draw_log.str(), "line 0 150 0 150 0000F0\nline 0 150 0 150 0000F0\n");
}

TEST(DrawingOnSurface, CurveOutsideTheSurfaceIsClippedNotWrapped) {
  test::ReplayHarness h("");
  const float x[2] = {0.5f, 0.5f};
  const float y[2] = {0.5f, 1.0e6f};  // held at row 32767
  gpl(h.layer, 2, x, y);
  const ChartSurface& s = h.layer.surface();
  EXPECT_EQ(s.pixel(500, 150), kBluePixel);
  EXPECT_EQ(s.pixel(500, ChartSurface::kHeight - 1), kBluePixel);
  EXPECT_EQ(s.pixel(500, 0), kWhite);
  EXPECT_NE(h.draw_log.str().find("line 500 150 500 32767 0000F0"), std::string::npos);
}

TEST(DrawingOnSurface, LineAfterGpl2IsCyan) {
  test::ReplayHarness h("");
  const float x[2] = {0.1f, 0.1f};
  const float y[2] = {0.1f, 0.9f};
  gpl2(h.layer, 2, x, y);
  line(h.layer, 300, 50, 300, 350);
  EXPECT_EQ(h.layer.surface().pixel(300, 350), kCyanPixel);
  EXPECT_EQ(h.layer.surface().pixel(300, 49), kWhite);
}

}  // namespace
}  // namespace telmor
