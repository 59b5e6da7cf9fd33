// How far a mark can be trusted: where between two samples the extremum of the
// derivative lies, and how far the mark's slope stands out of its lead's noise.
// At 1 kHz a time in whole ms is off by up to 0.5 ms, the whole delay between
// electrodes a millimetre apart; a parabola through the derivative at the mark
// and its two neighbours locates the extremum far better.
#pragma once

#include <cstdint>
#include <span>
#include <vector>


namespace telmor {

// Below these qualities a mark is more often wrong than right, as the accuracy
// benchmark (bench/accuracy) measured it over all its conditions: every AT
// below 10 was wrong and none above 15; RTs cross at 4.5. The results view
// calls such marks weak.
inline constexpr double kWeakAtQuality = 10.0;
inline constexpr double kWeakRtQuality = 4.5;

// The fine time of a mark at time t (ms) in a lead whose derivative is deriv
// (sample i at deriv[i - 1]). Where t is a whole sample 2..n-1 at which the
// derivative has a local minimum (at: d(t) <= both neighbours) or maximum
// (not at: >= both), t + δ with δ = (d(t−1) − d(t+1)) / (2 (d(t−1) − 2 d(t) +
// d(t+1))) in double, clamped to ±0.5, and 0 when the denominator is 0. Any
// other time (a click between samples, a mark off an extremum) as it stands.
double fine_time_ms(std::span<const float> deriv, float t, bool at);

// The derivative's noise as a standard deviation that the beats do not
// inflate: 1.4826 × the median absolute deviation of deriv (the median of an
// even count is the mean of the middle two, in double). NaN when empty.
double derivative_noise(std::span<const float> deriv);

// The same with the scratch of the selection kept by the caller: a lead's
// worth of values and keys, reused from one lead to the next.
struct NoiseScratch {
  std::vector<double> values;
  std::vector<std::uint64_t> keys;
};
double derivative_noise(std::span<const float> deriv, NoiseScratch& scratch);

// |d(t)| / noise, with t taken at its nearest sample; NaN when that sample
// lies outside deriv or the noise is not positive.
double mark_quality(std::span<const float> deriv, float t, double noise);

// The figures of one lead's marks times[k] into fine[k] and quality[k],
// leaving those of empty entries (0.0) as they are.
void lead_mark_figures(std::span<const float> deriv, double noise, std::span<const float> times,
                       bool at, std::span<double> fine, std::span<double> quality);

}  // namespace telmor
