// Fine times and qualities of marks from a lead's derivative.
#include "timing/mark_figures.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "timing/order_statistic.h"

namespace telmor {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

double fine_time_ms(std::span<const float> deriv, float t, bool at) {
  const auto n = static_cast<long>(deriv.size());
  const double time = static_cast<double>(t);
  if (!std::isfinite(t) || std::trunc(time) != time || time < 2.0 || time > static_cast<double>(n - 1))
    return time;
  const auto i = static_cast<std::size_t>(time) - 1;  // sample t
  const double before = static_cast<double>(deriv[i - 1]), here = static_cast<double>(deriv[i]),
               after = static_cast<double>(deriv[i + 1]);
  const bool extremum = at ? here <= before && here <= after : here >= before && here >= after;
  if (!extremum) return time;
  const double denominator = 2.0 * (before - 2.0 * here + after);
  if (denominator == 0.0) return time;
  const double delta = std::clamp((before - after) / denominator, -0.5, 0.5);
  return time + delta;
}

void lead_mark_figures(std::span<const float> deriv, double noise, std::span<const float> times,
                       bool at, std::span<double> fine, std::span<double> quality) {
  for (std::size_t row = 0; row < times.size(); ++row) {
    const float t = times[row];
    if (t == 0.0f) continue;
    fine[row] = fine_time_ms(deriv, t, at);
    quality[row] = mark_quality(deriv, t, noise);
  }
}

double derivative_noise(std::span<const float> deriv) {
  NoiseScratch scratch;
  return derivative_noise(deriv, scratch);
}

double derivative_noise(std::span<const float> deriv, NoiseScratch& scratch) {
  if (deriv.empty()) return kNaN;
  std::vector<double>& values = scratch.values;
  values.assign(deriv.begin(), deriv.end());
  const double centre = median_of(values, scratch.keys);
  for (double& v : values) v = std::fabs(v - centre);
  return 1.4826 * median_of(values, scratch.keys);
}

double mark_quality(std::span<const float> deriv, float t, double noise) {
  if (!std::isfinite(t) || !(noise > 0.0)) return kNaN;
  const long sample = std::lround(t);
  if (sample < 1 || sample > static_cast<long>(deriv.size())) return kNaN;
  return std::fabs(static_cast<double>(deriv[static_cast<std::size_t>(sample - 1)])) / noise;
}

}  // namespace telmor
