// Pieces of the signal preparation shared by its reference and fast paths.
#pragma once

#include <algorithm>

#include "fitting/signal_tables.h"

namespace telmor {

// The preparation fits cubics.
inline constexpr int kPreparationDegree = 3;

// Clears deriv of lead j over the recording and subtracts the lead's mean,
// summed in single precision in sample order, from its samples.
inline void remove_baseline(const SignalTables& t, int j) {
  float* const wave = t.wave + t.at(j, 1);
  float* const deriv = t.deriv + t.at(j, 1);
  const auto n = static_cast<std::size_t>(t.sample_count);
  float sum = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    deriv[i] = 0.0f;
    sum += wave[i];
  }
  const float mean = sum / static_cast<float>(t.sample_count);
  for (std::size_t i = 0; i < n; ++i) wave[i] -= mean;
}

// How far past a block's ends a fit window can reach: smooth_points, but never
// further than a whole recording of the interactive program (the smoothing
// is at most 499 points).
inline constexpr int kMaxWindowReach = 30000;
inline int window_reach(int smooth_points) { return std::clamp(smooth_points, 0, kMaxWindowReach); }

// The fit window of block index m in the second whose samples follow sample
// `offset`, in block indices (the fit's abscissae): it asks for
// m - smooth_points .. m + smooth_points, takes the neighbouring seconds'
// samples of the same lead where it reaches past the block's ends, and is cut
// only at the recording's ends, sample 1 and sample_count (block indices
// 1 - offset and sample_count - offset). Differentiating each second on its
// own would leave its first and last samples with one-sided windows, whose
// slopes are several times noisier than the interior's.
struct FitWindow {
  int first = 0;  // m - smooth_points, as asked: the refusal message names it
  int k1 = 0;     // first point used
  int last = 0;   // last point used
  int points() const { return last - k1 + 1; }
};

inline FitWindow fit_window(int m, int smooth_points, int offset, int sample_count) {
  FitWindow w;
  w.first = m - smooth_points;
  w.k1 = std::max(w.first, 1 - offset);
  w.last = std::min(m + smooth_points, sample_count - offset);
  return w;
}

// Slope at block index m of the cubic with coefficients b[0..2] of x, x^2,
// x^3: (b1 + 2 b2 m) + 3 b3 m^2 in double precision, rounded once.
inline float cubic_slope(const float* b, int m) {
  const double dm = m;
  return static_cast<float>((static_cast<double>(b[0]) + 2.0 * static_cast<double>(b[1]) * dm) +
                            3.0 * static_cast<double>(b[2]) * (dm * dm));
}


}  // namespace telmor
