// The analysis of a recording of any size, in the order of an interactive
// session: preparation, the amplitude check, the beat search, c's search and
// its removal of near duplicates, then the marks' figures.
#include "timing/analysis.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <utility>

#include "analysis_parts.h"
#include "timing/analysis_steps.h"
#include "timing/beat_search.h"
#include "timing/beat_table.h"
#include "timing/cycle_search.h"
#include "timing/mark_figures.h"
#include "timing/range_suggestion.h"

namespace telmor {

AnalysisWorkspace::AnalysisWorkspace() : parts_(std::make_unique<Parts>()) {}
AnalysisWorkspace::~AnalysisWorkspace() = default;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The interactive program's derivative table is 30 s long, zeros after the
// recording, and c searches it as it stands: a shorter recording is searched
// the same way.
constexpr double kInteractiveMs = 30000.0;

// The fits' messages are counted, not shown: nobody reads them one by one.
class SilentConsole : public ConsoleOutput {
 public:
  void console_write(std::string_view) override {}
};

// The settings' lengths in samples of the recording's rate.
struct Samples {
  double per_ms = 1.0;  // samples per ms
  int half_width = 0;
  int rt_half_width = 0;
  int amplitude_from = 100, amplitude_to = 1000;  // the no-data window
  int searched = 30000;
};

Samples samples_of(const AnalysisSettings& s, int sample_count, double rate_hz) {
  Samples n;
  n.per_ms = rate_hz / 1000.0;
  const auto of = [&](double ms) { return samples_of_ms(ms, rate_hz); };
  n.half_width = of(s.smooth_ms);
  n.rt_half_width = s.estimator == Estimator::legacy ? n.half_width : of(s.rt_smooth());
  n.amplitude_from = of(100.0);
  n.amplitude_to = of(1000.0);
  n.searched = std::max(sample_count, of(kInteractiveMs));
  return n;
}

// c's tables: lead j, row k at [(j - 1) * rows + (k - 1)], row 1 empty (the
// first zero entry of the beat list), rows 2..beats + 1 the beats in
// ascending time; 0.0 empty; entries are samples.
struct DetectionRows {
  int rows = 0;
  std::vector<float> at, rt;
  std::vector<MarkFlag> at_flag, rt_flag;  // centred only; as the marks
  std::vector<TPolarity> polarity;
};

// The centred search: each lead's windows follow its own cycle (rows as
// detect lays them out).
DetectionRows detect_in_cycles(const Recording& at_deriv, const Recording& rt_deriv, const CycleSearch& search,
                               std::span<const int> beats) {
  DetectionRows d;
  d.rows = static_cast<int>(beats.size()) + 1;
  const auto rows = static_cast<std::size_t>(d.rows);
  const std::size_t cells = static_cast<std::size_t>(at_deriv.lead_count) * rows;
  d.at.assign(cells, 0.0f);
  d.rt.assign(cells, 0.0f);
  d.at_flag.assign(cells, MarkFlag::none);
  d.rt_flag.assign(cells, MarkFlag::none);
  d.polarity.assign(cells, TPolarity::none);
  for (int lead = 1; lead <= at_deriv.lead_count; ++lead) {
    const LeadCycles c = search_lead_cycles(at_deriv.lead(lead), rt_deriv.lead(lead), search, beats);
    for (std::size_t k = 0; k < beats.size(); ++k) {
      const std::size_t at = static_cast<std::size_t>(lead - 1) * rows + k + 1;
      d.at[at] = static_cast<float>(c.at[k]);
      d.rt[at] = static_cast<float>(c.rt[k]);
      d.at_flag[at] = c.at_flag[k];
      d.rt_flag[at] = c.rt_flag[k];
      d.polarity[at] = c.polarity[k];
    }
  }
  return d;
}

DetectionRows detect(const Recording& at_deriv, const Recording& rt_deriv, const SearchRanges& ranges,
                     double rate_hz, int searched, std::span<const int> beats) {
  DetectionRows d;
  std::vector<std::int32_t> row_beats{0};
  row_beats.insert(row_beats.end(), beats.begin(), beats.end());
  d.rows = static_cast<int>(row_beats.size());
  const auto rows = static_cast<std::size_t>(d.rows);
  d.at.assign(static_cast<std::size_t>(at_deriv.lead_count) * rows, 0.0f);
  d.rt.assign(d.at.size(), 0.0f);
  const SearchedDerivatives views{at_deriv.values.data(), rt_deriv.values.data(),
                                  static_cast<std::size_t>(at_deriv.sample_count), at_deriv.sample_count, searched};
  const MarkTableView marks{d.at.data(), d.rt.data(), rows};
  legacy_find(views, ranges, at_deriv.lead_count, at_deriv.sample_count, rate_hz, row_beats, marks);
  legacy_drop_near_duplicates(views, at_deriv.lead_count, d.rows, rate_hz, marks);
  return d;
}

// One kind of marks from c's rows into the beats × leads tables, as times,
// with their fine times and qualities on the derivative they were found on.
void take_marks(const Recording& deriv, std::span<const double> noise, const DetectionRows& d,
                const std::vector<float>& rows, bool at, double ms_per_sample, Analysis& a,
                std::vector<double>& times, std::vector<double>& fine, std::vector<double>& quality) {
  const std::size_t cells = static_cast<std::size_t>(a.beat_count()) * static_cast<std::size_t>(a.lead_count);
  times.assign(cells, kNaN);
  fine.assign(cells, kNaN);
  quality.assign(cells, kNaN);
  for (int lead = 1; lead <= a.lead_count; ++lead) {
    const std::span<const float> lead_deriv = deriv.lead(lead);
    const double lead_noise = noise[static_cast<std::size_t>(lead - 1)];
    for (int beat = 1; beat <= a.beat_count(); ++beat) {
      const float t = rows[static_cast<std::size_t>(lead - 1) * static_cast<std::size_t>(d.rows) +
                           static_cast<std::size_t>(beat)];
      if (t == 0.0f) continue;
      const std::size_t i = a.index(beat, lead);
      times[i] = static_cast<double>(t) * ms_per_sample;
      fine[i] = fine_time_ms(lead_deriv, t, at) * ms_per_sample;
      quality[i] = mark_quality(lead_deriv, t, lead_noise);
    }
  }
}

// The centred search's flags and T polarities into the beats × leads tables
// (none throughout for legacy), and the dead leads.
void take_flags(const DetectionRows& d, const Recording& deriv, Analysis& a) {
  const std::size_t cells = static_cast<std::size_t>(a.beat_count()) * static_cast<std::size_t>(a.lead_count);
  a.at_flag.assign(cells, MarkFlag::none);
  a.rt_flag.assign(cells, MarkFlag::none);
  a.t_polarity.assign(cells, TPolarity::none);
  a.dead_lead.assign(static_cast<std::size_t>(a.lead_count), false);
  const bool flagged = !d.at_flag.empty();
  for (int lead = 1; lead <= a.lead_count; ++lead) {
    int searched = 0, flat = 0;
    for (int beat = 1; beat <= a.beat_count() && flagged; ++beat) {
      const std::size_t from = static_cast<std::size_t>(lead - 1) * static_cast<std::size_t>(d.rows) +
                               static_cast<std::size_t>(beat);
      const std::size_t i = a.index(beat, lead);
      a.at_flag[i] = d.at_flag[from];
      a.rt_flag[i] = d.rt_flag[from];
      a.t_polarity[i] = d.polarity[from];
      const bool was_searched = d.at[from] != 0.0f || a.at_flag[i] != MarkFlag::none;
      searched += was_searched;
      flat += a.at_flag[i] == MarkFlag::flat;
    }
    const std::span<const float> slopes = deriv.lead(lead);
    const bool silent = std::all_of(slopes.begin(), slopes.end(), [](float v) { return v == 0.0f; });
    // No signal to mark: flat in most AT windows. (A lead whose ATs lie beyond
    // its windows is not dead: the range warnings name it.)
    a.dead_lead[static_cast<std::size_t>(lead - 1)] = silent || (searched > 0 && 2 * flat > searched);
  }
}

// The ranges suggested by the recording's own waves, in ms from a beat.
SuggestedRanges suggested(const Recording& deriv, const Recording& rt, const std::vector<double>& at_noise,
                          const std::vector<double>& rt_noise, std::span<const int> beats, const Samples& n,
                          int margin) {
  RangeEvidence e;
  for (int lead = 1; lead <= deriv.lead_count; ++lead) {
    e.at_deriv.push_back(deriv.lead(lead));
    e.rt_deriv.push_back(rt.lead(lead));
  }
  e.at_noise = at_noise;
  e.rt_noise = rt_noise;
  e.beats = beats;
  e.per_ms = n.per_ms;
  e.margin = margin;
  return suggest_ranges(e);
}

// Amplitudes beyond what single precision keeps: a derivative that is not
// finite anywhere (values too large), or a beat lead whose samples vary but
// whose derivative is zero everywhere (values so small that the fit's sums,
// held in single precision, are zero).
AnalysisProblem amplitude_problem(const Recording& wave, const Recording& deriv, int beat_lead) {
  for (int lead = 1; lead <= deriv.lead_count; ++lead) {
    for (const float d : deriv.lead(lead)) {
      if (!std::isfinite(d)) return {.fault = AnalysisFault::derivative_not_finite, .lead = lead};
    }
  }
  const auto nonzero = [](float v) { return v != 0.0f; };
  const std::span<const float> samples = wave.lead(beat_lead);
  const std::span<const float> slopes = deriv.lead(beat_lead);
  if (std::any_of(samples.begin(), samples.end(), nonzero) && std::none_of(slopes.begin(), slopes.end(), nonzero))
    return {.fault = AnalysisFault::amplitude_lost, .lead = beat_lead};
  return {};
}

// Baseline and derivative of every lead as the estimator makes them, into
// deriv (and rt_deriv, for centred with an RT smoothing of its own).
FitMessageCounts differentiate(Recording& wave, Recording& deriv, Recording& rt_deriv, const AnalysisSettings& s,
                               double rate_hz, const AnalyseOptions& options, AnalysisWorkspace* workspace) {
  SilentConsole silent;
  const LeadTables tables{wave.values.data(), deriv.values.data(),
                          own_rt_derivative(s, rate_hz) ? rt_deriv.values.data() : nullptr,
                          static_cast<std::size_t>(wave.sample_count), wave.lead_count, wave.sample_count};
  return prepare_leads(tables, s, rate_hz, silent, options.threads, workspace);
}

}  // namespace

std::string_view estimator_name(Estimator estimator) {
  return estimator == Estimator::legacy ? "legacy" : "centred";
}

std::optional<Estimator> estimator_named(std::string_view name) {
  if (name == "centred") return Estimator::centred;
  if (name == "legacy") return Estimator::legacy;
  return std::nullopt;
}

int samples_of_ms(double ms, double rate_hz) {
  return static_cast<int>(std::lround(ms * rate_hz / 1000.0));
}

AnalysisProblem check_settings(const AnalysisSettings& s, int lead_count, double rate_hz) {
  if (s.smooth_ms < kMinSmoothPoints || s.smooth_ms > kMaxSmoothPoints)
    return {.fault = AnalysisFault::smoothing_outside, .value = static_cast<double>(s.smooth_ms)};
  if (s.estimator == Estimator::legacy && s.rt_smooth_ms) return {AnalysisFault::legacy_rt_smoothing};
  if (s.estimator == Estimator::centred && (s.rt_smooth() < kMinSmoothPoints || s.rt_smooth() > kMaxSmoothPoints))
    return {.fault = AnalysisFault::rt_smoothing_outside, .value = static_cast<double>(s.rt_smooth())};
  if (!(s.amp_ratio >= 0.0f && s.amp_ratio <= 1.0f))
    return {.fault = AnalysisFault::ratio_outside, .value = static_cast<double>(s.amp_ratio)};
  const std::pair<std::int32_t, SettingPart> bounds[4] = {{s.at_from, SettingPart::at_from},
                                                           {s.at_to, SettingPart::at_to},
                                                           {s.rt_from, SettingPart::rt_from},
                                                           {s.rt_to, SettingPart::rt_to}};
  for (const auto& [bound, part] : bounds) {
    if (bound < kLowestRangeBound || bound > kHighestRangeBound)
      return {AnalysisFault::range_bound_outside, part, static_cast<double>(bound)};
  }
  if (s.at_to < s.at_from) return {AnalysisFault::range_reversed, SettingPart::at};
  if (s.rt_to < s.rt_from) return {AnalysisFault::range_reversed, SettingPart::rt};
  if (s.estimator == Estimator::legacy && (s.rt_margin_ms || s.rt_after_at))
    return {AnalysisFault::legacy_cycle_options};
  if (s.rt_margin() < 0 || s.rt_margin() > kMostRtMarginMs)
    return {.fault = AnalysisFault::rt_margin_outside, .value = static_cast<double>(s.rt_margin())};
  if (s.rt_after_at) {
    const auto [from, to] = *s.rt_after_at;
    if (from < 0 || from > kHighestRangeBound) return {AnalysisFault::rt_window_outside, SettingPart::window_from, static_cast<double>(from)};
    if (to < 0 || to > kHighestRangeBound) return {AnalysisFault::rt_window_outside, SettingPart::window_to, static_cast<double>(to)};
    if (to < from) return {AnalysisFault::rt_window_outside, SettingPart::window_reversed, static_cast<double>(to)};
  }
  if (s.blank_before_ms < 0 || s.blank_before_ms > kMostBlankMs)
    return {AnalysisFault::blanking_outside, SettingPart::before, static_cast<double>(s.blank_before_ms)};
  if (s.blank_after_ms < 0 || s.blank_after_ms > kMostBlankMs)
    return {AnalysisFault::blanking_outside, SettingPart::after, static_cast<double>(s.blank_after_ms)};
  if (s.beat_lead < 1 || s.beat_lead > lead_count)
    return {.fault = AnalysisFault::beat_lead_outside, .value = static_cast<double>(s.beat_lead), .leads = lead_count};
  if (!std::isfinite(rate_hz) || rate_hz < kMinRateHz) return {.fault = AnalysisFault::rate_outside, .value = rate_hz};
  if (s.estimator == Estimator::legacy && rate_hz != kLegacyRateHz) return {.fault = AnalysisFault::legacy_rate, .value = rate_hz};
  // The windows in samples: five points at least make a cubic.
  if (const int half = samples_of_ms(s.smooth_ms, rate_hz); half < kMinHalfWidthSamples)
    return {AnalysisFault::window_too_narrow, SettingPart::at, static_cast<double>(half)};
  if (const int half = samples_of_ms(s.rt_smooth(), rate_hz);
      s.estimator == Estimator::centred && half < kMinHalfWidthSamples)
    return {AnalysisFault::window_too_narrow, SettingPart::rt, static_cast<double>(half)};
  return {};
}

Analysis analyse(const Recording& recording, const AnalysisSettings& settings,
                 const AnalyseOptions& options, AnalysisWorkspace* workspace) {
  return analyse(Recording(recording), settings, options, workspace);
}

Analysis analyse(Recording&& recording, const AnalysisSettings& settings,
                 const AnalyseOptions& options, AnalysisWorkspace* workspace) {
  Analysis a;
  a.settings = settings;
  a.lead_count = recording.lead_count;
  a.sample_count = recording.sample_count;
  a.rate_hz = recording.rate_hz;
  if (a.lead_count < 1) {
    a.problem = {AnalysisFault::no_leads};
    return a;
  }
  if (a.sample_count < 1) {
    a.problem = {AnalysisFault::no_samples};
    return a;
  }
  if (recording.values.size() != static_cast<std::size_t>(a.lead_count) * static_cast<std::size_t>(a.sample_count)) {
    a.problem = {AnalysisFault::values_mismatch};
    return a;
  }
  if ((a.problem = check_settings(settings, a.lead_count, a.rate_hz))) return a;
  if (a.sample_count < a.rate_hz) {
    a.problem = {.fault = AnalysisFault::too_short, .value = static_cast<double>(a.sample_count)};
    return a;
  }
  const Samples n = samples_of(settings, a.sample_count, a.rate_hz);

  Recording deriv(recording.lead_count, recording.sample_count);
  Recording rt_deriv;
  if (n.rt_half_width != n.half_width) rt_deriv = Recording(recording.lead_count, recording.sample_count);
  Recording wave = std::move(recording);  // its baseline is removed in place
  a.fit_messages = differentiate(wave, deriv, rt_deriv, settings, a.rate_hz, options, workspace);
  const Recording& rt = n.rt_half_width != n.half_width ? rt_deriv : deriv;

  const std::span<const float> beat_lead[] = {wave.lead(settings.beat_lead)};
  if (overview_amplitude(beat_lead, n.amplitude_from, n.amplitude_to) == 0.0f) {
    a.problem = {.fault = AnalysisFault::no_amplitude, .lead = settings.beat_lead};
    return a;
  }
  if ((a.problem = amplitude_problem(wave, deriv, settings.beat_lead))) return a;
  if (&rt != &deriv) {
    for (int lead = 1; lead <= rt.lead_count; ++lead) {
      for (const float d : rt.lead(lead)) {
        if (!std::isfinite(d)) {
          a.problem = {.fault = AnalysisFault::derivative_not_finite, .lead = lead};
          return a;
        }
      }
    }
  }

  NoiseScratch scratch;  // one lead's selection buffers, for every lead
  const auto noise_of = [&scratch](const Recording& d) {
    std::vector<double> noise;
    for (int lead = 1; lead <= d.lead_count; ++lead) noise.push_back(derivative_noise(d.lead(lead), scratch));
    return noise;
  };
  const std::vector<double> at_noise = noise_of(deriv);
  const std::vector<double> rt_noise = &rt == &deriv ? at_noise : noise_of(rt);

  std::vector<int> found = search_beats(deriv.lead(settings.beat_lead), settings, a.rate_hz,
                                        at_noise[static_cast<std::size_t>(settings.beat_lead - 1)],
                                        std::numeric_limits<int>::max());
  std::sort(found.begin(), found.end());
  const double ms_per_sample = 1000.0 / a.rate_hz;
  for (const int b : found) a.beats_ms.push_back(static_cast<double>(b) * ms_per_sample);

  SearchRanges ranges{settings.at_from, settings.at_to, settings.rt_from, settings.rt_to};
  const int margin = samples_of_ms(settings.rt_margin(), a.rate_hz);
  if (settings.auto_ranges) {
    const SuggestedRanges r = suggested(deriv, rt, at_noise, rt_noise, found, n, margin + n.rt_half_width);
    if (r.found) ranges = {r.at_from, r.at_to, r.rt_from, r.rt_to};
    a.ranges_suggested = r.found;
  }
  a.at_from = ranges.at_from;
  a.at_to = ranges.at_to;
  a.rt_from = ranges.rt_from;
  a.rt_to = ranges.rt_to;
  const DetectionRows rows =
      settings.estimator == Estimator::legacy
          ? detect(deriv, rt, ranges, a.rate_hz, n.searched, found)
          : detect_in_cycles(deriv, rt, cycle_search_for(settings, ranges, a.sample_count, a.rate_hz), found);
  take_marks(deriv, at_noise, rows, rows.at, true, ms_per_sample, a, a.at_ms, a.at_fine_ms, a.at_quality);
  take_marks(rt, rt_noise, rows, rows.rt, false, ms_per_sample, a, a.rt_ms, a.rt_fine_ms, a.rt_quality);
  take_flags(rows, deriv, a);
  a.range_warnings = crowded_ends(marks_by_beat(a));
  if (options.keep_derivative) a.derivative = std::move(deriv.values);
  return a;
}

}  // namespace telmor
