// The beat search on one lead's derivative, and the amplitude that decides
// whether a recording holds any data at all.
#pragma once

#include <span>
#include <vector>

namespace telmor {

// The largest |value| over samples from..to (at 1 kHz 100..1000 ms) of the
// first three of leads (sample i of lead j at leads[j - 1][i - 1]), reading
// 0.0 where a lead is missing or shorter. The overview's vertical scale is
// made for it; 0.0 means the recording holds no data.
float overview_amplitude(std::span<const std::span<const float>> leads, int from = 100, int to = 1000);

// The lengths of the beat search, in samples: at 1 kHz, as specified, no
// beat in the first or last 100 ms, and 100 ms before and 200 ms after a
// found beat blanked.
struct BeatBlanking {
  int margin = 100;
  int before = 100;
  int after = 200;
};

// How far out of its lead's noise a beat's slope must stand with the centred
// derivative: more than six times the derivative's noise (derivative_noise,
// a standard deviation). Its cubic slope over ±7 samples is about 2.5 times
// as noisy as the straight-line slope the legacy fit takes over most of each
// second, and at 2 % noise a tenth of the steepest slope lies within three
// noise deviations: noise alone made beats. True beats stood above ten.
inline constexpr double kBeatNoiseFloor = 6.0;

// Finds the beats of a lead as its steepest downstrokes (slopes per second
// of deriv x 1000, deriv per ms, sample i at deriv[i - 1]): pass after pass,
// the most negative slope left within samples margin..size-margin (the
// earliest of equal ones) is recorded and the stretch from `before` samples
// before to `after` samples after it is blanked, as long as it is steeper
// (strictly below) than amp_ratio times the steepest slope of samples
// 2..size-2 and, when least_slope (per ms) is above zero, than -least_slope,
// and at most max_beats times. The first pass whose minimum is not is no beat
// and ends the search. Returns the beats' samples in the order the passes
// found them.
std::vector<int> find_beats(std::span<const float> deriv, float amp_ratio, int max_beats,
                            const BeatBlanking& blanking = {}, double least_slope = 0.0);

}  // namespace telmor
