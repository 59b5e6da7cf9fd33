// The ranges a recording's own waves suggest.
#include "timing/range_suggestion.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "timing/analysis_settings.h"
#include "timing/mark_figures.h"

namespace telmor {
namespace {

constexpr double kAtMarginMs = 10.0;
constexpr double kRtMarginMs = 20.0;
constexpr std::size_t kLeastOffsets = 3;

// The first sample of the extremum of d over from..to (cut to d), 0 when it
// lies at an end or the span is empty.
int interior_extremum(std::span<const float> d, int from, int to, bool lowest) {
  from = std::max(from, 1);
  to = std::min(to, static_cast<int>(d.size()));
  if (to - from < 2) return 0;
  int found = from;
  for (int s = from + 1; s <= to; ++s) {
    const float v = d[static_cast<std::size_t>(s - 1)], best = d[static_cast<std::size_t>(found - 1)];
    if (lowest ? v < best : v > best) found = s;
  }
  return found == from || found == to ? 0 : found;
}

double percentile(std::vector<double> v, double share) {
  std::sort(v.begin(), v.end());
  const auto at = static_cast<std::size_t>(std::lround(share * static_cast<double>(v.size() - 1)));
  return v[at];
}

}  // namespace

SuggestedRanges suggest_ranges(const RangeEvidence& e) {
  SuggestedRanges r;
  const std::size_t n = e.beats.size();
  if (n < 2) return r;
  double at_low = std::numeric_limits<double>::infinity(), at_high = -at_low;
  double rt_low = at_low, rt_high = -at_low;
  for (std::size_t j = 0; j < e.at_deriv.size(); ++j) {
    const std::span<const float> at_d = e.at_deriv[j], rt_d = e.rt_deriv[j];
    std::vector<int> at(n, 0);
    std::vector<double> at_offsets, rt_offsets;
    const auto cycle_after = [&](std::size_t k) { return e.beats[k < n - 1 ? k + 1 : k] - e.beats[k < n - 1 ? k : k - 1]; };
    const auto cycle_before = [&](std::size_t k) { return e.beats[k > 0 ? k : 1] - e.beats[k > 0 ? k - 1 : 0]; };
    for (std::size_t k = 0; k < n; ++k) {
      const int t = interior_extremum(at_d, e.beats[k] - cycle_before(k) / 3, e.beats[k] + cycle_after(k) / 3, true);
      if (t == 0 || !(mark_quality(at_d, static_cast<float>(t), e.at_noise[j]) >= kWeakAtQuality)) continue;
      at[k] = t;
      at_offsets.push_back((t - e.beats[k]) / e.per_ms);
    }
    for (std::size_t k = 0; k + 1 < n; ++k) {
      if (at[k] == 0) continue;
      const int next = at[k + 1] != 0 ? at[k + 1] : e.beats[k + 1];
      const int t = interior_extremum(rt_d, at[k] + cycle_after(k) / 5, next - e.margin, false);
      if (t == 0 || !(mark_quality(rt_d, static_cast<float>(t), e.rt_noise[j]) >= kWeakRtQuality)) continue;
      rt_offsets.push_back((t - e.beats[k]) / e.per_ms);
    }
    if (at_offsets.size() < kLeastOffsets || rt_offsets.size() < kLeastOffsets) continue;
    ++r.leads_used;
    at_low = std::min(at_low, percentile(at_offsets, 0.05));
    at_high = std::max(at_high, percentile(at_offsets, 0.95));
    rt_low = std::min(rt_low, percentile(rt_offsets, 0.05));
    rt_high = std::max(rt_high, percentile(rt_offsets, 0.95));
  }
  if (r.leads_used == 0) return r;
  const auto bound = [](double ms) {
    return static_cast<std::int32_t>(std::clamp(ms, double{kLowestRangeBound}, double{kHighestRangeBound}));
  };
  r.found = true;
  r.at_from = bound(std::floor(at_low - kAtMarginMs));
  r.at_to = bound(std::ceil(at_high + kAtMarginMs));
  r.rt_from = bound(std::floor(rt_low - kRtMarginMs));
  r.rt_to = bound(std::ceil(rt_high + kRtMarginMs));
  return r;
}

}  // namespace telmor
