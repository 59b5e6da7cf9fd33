// Spread of AT, RT and ARI over the leads, beat by beat.
#include "tissue/dispersion.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "tissue/beat_maps.h"

namespace telmor {
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
namespace {

struct Spread {
  double sd = kNan;
  double range = kNan;
  double iqr = kNan;
};

Spread spread(std::vector<double> values) {
  Spread s;
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  s.range = values.back() - values.front();
  s.iqr = sorted_quantile(values, 0.75) - sorted_quantile(values, 0.25);
  if (values.size() >= 2) {
    double mean = 0.0;
    for (const double v : values) mean += v;
    mean /= static_cast<double>(values.size());
    double squares = 0.0;
    for (const double v : values) squares += (v - mean) * (v - mean);
    s.sd = std::sqrt(squares / static_cast<double>(values.size() - 1));
  }
  return s;
}

}  // namespace

double sorted_quantile(std::span<const double> sorted, double q) {
  if (sorted.empty()) return kNan;
  const double h = static_cast<double>(sorted.size() - 1) * q;
  const auto i = static_cast<std::size_t>(std::floor(h));
  if (i + 1 >= sorted.size()) return sorted.back();
  return sorted[i] + (h - static_cast<double>(i)) * (sorted[i + 1] - sorted[i]);
}

std::vector<BeatDispersion> dispersion(const BeatTable& table) {
  std::vector<BeatDispersion> list;
  for (int beat = 1; beat <= table.beat_count(); ++beat) {
    std::vector<double> ats;
    std::vector<double> rts;
    std::vector<double> aris;
    BeatDispersion d;
    d.beat = beat;
    d.beat_ms = table.beats[static_cast<std::size_t>(beat - 1)];
    for (int lead = 1; lead <= table.leads; ++lead) {
      const BeatCell& cell = table.cell(lead, beat);
      const double at = mapped_time(table, lead, cell.at, true);
      const double rt = mapped_time(table, lead, cell.rt, false);
      if (std::isfinite(at)) ats.push_back(at);
      if (std::isfinite(rt)) rts.push_back(rt);
      if (std::isfinite(at) && std::isfinite(rt)) aris.push_back(rt - at);
      d.leads += std::isfinite(at) || std::isfinite(rt);
    }
    d.at_first_ms = ats.empty() ? kNan : *std::min_element(ats.begin(), ats.end());
    d.at_last_ms = ats.empty() ? kNan : *std::max_element(ats.begin(), ats.end());
    d.total_activation_ms = d.at_last_ms - d.at_first_ms;
    const Spread rt = spread(std::move(rts));
    const Spread ari = spread(std::move(aris));
    d.rt_sd_ms = rt.sd;
    d.rt_range_ms = rt.range;
    d.rt_iqr_ms = rt.iqr;
    d.ari_sd_ms = ari.sd;
    d.ari_range_ms = ari.range;
    d.ari_iqr_ms = ari.iqr;
    list.push_back(d);
  }
  return list;
}

}  // namespace telmor
