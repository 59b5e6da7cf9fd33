// The analysis core: a recording of any size analysed as an interactive
// session analyses it from the settings dialogue to c (baseline, smoothed
// derivative, beats, AT and RT of every beat in every lead), without a
// console, a window or the interactive program's limits.
//
// Units and origins, for every value the core returns:
// - a time is a double in ms from the recording's origin, sample i lying at
//   i × 1000 / rate ms (at 1 kHz sample 1 at 1 ms, as the interactive program
//   counts); beats, marks and fine times alike;
// - a quality is a double, the mark's slope in units of its lead's
//   derivative noise;
// - NaN is "none": no mark, no fine time, no quality.
// Beats and leads count from 1 in the accessors; the tables are beats ×
// leads, row-major (one beat's leads side by side).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/fit_messages.h"
#include "signal/mark_kind.h"
#include "signal/recording.h"
#include "timing/analysis_settings.h"
#include "timing/cycle_search.h"

namespace telmor {

struct AnalyseOptions {
  bool keep_derivative = false;  // hand back the derivative of every lead
  int threads = 1;               // threads for the fits; 0: one per core
};

// What an analysis keeps from one call to the next: the plans of the fits,
// which are the same for every recording of one smoothing. Optional; one per
// thread that analyses (a workspace is not shared between threads).
class AnalysisWorkspace {
 public:
  AnalysisWorkspace();
  ~AnalysisWorkspace();
  AnalysisWorkspace(const AnalysisWorkspace&) = delete;
  AnalysisWorkspace& operator=(const AnalysisWorkspace&) = delete;

  struct Parts;
  Parts& parts() { return *parts_; }

 private:
  std::unique_ptr<Parts> parts_;
};

// Why an analysis was refused, as a value: the settings or the recording.
enum class AnalysisFault : std::uint8_t {
  none,
  no_leads,             // the recording holds no lead
  no_samples,           // the recording holds no sample
  values_mismatch,      // the values are not leads × samples
  too_short,            // value: the samples, fewer than a second's
  beat_lead_outside,    // value: the beat lead asked for; leads: the recording's
  smoothing_outside,    // value: the smoothing, outside kMinSmoothPoints..kMaxSmoothPoints
  ratio_outside,        // value: the amplitude ratio, outside 0..1
  range_bound_outside,  // part: the bound (at_from, at_to, rt_from, rt_to); value
  range_reversed,       // part: the range (at, rt) whose end precedes its start
  rate_outside,         // value: the rate in Hz, not finite or below kMinRateHz
  window_too_narrow,    // part: the derivative (at, rt); value: its half width in samples
  rt_smoothing_outside, // value: the RT smoothing in ms, outside kMinSmoothPoints..kMaxSmoothPoints
  legacy_rate,          // value: the rate; the legacy arithmetic is 1 kHz's
  legacy_rt_smoothing,  // legacy has one derivative: an RT smoothing was given
  rt_margin_outside,    // value: the RT margin in ms, outside 0..kMostRtMarginMs
  rt_window_outside,    // part: window_from, window_to or window_reversed; value: the bound (ms after the AT)
  blanking_outside,     // part: before or after; value: the blanking in ms, outside 0..kMostBlankMs
  legacy_cycle_options, // legacy searches as specified: an RT margin or an RT window after the AT was given
  no_amplitude,         // the beat lead (lead) holds no amplitude over 100 to 1000 ms
  // Amplitudes single precision cannot hold meaningfully: the derivative of
  // a lead (lead) overflows, or the beat lead's derivative is all zero where
  // its samples are not (the values too small for the fit's sums).
  derivative_not_finite,
  amplitude_lost,
};

// The part of the settings a fault is about, where the fault has parts.
enum class SettingPart : std::uint8_t {
  none,
  at_from, at_to, rt_from, rt_to,            // a bound of the ranges
  at, rt,                                    // the AT's or the RT's range or derivative
  window_from, window_to, window_reversed,   // the RT window after the AT
  before, after,                             // the beat search's blanking
};

struct AnalysisProblem {
  AnalysisFault fault = AnalysisFault::none;
  SettingPart part = SettingPart::none;
  double value = 0.0;  // the value refused, where the fault names one
  int lead = 0;        // the lead the fault is in, where it is in one
  int leads = 0;       // beat_lead_outside: the recording's

  explicit operator bool() const { return fault != AnalysisFault::none; }
  friend bool operator==(const AnalysisProblem&, const AnalysisProblem&) = default;
};

// A lead whose marks of one kind crowd an end of their windows or are weak:
// `edges` of the beats searched.
struct RangeWarning {
  int lead = 0;
  MarkKind kind = MarkKind::at;
  int edges = 0;
  int searched = 0;
  friend bool operator==(const RangeWarning&, const RangeWarning&) = default;
};

// The settings' problem, if any, for a recording of lead_count leads at rate_hz.
AnalysisProblem check_settings(const AnalysisSettings& settings, int lead_count,
                               double rate_hz = kTextRateHz);

// A length in ms as whole samples at rate_hz (the nearest; at 1 kHz the
// same number).
int samples_of_ms(double ms, double rate_hz);

// The result. With a problem, only settings, problem and the recording's
// shape are filled. Otherwise the marks are c's: at most one AT and one RT
// per beat and lead, each found in that beat's ranges.
struct Analysis {
  AnalysisSettings settings;
  AnalysisProblem problem;
  int lead_count = 0;
  int sample_count = 0;
  double rate_hz = kTextRateHz;
  std::vector<double> beats_ms;  // ascending
  // beats × leads: beat b, lead j at [(b - 1) * lead_count + (j - 1)]. A mark
  // found at a sample is that sample's time; its fine time lies within half a
  // sample of it.
  std::vector<double> at_ms, rt_ms;
  std::vector<double> at_fine_ms, rt_fine_ms;
  std::vector<double> at_quality, rt_quality;
  // centred (beats × leads, as the marks): why a cell has no mark or asks
  // for a look, and each RT's T wave; legacy's are none throughout.
  std::vector<MarkFlag> at_flag, rt_flag;
  std::vector<TPolarity> t_polarity;
  // The ranges searched, in ms from a beat: the settings' or, with
  // auto_ranges, those suggested (ranges_suggested; without a suggestion
  // the settings' stand).
  std::int32_t at_from = 0, at_to = 0, rt_from = 0, rt_to = 0;
  bool ranges_suggested = false;
  // Per lead (lead j at [j - 1]): a lead whose derivative is zero throughout
  // or (centred) flat in the AT windows of more than half the beats
  // searched: it takes no part in the maps, velocities, restitution and
  // dispersion.
  std::vector<bool> dead_lead;
  // Leads whose marks of a kind lie at or near an end of their windows, or
  // are weak, in more than a fifth of the beats searched: the range probably
  // misses the wave.
  std::vector<RangeWarning> range_warnings;
  FitMessageCounts fit_messages;
  // Lead by lead (lead j, sample i at [(j - 1) * sample_count + (i - 1)]), in
  // amplitude units per ms, when asked for: the derivative the beats and ATs
  // are found on.
  std::vector<float> derivative;

  int beat_count() const { return static_cast<int>(beats_ms.size()); }
  std::size_t index(int beat, int lead) const {
    return static_cast<std::size_t>(beat - 1) * static_cast<std::size_t>(lead_count) +
           static_cast<std::size_t>(lead - 1);
  }
  double at_time(int beat, int lead) const { return at_ms[index(beat, lead)]; }
  double rt_time(int beat, int lead) const { return rt_ms[index(beat, lead)]; }
};

// The recording's baseline removed and each lead differentiated with the
// settings' smoothing; the beats found on settings.beat_lead; AT and RT of
// every beat in every lead. Checks the settings and the recording first and
// reports a problem as a value: settings outside their bounds, an empty
// recording, a beat lead it lacks, or no amplitude in the beat lead over
// 100 to 1000 ms (where an interactive session ends when leads 1 to 3 have
// none).
Analysis analyse(const Recording& recording, const AnalysisSettings& settings,
                 const AnalyseOptions& options = {}, AnalysisWorkspace* workspace = nullptr);
// The same, working in the recording's own memory (no copy of it).
Analysis analyse(Recording&& recording, const AnalysisSettings& settings,
                 const AnalyseOptions& options = {}, AnalysisWorkspace* workspace = nullptr);

}  // namespace telmor
