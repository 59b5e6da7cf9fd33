// Polyline and segment drawing over the window layer.
#include "console/curve_drawing.h"

#include <cmath>

namespace telmor {
namespace {

// Truncates toward zero into the signed 16-bit range; a curve point of an
// unusually large sample is held at the range's end instead of wrapping.
std::int16_t to_pixel(double scaled) {
  if (std::isnan(scaled)) return 0;
  if (scaled >= 32767.0) return 32767;
  if (scaled <= -32768.0) return -32768;
  return static_cast<std::int16_t>(std::trunc(scaled));
}

void polyline(WindowLayer& layer, std::uint32_t colour, std::int16_t point_count,
              const float* xn, const float* yn) {
  if (point_count < 1) return;
  layer.set_color_rgb(colour);
  pabs(layer, pixel_x(xn[0]), pixel_y(yn[0]));
  for (int k = 0; k < point_count; ++k) pabsd(layer, pixel_x(xn[k]), pixel_y(yn[k]));
}

}  // namespace

std::int16_t pixel_x(float x) { return to_pixel(static_cast<double>(x) * 1000.0); }
std::int16_t pixel_y(float y) { return to_pixel(static_cast<double>(y) * 300.0); }

void gpl(WindowLayer& layer, std::int16_t point_count, const float* xn, const float* yn) {
  polyline(layer, kBlue, point_count, xn, yn);
}

void gpl2(WindowLayer& layer, std::int16_t point_count, const float* xn, const float* yn) {
  polyline(layer, kCyan, point_count, xn, yn);
}

void pabs(WindowLayer& layer, std::int16_t x, std::int16_t y) { layer.move_to(x, y); }
void pabsd(WindowLayer& layer, std::int16_t x, std::int16_t y) { layer.line_to(x, y); }

void line(WindowLayer& layer, std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) {
  layer.move_to(x1, y1);
  layer.line_to(x2, y2);
}

}  // namespace telmor
