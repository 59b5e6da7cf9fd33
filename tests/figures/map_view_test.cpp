// Electrodes drawn where their positions say, gaps marked, and the colour
// scale's ends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "figures/map_view.h"

namespace telmor {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

struct Canvas {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 200, 200);
  cairo_t* cr = cairo_create(surface);
  Canvas() {
    cairo_set_source_rgb(cr, 0.0, 0.0, 1.0);  // blue, a colour no marker uses
    cairo_paint(cr);
  }
  ~Canvas() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  std::uint32_t pixel(int x, int y) {
    cairo_surface_flush(surface);
    const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    std::uint32_t p = 0;
    std::memcpy(&p, row + 4 * x, 4);
    return p & 0xFFFFFFu;
  }
};

TEST(MapView, ElectrodesLieWhereTheirPositionsSay) {
  // A 10 x 5 mm box in a 200 x 200 panel less 30 on each side: 14 units
  // per mm (140 / 10), the box's centre (5, 2.5) at the panel's (100, 100).
  const ElectrodeTimes electrodes[] = {{1, {0.0, 0.0}, 10.0, kNan, kNan},
                                       {2, {10.0, 0.0}, 12.0, kNan, kNan},
                                       {3, {0.0, 5.0}, kNan, kNan, kNan}};
  const MapView view = map_view({0.0, 0.0, 200.0, 200.0}, electrodes);
  EXPECT_DOUBLE_EQ(view.scale, 14.0);
  EXPECT_DOUBLE_EQ(view.to_x(10.0), 170.0);
  EXPECT_DOUBLE_EQ(view.to_y(0.0), 65.0);
  EXPECT_DOUBLE_EQ(view.to_y(5.0), 135.0);

  Canvas c;
  draw_electrodes(c.cr, view, electrodes, &ElectrodeTimes::at_ms);
  EXPECT_EQ(c.pixel(30, 65), 0xFFFFFFu);   // lead 1: a white disc
  EXPECT_EQ(c.pixel(170, 65), 0xFFFFFFu);  // lead 2
  EXPECT_EQ(c.pixel(30, 135), 0x000000u);  // lead 3, a gap: the cross's centre
  EXPECT_EQ(c.pixel(33, 135), 0x999999u);  // and its grey disc beside it
  EXPECT_EQ(c.pixel(100, 100), 0x0000FFu);  // nothing between them
  EXPECT_EQ(c.pixel(170, 135), 0x0000FFu);
}

TEST(MapView, OneElectrodeLiesAtTheCentre) {
  const ElectrodeTimes one[] = {{4, {3.0, -7.0}, 1.0, 1.0, 0.0}};
  const MapView view = map_view({20.0, 40.0, 100.0, 60.0}, one);
  EXPECT_DOUBLE_EQ(view.to_x(3.0), 70.0);
  EXPECT_DOUBLE_EQ(view.to_y(-7.0), 70.0);
  Canvas c;
  draw_electrodes(c.cr, view, one, &ElectrodeTimes::at_ms);
  EXPECT_EQ(c.pixel(70, 70), 0xFFFFFFu);
  EXPECT_EQ(c.pixel(70, 70 + static_cast<int>(kElectrodeRadius) + 3), 0x0000FFu);
}

TEST(MapPanel, VelocityArrowsStayInsideTheMapsArea) {
  // A 2 x 2 grid of 10 mm in a 200 x 200 panel (a 130 x 176 area under the
  // title, beside the colour bar): electrodes 70 apart, so the bottom row's
  // arrows at 0.6 of that would reach 12 units below the panel.
  const BeatMap map{1, 1000,
                    {{1, {0.0, 0.0}, 10.0, kNan, kNan},
                     {2, {10.0, 0.0}, 10.0, kNan, kNan},
                     {3, {0.0, 10.0}, 20.0, kNan, kNan},
                     {4, {10.0, 10.0}, 20.0, kNan, kNan}}};
  std::vector<CvVector> down;
  for (int lead = 1; lead <= 4; ++lead) {
    CvVector v;
    v.lead = lead;
    v.vy_mm_ms = v.speed_m_s = 1.0;
    down.push_back(v);
  }
  Canvas c;
  draw_map_panel(c.cr, {0.0, 0.0, 200.0, 160.0}, "AT", map, &ElectrodeTimes::at_ms, 0.0, down);
  const auto is_background = [&](int x, int y) { return c.pixel(x, y) == 0x0000FFu; };
  // The bottom row lies at y 127; lead 3's arrow below it, outside the map.
  int arrow_pixels = 0;
  for (int y = 134; y < 159; ++y) arrow_pixels += is_background(30, y) ? 0 : 1;
  EXPECT_EQ(arrow_pixels, 25);
  for (int y = 161; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) ASSERT_TRUE(is_background(x, y)) << x << " " << y;
  }
}

TEST(Viridis, EndsAndMiddleAreThePublishedColours) {
  const struct {
    double t;
    int r, g, b;
  } cases[] = {{0.0, 68, 1, 84}, {-1.0, 68, 1, 84}, {0.5, 33, 144, 141}, {1.0, 253, 231, 37}, {2.0, 253, 231, 37},
               {0.0625, 70, 23, 103}};
  for (const auto& c : cases) {
    const Rgb v = viridis(c.t);
    EXPECT_EQ(std::lround(v.r * 255.0), c.r) << c.t;
    EXPECT_EQ(std::lround(v.g * 255.0), c.g) << c.t;
    EXPECT_EQ(std::lround(v.b * 255.0), c.b) << c.t;
  }
}

}  // namespace
}  // namespace telmor
