// A recording's signals as the preparation reads and writes them, wherever
// they are stored: the interactive program's fixed tables or tables sized to
// one recording of any length and lead count.
#pragma once

#include <cstddef>

#include "base/fit_messages.h"

namespace telmor {

// The preparation fits each lead second by second: one second of the
// interactive program is 1000 samples, and the legacy fit's abscissae count
// them.
inline constexpr int kFitBlockSamples = 1000;

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
  int seconds() const { return (sample_count + kFitBlockSamples - 1) / kFitBlockSamples; }
  std::size_t at(int lead, int sample) const {
    return static_cast<std::size_t>(lead - 1) * lead_stride + static_cast<std::size_t>(sample - 1);
  }
};

}  // namespace telmor
