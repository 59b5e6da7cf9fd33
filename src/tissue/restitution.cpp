// Restitution points and the slope of ARI over DI per lead.
#include "tissue/restitution.h"

#include <cmath>
#include <numbers>

#include "tissue/beat_maps.h"

namespace telmor {
namespace {

// P(|T| <= t) for nu degrees of freedom, from theta = atan(t / sqrt(nu)):
// the finite series of Abramowitz and Stegun 26.7.3 (nu odd) and 26.7.4
// (nu even).
double t_central_probability(double t, int nu) {
  const double theta = std::atan(t / std::sqrt(static_cast<double>(nu)));
  const double s = std::sin(theta);
  const double c2 = std::cos(theta) * std::cos(theta);
  if (nu % 2 == 0) {
    double term = 1.0;
    double sum = 1.0;
    for (int k = 2; k <= nu - 2; k += 2) {
      term *= c2 * (k - 1) / k;
      sum += term;
    }
    return s * sum;
  }
  double sum = 0.0;
  if (nu > 1) {
    double term = std::cos(theta);
    sum = term;
    for (int k = 3; k <= nu - 2; k += 2) {
      term *= c2 * (k - 1) / k;
      sum += term;
    }
  }
  return 2.0 / std::numbers::pi * (theta + s * sum);
}

void fit(int lead, const std::vector<RestitutionPoint>& points, std::vector<RestitutionSlope>& slopes) {
  double n = 0.0;
  double mean_di = 0.0;
  double mean_ari = 0.0;
  for (const RestitutionPoint& p : points) {
    if (p.lead != lead || !std::isfinite(p.di_ms) || !std::isfinite(p.ari_ms)) continue;
    n += 1.0;
    mean_di += p.di_ms;
    mean_ari += p.ari_ms;
  }
  if (n < kRestitutionMinBeats) return;
  mean_di /= n;
  mean_ari /= n;
  // Sums about the means: the textbook formulas without their cancellation.
  double sxx = 0.0;
  double sxy = 0.0;
  for (const RestitutionPoint& p : points) {
    if (p.lead != lead || !std::isfinite(p.di_ms) || !std::isfinite(p.ari_ms)) continue;
    sxx += (p.di_ms - mean_di) * (p.di_ms - mean_di);
    sxy += (p.di_ms - mean_di) * (p.ari_ms - mean_ari);
  }
  if (!(sxx > 0.0)) return;
  const double slope = sxy / sxx;
  const double intercept = mean_ari - slope * mean_di;
  double sse = 0.0;
  for (const RestitutionPoint& p : points) {
    if (p.lead != lead || !std::isfinite(p.di_ms) || !std::isfinite(p.ari_ms)) continue;
    const double r = p.ari_ms - (intercept + slope * p.di_ms);
    sse += r * r;
  }
  const int df = static_cast<int>(n) - 2;
  const double half = student_t_two_sided(0.05, df) * std::sqrt(sse / df / sxx);
  slopes.push_back({lead, static_cast<int>(n), slope, intercept, slope - half, slope + half});
}

}  // namespace

double student_t_two_sided(double alpha, int degrees_of_freedom) {
  if (!(alpha > 0.0 && alpha < 1.0) || degrees_of_freedom < 1) return std::nan("");
  const double target = 1.0 - alpha;
  double low = 0.0;
  double high = 1.0;
  while (t_central_probability(high, degrees_of_freedom) < target) high *= 2.0;
  for (int i = 0; i < 200 && high - low > 1e-13 * high; ++i) {
    const double mid = 0.5 * (low + high);
    (t_central_probability(mid, degrees_of_freedom) < target ? low : high) = mid;
  }
  return 0.5 * (low + high);
}

Restitution restitution(const BeatTable& table) {
  Restitution r;
  for (int lead = 1; lead <= table.leads; ++lead) {
    if (table.dead(lead)) continue;  // no signal to measure
    for (int k = 2; k <= table.beat_count(); ++k) {
      const BeatCell& now = table.cell(lead, k);
      const BeatCell& before = table.cell(lead, k - 1);
      const double at = mapped_time(table, lead, now.at, true);
      RestitutionPoint p;
      p.lead = lead;
      p.beat = k;
      p.cl_ms = static_cast<double>(table.beats[static_cast<std::size_t>(k - 1)]) -
                table.beats[static_cast<std::size_t>(k - 2)];
      p.di_ms = at - mapped_time(table, lead, before.rt, false);
      p.ari_ms = mapped_time(table, lead, now.rt, false) - at;
      r.points.push_back(p);
    }
    fit(lead, r.points, r.slopes);
  }
  return r;
}

}  // namespace telmor
