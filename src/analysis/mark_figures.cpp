// Fine times and qualities of marks from a lead's derivative.
#include "analysis/mark_figures.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "analysis/order_statistic.h"

namespace telmor {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The median of values: the middle one, or the mean of the middle two.
double median_of(std::span<const double> values, std::vector<std::uint64_t>& keys) {
  const std::size_t n = values.size();
  if (n % 2 == 1) return kth_smallest(values, n / 2, keys);
  const auto [lower, upper] = kth_and_below(values, n / 2, keys);
  return (lower + upper) / 2.0;
}

void fill_column(std::span<const float> deriv, double noise, const MarkColumn& times, int rows,
                 bool at, MarkFigures::Column& fine, MarkFigures::Column& quality) {
  const auto used = static_cast<std::size_t>(std::clamp(rows, 0, kMaxRows));
  lead_mark_figures(deriv, noise, std::span(times.data(), used), at, std::span(fine.data(), used),
                    std::span(quality.data(), used));
}

}  // namespace

double fine_time_ms(std::span<const float> deriv, float t, bool at) {
  const auto n = static_cast<long>(deriv.size());
  const double time = static_cast<double>(t);
  if (!std::isfinite(t) || std::trunc(time) != time || time < 2.0 || time > static_cast<double>(n - 1))
    return time;
  const auto i = static_cast<std::size_t>(time) - 1;  // sample t
  const double before = deriv[i - 1], here = deriv[i], after = deriv[i + 1];
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
  if (deriv.empty()) return kNaN;
  std::vector<double> values(deriv.begin(), deriv.end());
  std::vector<std::uint64_t> keys;
  const double centre = median_of(values, keys);
  for (double& v : values) v = std::fabs(v - centre);
  return 1.4826 * median_of(values, keys);
}

double mark_quality(std::span<const float> deriv, float t, double noise) {
  if (!std::isfinite(t) || !(noise > 0.0)) return kNaN;
  const long sample = std::lround(t);
  if (sample < 1 || sample > static_cast<long>(deriv.size())) return kNaN;
  return std::fabs(static_cast<double>(deriv[static_cast<std::size_t>(sample - 1)])) / noise;
}

MarkFigures mark_figures(const RunRecord& record) {
  MarkFigures figures;
  for (int lead = 1; lead <= std::clamp(record.lead_count, 0, kMaxLeads); ++lead) {
    const auto l = static_cast<std::size_t>(lead - 1);
    const std::span<const float> deriv(
        record.deriv_table[l].data(),
        static_cast<std::size_t>(std::clamp(record.sample_count, 0, kMaxSamples)));
    const double noise = derivative_noise(deriv);
    fill_column(deriv, noise, record.marks.at_ms_table[l], record.marks.at_beat_count, true,
                figures.at_fine_ms[l], figures.at_quality[l]);
    fill_column(deriv, noise, record.marks.rt_ms_table[l], record.marks.rt_beat_count, false,
                figures.rt_fine_ms[l], figures.rt_quality[l]);
  }
  return figures;
}

ResultsSnapshot snapshot_with_figures(const RunRecord& record) {
  ResultsSnapshot snapshot = snapshot_results(record);
  snapshot.figures = mark_figures(record);
  return snapshot;
}

}  // namespace telmor
