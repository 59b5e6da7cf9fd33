// Restitution of the activation-recovery interval per lead: how ARI follows
// the diastolic interval that precedes the beat.
#pragma once

#include <cstdint>
#include <vector>

#include "timing/beat_table.h"

namespace telmor {

// Beat k (k > 1) of one lead: CL = beat_k - beat_(k-1), DI = AT_k - RT_(k-1),
// ARI_k = RT_k - AT_k, from the marks' times (mark_time); NaN where a mark
// is a gap.
struct RestitutionPoint {
  int lead = 0;
  int beat = 0;
  double cl_ms = 0.0;
  double di_ms = 0.0;
  double ari_ms = 0.0;
};

// The least-squares line ARI = intercept + slope * DI of one lead, over its
// beats with all three values, with the slope's 95 % confidence interval
// (Student's t with points - 2 degrees of freedom).
struct RestitutionSlope {
  int lead = 0;
  int points = 0;
  double slope = 0.0;
  double intercept = 0.0;
  double slope_low = 0.0;
  double slope_high = 0.0;
};

// Fewer beats with DI and ARI than this give no slope.
inline constexpr int kRestitutionMinBeats = 5;

struct Restitution {
  std::vector<RestitutionPoint> points;  // lead by lead, beats 2..n
  std::vector<RestitutionSlope> slopes;  // leads with a slope, ascending
};

// Leads 1..table.leads. A lead whose DIs are all equal has no slope.
Restitution restitution(const BeatTable& table);

// The two-sided 1 - alpha quantile of Student's t, t such that
// P(|T| <= t) = 1 - alpha, for a whole number of degrees of freedom >= 1
// (bisection on the closed-form distribution, Abramowitz and Stegun 26.7.3
// and 26.7.4); NaN for other arguments.
double student_t_two_sided(double alpha, int degrees_of_freedom);

}  // namespace telmor
