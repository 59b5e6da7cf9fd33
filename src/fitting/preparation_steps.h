// Pieces of the signal preparation shared by its reference and fast paths.
#pragma once

#include "record/run_record.h"

namespace telmor {

// Clears deriv of lead j over the recording and subtracts the lead's mean,
// summed in single precision in sample order, from its samples.
inline void remove_baseline(RunRecord& r, int j) {
  float sum = 0.0f;
  for (int i = 1; i <= r.sample_count; ++i) {
    r.deriv(j, i) = 0.0f;
    sum += r.wave(j, i);
  }
  const float mean = sum / static_cast<float>(r.sample_count);
  for (int i = 1; i <= r.sample_count; ++i) r.wave(j, i) -= mean;
}

// Slope at block index m of the cubic with coefficients b[0..2] of x, x^2,
// x^3: (b1 + 2 b2 m) + 3 b3 m^2 in double precision, rounded once.
inline float cubic_slope(const float* b, int m) {
  const double dm = m;
  return static_cast<float>((static_cast<double>(b[0]) + 2.0 * static_cast<double>(b[1]) * dm) +
                            3.0 * static_cast<double>(b[2]) * (dm * dm));
}

inline void set_time_axis(RunRecord& r) {
  for (int i = 1; i <= r.sample_count; ++i) r.time_ms(i) = static_cast<float>(i);
}

}  // namespace telmor
