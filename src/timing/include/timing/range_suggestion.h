// Recognition ranges suggested from the recording itself, so that they hold
// every lead's activation and T wave however far the activation spreads and
// however the cycle length changes: ranges fixed in ms miss the late sites'
// ATs and either miss their T waves or reach the next beat.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace telmor {

struct SuggestedRanges {
  bool found = false;  // no lead showed clear enough waves: nothing to suggest
  std::int32_t at_from = 0, at_to = 0, rt_from = 0, rt_to = 0;  // ms from a beat
  int leads_used = 0;
};

// What the suggestion looks at: each lead's AT and RT derivative and their
// noise (derivative_noise), the beats (samples, ascending), the samples per
// ms and how far before the next AT an RT search ends (samples: the margin
// and the RT derivative's reach).
struct RangeEvidence {
  std::vector<std::span<const float>> at_deriv, rt_deriv;
  std::vector<double> at_noise, rt_noise;
  std::span<const int> beats;
  double per_ms = 1.0;
  int margin = 0;
};

// For every beat with a neighbour and every lead: its steepest fall within a
// third of the cycle either side of the beat, taken when it stands out of the
// noise as an AT that is not weak (quality 10) and lies inside that span; then
// its steepest T-wave rise from a fifth of the cycle after that AT to the
// margin before its next one, taken when not weak (quality 4.5). Per lead the
// 5th and 95th percentiles of each kind's offsets from the beat (three at
// least); the AT range from the lowest 5th to the highest 95th with 10 ms
// either side, the RT range the same with 20 ms, in whole ms within the
// bounds a click into d's window gives (-200 .. 1466).
SuggestedRanges suggest_ranges(const RangeEvidence& evidence);

}  // namespace telmor
