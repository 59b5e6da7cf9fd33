// Viridis, from its published key colours, interpolated linearly.
#include "gui/colour_scale.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace telmor {
namespace {

// Viridis at t = 0, 1/8, ..., 1 (matplotlib's table, every 32nd entry).
constexpr std::array<std::array<int, 3>, 9> kKeys = {{
    {68, 1, 84},
    {71, 44, 122},
    {59, 81, 139},
    {44, 113, 142},
    {33, 144, 141},
    {39, 173, 129},
    {92, 200, 99},
    {170, 220, 50},
    {253, 231, 37},
}};

}  // namespace

QColor scale_colour(double t) {
  if (!(t > 0.0)) t = 0.0;
  t = std::min(t, 1.0);
  const double at = t * (kKeys.size() - 1);
  const auto low = static_cast<std::size_t>(std::floor(at));
  const std::size_t high = std::min(low + 1, kKeys.size() - 1);
  const double f = at - static_cast<double>(low);
  int rgb[3];
  for (int c = 0; c < 3; ++c) {
    rgb[c] = static_cast<int>(std::lround(kKeys[low][c] + f * (kKeys[high][c] - kKeys[low][c])));
  }
  return QColor(rgb[0], rgb[1], rgb[2]);
}

QColor text_colour_on(const QColor& background) {
  // Relative luminance by the sRGB weights, on the rough 0..255 values.
  const double luminance =
      0.2126 * background.red() + 0.7152 * background.green() + 0.0722 * background.blue();
  return luminance > 140.0 ? QColor(Qt::black) : QColor(Qt::white);
}

}  // namespace telmor
