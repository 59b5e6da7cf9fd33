// The beat search on one lead's derivative, and the amplitude that decides
// whether a recording holds any data at all.
#pragma once

#include <span>
#include <vector>

namespace telmor {

// The largest |value| over samples 100..1000 of the first three of leads
// (sample i of lead j at leads[j - 1][i - 1]), reading 0.0 where a lead is
// missing or shorter. The overview's vertical scale is made for it; 0.0 means
// the recording holds no data.
float overview_amplitude(std::span<const std::span<const float>> leads);

// Finds the beats of a lead as its steepest downstrokes (slopes per second
// of deriv x 1000, sample i at deriv[i - 1]): pass after pass, the most
// negative slope left within samples 100..size-100 (the earliest of equal
// ones) is recorded and the stretch from 100 ms before to 200 ms after it is
// blanked, as long as it is steeper (strictly below) than amp_ratio times the
// steepest slope of samples 2..size-2, and at most max_beats times. The first
// pass whose minimum is not is no beat and ends the search. Returns the beats'
// samples in the order the passes found them.
std::vector<int> find_beats(std::span<const float> deriv, float amp_ratio, int max_beats);

}  // namespace telmor
