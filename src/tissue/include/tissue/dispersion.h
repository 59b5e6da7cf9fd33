// The dispersion of activation and repolarisation over the leads, per beat.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "timing/beat_table.h"

namespace telmor {

// One beat over the leads whose beat owns exactly one AT or one RT (the
// marks' times, mark_time). Each figure uses the leads that have its values
// and is NaN without them; the standard deviations (sample, n - 1) need two.
struct BeatDispersion {
  int beat = 0;
  std::int32_t beat_ms = 0;
  double at_first_ms = 0.0;
  double at_last_ms = 0.0;
  double total_activation_ms = 0.0;  // at_last_ms - at_first_ms
  double rt_sd_ms = 0.0;
  double rt_range_ms = 0.0;
  double rt_iqr_ms = 0.0;
  double ari_sd_ms = 0.0;
  double ari_range_ms = 0.0;
  double ari_iqr_ms = 0.0;
  int leads = 0;  // leads with an AT or an RT
};

// Beats 1..n.
std::vector<BeatDispersion> dispersion(const BeatTable& table);

// The q quantile (0..1) of values (sorted ascending) by linear interpolation
// between the order statistics at (n - 1) q, as numpy's default and R's
// type 7; NaN when values is empty.
double sorted_quantile(std::span<const double> sorted, double q);

}  // namespace telmor
