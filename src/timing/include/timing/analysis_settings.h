// The settings of an analysis: the start-up dialogue's and the recognition
// ranges of d, with the bounds an analysis accepts them within.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

namespace telmor {

// How the derivative is made, and with it how c searches:
// - centred: at every sample the slope of the least-squares cubic over the
//   samples within ±smoothing of it, abscissae centred on the window, the
//   same wherever the sample lies; RT on a derivative of its own smoothing;
// - legacy: the interactive program's specified arithmetic bit for bit
//   (abscissae counted within each one-second block, one derivative for AT
//   and RT, 1 kHz only), to reproduce published results.
enum class Estimator : std::uint8_t { centred, legacy };

// "centred" or "legacy"; nullopt for any other name.
std::string_view estimator_name(Estimator estimator);
std::optional<Estimator> estimator_named(std::string_view name);

// The half width of the RT derivative's window by default, in ms: a T wave is
// tens of ms long, where the AT's deflection is a few (the accuracy page says
// how it was chosen).
inline constexpr std::int32_t kDefaultRtSmoothMs = 35;

// An RT window ends where the fits of RT's derivative stop this far before
// the lead's next AT by default: the next beat's R wave rises from about
// 20 ms before its steepest fall.
inline constexpr std::int32_t kDefaultRtMarginMs = 20;
inline constexpr std::int32_t kMostRtMarginMs = 500;
// The beat search's blanking around a found beat, as specified at 1 kHz, and
// the most either may be.
inline constexpr std::int32_t kDefaultBlankBeforeMs = 100;
inline constexpr std::int32_t kDefaultBlankAfterMs = 200;
inline constexpr std::int32_t kMostBlankMs = 2000;

// The dialogue's settings and d's ranges, in ms relative to a beat (the
// defaults are the dialogue's), and the choices around them. Every length is
// in ms, whatever the recording's rate: the core turns it into samples once.
struct AnalysisSettings {
  std::int32_t smooth_ms = 7;  // the fit window's half width; SMOOTH_POINTS at 1 kHz
  float amp_ratio = 0.1f;
  std::int32_t at_from = -80;
  std::int32_t at_to = 80;
  std::int32_t rt_from = 100;
  std::int32_t rt_to = 200;
  int beat_lead = 1;  // the lead the beats are found on (an interactive session: lead 1)
  Estimator estimator = Estimator::centred;
  // The RT derivative's half width; nullopt: kDefaultRtSmoothMs (centred).
  // legacy has one derivative: it takes none.
  std::optional<std::int32_t> rt_smooth_ms;
  // The ranges suggested from the recording (suggest_ranges) instead of
  // at_from .. rt_to.
  bool auto_ranges = false;
  // centred: how far before the lead's next AT an RT window ends (nullopt:
  // kDefaultRtMarginMs), and RT windows counted from the lead's own AT
  // instead of the beat (from, to in ms after the AT). legacy searches as
  // specified: it takes neither.
  std::optional<std::int32_t> rt_margin_ms;
  std::optional<std::pair<std::int32_t, std::int32_t>> rt_after_at;
  // The beat search's blanking before and after a found beat (small hearts
  // beat faster than 300 ms allows).
  std::int32_t blank_before_ms = kDefaultBlankBeforeMs;
  std::int32_t blank_after_ms = kDefaultBlankAfterMs;

  std::int32_t rt_smooth() const { return rt_smooth_ms.value_or(kDefaultRtSmoothMs); }
  std::int32_t rt_margin() const { return rt_margin_ms.value_or(kDefaultRtMarginMs); }
};

// The lowest rate an analysis takes: below it a beat's steepest fall spans
// too few samples to place it.
inline constexpr double kMinRateHz = 250.0;
// The rate of the legacy arithmetic: its blocks are 1000 samples of one ms.
inline constexpr double kLegacyRateHz = 1000.0;

// The smoothing the fit window can take, in ms: a window of 2 × 499 + 1 ms
// still fits within the second of the interactive program; in samples it must
// hold five at least (a cubic's four coefficients and one more), fewer leave
// every fit refused and the derivative zero. (The interactive program's
// dialogue takes 0 and 1 as well, as specified.)
inline constexpr std::int32_t kMinSmoothPoints = 2;
inline constexpr std::int32_t kMaxSmoothPoints = 499;
inline constexpr int kMinHalfWidthSamples = 2;
// The bounds a click into d's one-second window can give, in ms from the beat.
inline constexpr std::int32_t kLowestRangeBound = -200;
inline constexpr std::int32_t kHighestRangeBound = 1466;

}  // namespace telmor
