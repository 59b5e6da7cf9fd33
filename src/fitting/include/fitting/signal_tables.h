// A recording's signals as the preparation reads and writes them, wherever
// they are stored: the interactive program's fixed tables or tables sized to
// one recording of any length and lead count.
#pragma once

#include <cstddef>

#include "record/run_record.h"

namespace telmor {

// Lead j (1-based), sample i (1-based) at [(j - 1) * lead_stride + (i - 1)]
// of wave and deriv; lead_stride is at least sample_count.
struct SignalTables {
  float* wave = nullptr;
  float* deriv = nullptr;
  std::size_t lead_stride = 0;
  int lead_count = 0;
  int sample_count = 0;
  int smooth_points = 0;

  // Seconds the preparation fits: a last, partial second counts as one.
  int seconds() const { return (sample_count + kBlockSamples - 1) / kBlockSamples; }
  std::size_t at(int lead, int sample) const {
    return static_cast<std::size_t>(lead - 1) * lead_stride + static_cast<std::size_t>(sample - 1);
  }
};

// The record's tables are read lead after lead through one pointer.
static_assert(sizeof(Table<kMaxLeads, kMaxSamples>) == sizeof(float) * kMaxLeads * kMaxSamples);

// The record's tables, with its lead count, sample count and smoothing.
inline SignalTables signal_tables(RunRecord& r) {
  return {&r.wave_table[0][0], &r.deriv_table[0][0], kMaxSamples, r.lead_count, r.sample_count,
          r.smooth_points};
}

// How many of each message the fits wrote.
struct FitMessageCounts {
  int parameter_errors = 0;  // windows the fit refused: too few points
  int x_warnings = 0;
  int y_warnings = 0;
  int not_positive_definite = 0;
  int total() const { return parameter_errors + x_warnings + y_warnings + not_positive_definite; }
};

}  // namespace telmor
