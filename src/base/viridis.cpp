// Viridis from its published key colours.
#include "base/viridis.h"

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

Rgb8 viridis_rgb(double t) {
  if (!(t > 0.0)) t = 0.0;
  t = std::min(t, 1.0);
  const double at = t * (kKeys.size() - 1);
  const auto low = static_cast<std::size_t>(std::floor(at));
  const std::size_t high = std::min(low + 1, kKeys.size() - 1);
  const double f = at - static_cast<double>(low);
  int rgb[3];
  for (std::size_t c = 0; c < 3; ++c) {
    rgb[c] = static_cast<int>(std::lround(kKeys[low][c] + f * (kKeys[high][c] - kKeys[low][c])));
  }
  return {rgb[0], rgb[1], rgb[2]};
}

}  // namespace telmor
