// Normalised points to pixels, and the polyline and segment routines.
#include <gtest/gtest.h>

#include <limits>

#include "console/curve_drawing.h"
#include "support/scripted_layer.h"

namespace telmor {
namespace {

using test::Segment;

TEST(PixelConversion, TruncatesTheDoubleProduct) {
  EXPECT_EQ(pixel_y(0.9f), 269);  // a single-precision product would give 270
  EXPECT_EQ(pixel_y(0.1f), 30);
  EXPECT_EQ(pixel_y(0.5f), 150);
  EXPECT_EQ(pixel_x(0.6f), 600);
  EXPECT_EQ(pixel_x(-0.0005f), 0);  // toward zero, not -1
  EXPECT_EQ(pixel_x(-0.0015f), -1);
  EXPECT_EQ(pixel_x(1.0f), 1000);
}

TEST(PixelConversion, LargeValuesAreHeldAtThe16BitRange) {
  EXPECT_EQ(pixel_y(1.0e6f), 32767);
  EXPECT_EQ(pixel_y(-1.0e6f), -32768);
  EXPECT_EQ(pixel_x(40.0f), 32767);
  EXPECT_EQ(pixel_x(-40.0f), -32768);
  EXPECT_EQ(pixel_x(std::numeric_limits<float>::infinity()), 32767);
  EXPECT_EQ(pixel_x(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(ClampToChart, HeldInsideTheDrawingAreaNaNIncluded) {
  EXPECT_EQ(clamp_to_chart(0.5f), 0.5f);
  EXPECT_EQ(clamp_to_chart(0.0f), 0.001f);
  EXPECT_EQ(clamp_to_chart(-std::numeric_limits<float>::infinity()), 0.001f);
  EXPECT_EQ(clamp_to_chart(std::numeric_limits<float>::quiet_NaN()), 0.001f);
  EXPECT_EQ(clamp_to_chart(1.0f), 0.999f);
  EXPECT_EQ(clamp_to_chart(std::numeric_limits<float>::infinity()), 0.999f);
  EXPECT_EQ(clamp_to_chart(0.999999f), 0.999999f);
}

TEST(Polyline, FirstStepIsZeroLengthThenEverySegment) {
  test::ScriptedLayer layer;
  const float x[3] = {0.1f, 0.2f, 0.3f};
  const float y[3] = {0.5f, 0.1f, 0.9f};
  gpl(layer, 3, x, y);
  const std::vector<Segment> expected = {{100, 150, 100, 150, kBlue},
                                         {100, 150, 200, 30, kBlue},
                                         {200, 30, 300, 269, kBlue}};
  EXPECT_EQ(layer.segments, expected);
}

TEST(Polyline, MarkerLineIsOneVerticalSegmentInCyan) {
  test::ScriptedLayer layer;
  const float x[2] = {0.375f, 0.375f};
  const float y[2] = {0.1f, 0.9f};
  gpl2(layer, 2, x, y);
  ASSERT_EQ(layer.segments.size(), 2u);
  EXPECT_EQ(layer.segments[1], (Segment{375, 30, 375, 269, kCyan & 0xFFFFFFu}));
}

TEST(Polyline, ColourStaysForALaterLine) {
  test::ScriptedLayer layer;
  const float x[2] = {0.0f, 0.0f};
  const float y[2] = {0.1f, 0.9f};
  gpl2(layer, 2, x, y);
  line(layer, 5, 50, 5, 250);
  EXPECT_EQ(layer.segments.back(), (Segment{5, 50, 5, 250, 0xFFFF00u}));
}

TEST(Polyline, NoPointsDrawNothing) {
  test::ScriptedLayer layer;
  const float x[1] = {0.5f};
  gpl(layer, 0, x, x);
  gpl(layer, -3, x, x);
  EXPECT_TRUE(layer.segments.empty());
  EXPECT_EQ(layer.colour, 0u);
}

TEST(Segment, LineSetsNoColour) {
  test::ScriptedLayer layer;
  layer.set_color_rgb(0x0000FF);
  line(layer, 10, 50, 10, 350);
  pabs(layer, 1, 2);
  pabsd(layer, 3, 4);
  const std::vector<Segment> expected = {{10, 50, 10, 350, 0x0000FF}, {1, 2, 3, 4, 0x0000FF}};
  EXPECT_EQ(layer.segments, expected);
}

}  // namespace
}  // namespace telmor
