// The settings of an analysis: the start-up dialogue's and the recognition
// ranges of d, with the bounds an analysis accepts them within.
#pragma once

#include <cstdint>

namespace telmor {

// The dialogue's settings and d's ranges, in ms relative to a beat; the
// defaults are the dialogue's.
struct AnalysisSettings {
  std::int32_t smooth_points = 7;
  float amp_ratio = 0.1f;
  std::int32_t at_from = -80;
  std::int32_t at_to = 80;
  std::int32_t rt_from = 100;
  std::int32_t rt_to = 200;
  int beat_lead = 1;  // the lead the beats are found on (an interactive session: lead 1)
};

// The smoothing the fit window can take: a cubic needs five points (fewer
// leave every fit refused and the derivative zero), and a window of 2 × 499
// + 1 points still fits within the second of the interactive program. (The
// interactive program's dialogue takes 0 and 1 as well, as specified.)
inline constexpr std::int32_t kMinSmoothPoints = 2;
inline constexpr std::int32_t kMaxSmoothPoints = 499;
// The bounds a click into d's one-second window can give, in ms from the beat.
inline constexpr std::int32_t kLowestRangeBound = -200;
inline constexpr std::int32_t kHighestRangeBound = 1466;

}  // namespace telmor
