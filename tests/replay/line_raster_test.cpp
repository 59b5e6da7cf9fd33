// Clipped Bresenham lines: shapes, ends, clipping, and agreement with an unclipped walk.
#include "replay/line_raster.h"

#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "replay/chart_surface.h"

namespace telmor {
namespace {

using Pixels = std::vector<std::pair<int, int>>;
constexpr int kW = ChartSurface::kWidth;
constexpr int kH = ChartSurface::kHeight;

Pixels clipped(int x0, int y0, int x1, int y1, int width = kW, int height = kH) {
  Pixels pixels;
  rasterise_line(x0, y0, x1, y1, width, height,
                 [&pixels](int x, int y) { pixels.emplace_back(x, y); });
  return pixels;
}

// The textbook integer walk over every step of the line, no clipping; the
// minor coordinate moves when the decision value is positive, so an exact
// half stays back toward the start. Keeps the pixels inside the box.
Pixels reference(int x0, int y0, int x1, int y1, int width = kW, int height = kH) {
  Pixels pixels;
  const auto keep = [&](long x, long y) {
    if (x >= 0 && x < width && y >= 0 && y < height) pixels.emplace_back(int(x), int(y));
  };
  const long dx = std::labs(long{x1} - x0), dy = std::labs(long{y1} - y0);
  const long sx = x1 < x0 ? -1 : 1, sy = y1 < y0 ? -1 : 1;
  long x = x0, y = y0;
  if (dx >= dy) {
    long d = 2 * dy - dx;
    for (long i = 0; i <= dx; ++i, x += sx) {
      keep(x, y);
      if (d > 0) {
        y += sy;
        d -= 2 * dx;
      }
      d += 2 * dy;
    }
  } else {
    long d = 2 * dx - dy;
    for (long i = 0; i <= dy; ++i, y += sy) {
      keep(x, y);
      if (d > 0) {
        x += sx;
        d -= 2 * dy;
      }
      d += 2 * dx;
    }
  }
  return pixels;
}

TEST(LineRaster, HorizontalIncludesBothEnds) {
  Pixels expected;
  for (int x = 10; x <= 20; ++x) expected.emplace_back(x, 5);
  EXPECT_EQ(clipped(10, 5, 20, 5), expected);
  Pixels backwards(expected.rbegin(), expected.rend());
  EXPECT_EQ(clipped(20, 5, 10, 5), backwards);
}

TEST(LineRaster, VerticalClippedAtTheTop) {
  EXPECT_EQ(clipped(7, 3, 7, -3), (Pixels{{7, 3}, {7, 2}, {7, 1}, {7, 0}}));
}

TEST(LineRaster, Diagonal) {
  EXPECT_EQ(clipped(0, 0, 4, 4), (Pixels{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}));
  EXPECT_EQ(clipped(4, 0, 0, 4), (Pixels{{4, 0}, {3, 1}, {2, 2}, {1, 3}, {0, 4}}));
}

TEST(LineRaster, ZeroLengthIsOnePixel) {
  EXPECT_EQ(clipped(4, 9, 4, 9), (Pixels{{4, 9}}));
  EXPECT_EQ(clipped(kW - 1, kH - 1, kW - 1, kH - 1), (Pixels{{kW - 1, kH - 1}}));
  EXPECT_TRUE(clipped(-1, 9, -1, 9).empty());
  EXPECT_TRUE(clipped(4, kH, 4, kH).empty());
}

TEST(LineRaster, HalfwayStepStaysTowardTheStart) {
  EXPECT_EQ(clipped(0, 0, 2, 1), (Pixels{{0, 0}, {1, 0}, {2, 1}}));
  EXPECT_EQ(clipped(2, 1, 0, 0), (Pixels{{2, 1}, {1, 1}, {0, 0}}));
  EXPECT_EQ(clipped(0, 0, 1, 2), (Pixels{{0, 0}, {0, 1}, {1, 2}}));
}

TEST(LineRaster, ShallowLine) {
  EXPECT_EQ(clipped(0, 0, 6, 2), (Pixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}}));
}

TEST(LineRaster, ClippedAtTheRightEdge) {
  Pixels expected;
  for (int x = 1020; x < kW; ++x) expected.emplace_back(x, 10);
  EXPECT_EQ(clipped(1020, 10, 1100, 10), expected);
  EXPECT_EQ(clipped(1000, 10, 1000, 10), (Pixels{{1000, 10}}));  // normalised x 1.0 is inside
}

TEST(LineRaster, LinesMissingTheSurfaceDrawNothing) {
  EXPECT_TRUE(clipped(-100, -100, -10, -50).empty());
  EXPECT_TRUE(clipped(-5, 2, 2, -5).empty());  // passes beside the top-left corner
  EXPECT_TRUE(clipped(0, kH, kW - 1, kH).empty());
  const LineSteps steps = clip_line_steps(-5, 2, 2, -5, kW, kH);
  EXPECT_LT(steps.last, steps.first);
  EXPECT_EQ(steps.count, 8);
}

TEST(LineRaster, FullRangeDiagonalVisitsOnlyTheSurface) {
  const LineSteps steps = clip_line_steps(-32768, -32768, 32767, 32767, kW, kH);
  EXPECT_EQ(steps.count, 65536);
  EXPECT_EQ(steps.first, 32768);
  EXPECT_EQ(steps.last, 32768 + kH - 1);

  Pixels expected;
  for (int k = 0; k < kH; ++k) expected.emplace_back(k, k);
  EXPECT_EQ(clipped(-32768, -32768, 32767, 32767), expected);
  EXPECT_EQ(clipped(32767, 32767, -32768, -32768), Pixels(expected.rbegin(), expected.rend()));
  EXPECT_EQ(reference(-32768, -32768, 32767, 32767), expected);
}

TEST(LineRaster, FullRangeLinesAgreeWithTheUnclippedWalk) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> coordinate(-32768, 32767);
  for (int n = 0; n < 300; ++n) {
    const int x0 = coordinate(random), y0 = coordinate(random);
    const int x1 = coordinate(random), y1 = coordinate(random);
    const Pixels pixels = clipped(x0, y0, x1, y1);
    ASSERT_EQ(pixels, reference(x0, y0, x1, y1)) << x0 << ' ' << y0 << ' ' << x1 << ' ' << y1;
    EXPECT_LE(pixels.size(), std::size_t{kW});
  }
}

TEST(LineRaster, LinesCrossingTheEdgesAgreeWithTheUnclippedWalk) {
  std::mt19937 random(99);
  std::uniform_int_distribution<int> x_of(-300, kW + 300);
  std::uniform_int_distribution<int> y_of(-300, kH + 300);
  std::size_t drawn = 0;
  for (int n = 0; n < 20000; ++n) {
    const int x0 = x_of(random), y0 = y_of(random), x1 = x_of(random), y1 = y_of(random);
    const Pixels pixels = clipped(x0, y0, x1, y1);
    ASSERT_EQ(pixels, reference(x0, y0, x1, y1)) << x0 << ' ' << y0 << ' ' << x1 << ' ' << y1;
    drawn += pixels.size();
  }
  EXPECT_GT(drawn, 0u);
}

TEST(LineRaster, SmallBoxesAgreeWithTheUnclippedWalk) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> c(-12, 12);
  for (int n = 0; n < 20000; ++n) {
    const int x0 = c(random), y0 = c(random), x1 = c(random), y1 = c(random);
    ASSERT_EQ(clipped(x0, y0, x1, y1, 5, 3), reference(x0, y0, x1, y1, 5, 3))
        << x0 << ' ' << y0 << ' ' << x1 << ' ' << y1;
  }
}

TEST(LineRaster, DrawLineColoursOnlyTheLine) {
  ChartSurface surface;
  const Rgb red{255, 0, 0};
  draw_line(surface, -10, 100, 2000, 100, red);
  for (int x = 0; x < kW; ++x) ASSERT_EQ(surface.pixel(x, 100), red) << x;
  EXPECT_EQ(surface.pixel(5, 99), ChartSurface::kBackground);
  EXPECT_EQ(surface.pixel(5, 101), ChartSurface::kBackground);
}

}  // namespace
}  // namespace telmor
