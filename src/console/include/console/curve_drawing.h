// Curves and marker lines in the chart: polylines of normalised points scaled
// to pixels, and straight segments between pixel positions.
#pragma once

#include <cstdint>

#include "console/window_layer.h"

namespace telmor {

inline constexpr std::uint32_t kBlue = 0xF00000;     // curves (0x00BBGGRR)
inline constexpr std::uint32_t kCyan = 0x0FFFFF00;   // marker lines, derivative curve

// Pixel column of a normalised x: x * 1000 formed in double precision from the
// single-precision value and truncated toward zero, limited to 16 bits.
std::int16_t pixel_x(float x);
// Pixel row of a normalised y: y * 300, likewise (0.9f lands on row 269).
std::int16_t pixel_y(float y);

// A curve's y held inside the drawing area: y <= 0 becomes 0.001, then
// y >= 1 becomes 0.999. A NaN (an infinite sample times a zero scale) lands
// on the top edge as well, so every point drawn is a real position.
inline float clamp_to_chart(float y) {
  if (!(y > 0.0f)) y = 0.001f;
  if (y >= 1.0f) y = 0.999f;
  return y;
}

// Polyline through point_count normalised points in blue (gpl) or cyan (gpl2).
// The colour stays in force afterwards. The first draw step goes from point 1
// to itself; fewer than one point draws nothing.
void gpl(WindowLayer& layer, std::int16_t point_count, const float* xn, const float* yn);
void gpl2(WindowLayer& layer, std::int16_t point_count, const float* xn, const float* yn);

// Move to / draw to a pixel position in the current colour.
void pabs(WindowLayer& layer, std::int16_t x, std::int16_t y);
void pabsd(WindowLayer& layer, std::int16_t x, std::int16_t y);
// One segment between two pixel positions in the current colour; sets no colour.
void line(WindowLayer& layer, std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2);

}  // namespace telmor
