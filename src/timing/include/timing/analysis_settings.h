// The settings of an analysis: the start-up dialogue's and the recognition
// ranges of d, with the bounds an analysis accepts them within.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

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

  std::int32_t rt_smooth() const { return rt_smooth_ms.value_or(kDefaultRtSmoothMs); }
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
