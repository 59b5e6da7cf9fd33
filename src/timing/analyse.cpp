// The analysis of a recording of any size, in the order of an interactive
// session: preparation, the amplitude check, the beat search, c's search and
// its removal of near duplicates, then the marks' figures.
#include "timing/analysis.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "fitting/prepare_signals.h"
#include "recognition/mark_search.h"
#include "timing/beat_search.h"
#include "timing/mark_figures.h"

namespace telmor {

struct AnalysisWorkspace::Parts {
  PreparationCache fits;
};

AnalysisWorkspace::AnalysisWorkspace() : parts_(std::make_unique<Parts>()) {}
AnalysisWorkspace::~AnalysisWorkspace() = default;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The interactive program's derivative table is 30000 samples long, zeros
// after the recording, and c searches it as it stands: a shorter recording
// is searched the same way.
constexpr int kInteractiveSamples = 30000;

// The fits' messages are counted, not shown: nobody reads them one by one.
class SilentConsole : public ConsoleOutput {
 public:
  void console_write(std::string_view) override {}
};

// c's tables: lead j, row k at [(j - 1) * rows + (k - 1)], row 1 empty (the
// first zero entry of the beat list), rows 2..beats + 1 the beats in
// ascending time; 0.0 empty.
struct DetectionRows {
  int rows = 0;
  std::vector<float> at, rt;
};

DetectionRows detect(const Recording& deriv, const AnalysisSettings& settings,
                     std::span<const double> beats) {
  DetectionRows d;
  std::vector<std::int32_t> row_beats{0};
  for (const double b : beats) row_beats.push_back(static_cast<std::int32_t>(b));
  d.rows = static_cast<int>(row_beats.size());
  const auto rows = static_cast<std::size_t>(d.rows);
  d.at.assign(static_cast<std::size_t>(deriv.lead_count) * rows, 0.0f);
  d.rt.assign(d.at.size(), 0.0f);
  const MarkRows at{d.at.data(), rows};
  const MarkRows rt{d.rt.data(), rows};
  const DerivativeView view{deriv.values.data(), static_cast<std::size_t>(deriv.sample_count),
                            deriv.sample_count, std::max(deriv.sample_count, kInteractiveSamples)};
  const MarkSearch search{deriv.sample_count, deriv.lead_count, settings.at_from, settings.at_to,
                          settings.rt_from, settings.rt_to};
  find_marks(view, search, row_beats, at, rt);
  drop_near_duplicate_marks(view, deriv.lead_count, d.rows, at, rt);
  return d;
}

// One kind of marks from c's rows into the beats × leads tables, with their
// fine times and qualities.
void take_marks(const Recording& deriv, std::span<const double> noise, const DetectionRows& d,
                const std::vector<float>& rows, bool at, Analysis& a, std::vector<double>& times,
                std::vector<double>& fine, std::vector<double>& quality) {
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
      times[i] = static_cast<double>(t);
      fine[i] = fine_time_ms(lead_deriv, t, at);
      quality[i] = mark_quality(lead_deriv, t, lead_noise);
    }
  }
}

// Amplitudes beyond what single precision keeps: a derivative that is not
// finite anywhere (values too large), or a beat lead whose samples vary but
// whose derivative is zero everywhere (values so small that the fit's sums,
// held in single precision, are zero).
AnalysisProblem amplitude_problem(const Recording& wave, const Recording& deriv, int beat_lead) {
  for (int lead = 1; lead <= deriv.lead_count; ++lead) {
    for (const float d : deriv.lead(lead)) {
      if (!std::isfinite(d)) return {AnalysisFault::derivative_not_finite, lead};
    }
  }
  const auto nonzero = [](float v) { return v != 0.0f; };
  const std::span<const float> samples = wave.lead(beat_lead);
  const std::span<const float> slopes = deriv.lead(beat_lead);
  if (std::any_of(samples.begin(), samples.end(), nonzero) && std::none_of(slopes.begin(), slopes.end(), nonzero))
    return {AnalysisFault::amplitude_lost, beat_lead};
  return {};
}

}  // namespace

AnalysisProblem check_settings(const AnalysisSettings& s, int lead_count) {
  if (s.smooth_points < kMinSmoothPoints || s.smooth_points > kMaxSmoothPoints)
    return {AnalysisFault::smoothing_outside, 0, static_cast<double>(s.smooth_points)};
  if (!(s.amp_ratio >= 0.0f && s.amp_ratio <= 1.0f))
    return {AnalysisFault::ratio_outside, 0, static_cast<double>(s.amp_ratio)};
  const std::int32_t bounds[4] = {s.at_from, s.at_to, s.rt_from, s.rt_to};
  for (int k = 0; k < 4; ++k) {
    if (bounds[k] < kLowestRangeBound || bounds[k] > kHighestRangeBound)
      return {AnalysisFault::range_bound_outside, k + 1, static_cast<double>(bounds[k])};
  }
  if (s.at_to < s.at_from) return {AnalysisFault::range_reversed, 1};
  if (s.rt_to < s.rt_from) return {AnalysisFault::range_reversed, 2};
  if (s.beat_lead < 1 || s.beat_lead > lead_count)
    return {AnalysisFault::beat_lead_outside, 0, static_cast<double>(s.beat_lead), lead_count};
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
  if ((a.problem = check_settings(settings, a.lead_count))) return a;

  Recording deriv(recording.lead_count, recording.sample_count);
  Recording wave = std::move(recording);  // its baseline is removed in place
  const SignalTables tables{wave.values.data(), deriv.values.data(),
                            static_cast<std::size_t>(wave.sample_count), wave.lead_count,
                            wave.sample_count, settings.smooth_points};
  SilentConsole silent;
  a.fit_messages = prepare_signal_tables(tables, silent, options.threads,
                                         workspace != nullptr ? &workspace->parts().fits : nullptr);
  std::vector<std::span<const float>> first_leads;
  for (int j = 1; j <= std::min(wave.lead_count, 3); ++j) first_leads.push_back(wave.lead(j));
  if (overview_amplitude(first_leads) == 0.0f) {
    a.problem = {AnalysisFault::no_amplitude};
    return a;
  }
  if ((a.problem = amplitude_problem(wave, deriv, settings.beat_lead))) return a;

  std::vector<int> found = find_beats(deriv.lead(settings.beat_lead), settings.amp_ratio,
                                      std::numeric_limits<int>::max());
  std::sort(found.begin(), found.end());
  a.beats_ms.assign(found.begin(), found.end());

  const DetectionRows rows = detect(deriv, settings, a.beats_ms);
  std::vector<double> noise;
  for (int lead = 1; lead <= a.lead_count; ++lead) noise.push_back(derivative_noise(deriv.lead(lead)));
  take_marks(deriv, noise, rows, rows.at, true, a, a.at_ms, a.at_fine_ms, a.at_quality);
  take_marks(deriv, noise, rows, rows.rt, false, a, a.rt_ms, a.rt_fine_ms, a.rt_quality);
  if (options.keep_derivative) a.derivative = std::move(deriv.values);
  return a;
}

}  // namespace telmor
