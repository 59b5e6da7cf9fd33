// The steps of an analysis on tables of any layout.
#include "timing/analysis_steps.h"

#include <algorithm>

#include "fitting/centred_derivative.h"
#include "fitting/prepare_signals.h"
#include "recognition/mark_search.h"
#include "analysis_parts.h"
#include "timing/beat_search.h"

namespace telmor {
namespace {

class SilentConsole : public ConsoleOutput {
 public:
  void console_write(std::string_view) override {}
};

PreparationCache* cache_of(AnalysisWorkspace* workspace) {
  return workspace != nullptr ? &workspace->parts().fits : nullptr;
}

SignalTables legacy_tables(const LeadTables& t, const AnalysisSettings& s, double rate_hz) {
  return {t.wave, t.deriv, t.stride, t.lead_count, t.sample_count, samples_of_ms(s.smooth_ms, rate_hz)};
}

DerivativeRequest centred_request(const LeadTables& t, float* into, int half_width, double rate_hz) {
  return {t.wave, into, t.stride, t.lead_count, t.sample_count, half_width, rate_hz / 1000.0};
}

// The centred derivatives of baseline-corrected samples.
FitMessageCounts centred_derivatives(const LeadTables& t, const AnalysisSettings& s, double rate_hz,
                                     ConsoleOutput& console, int threads) {
  const int half_width = samples_of_ms(s.smooth_ms, rate_hz);
  const FitMessageCounts counts = centred_derivative(centred_request(t, t.deriv, half_width, rate_hz), console, threads);
  if (t.rt_deriv == nullptr) return counts;
  if (!own_rt_derivative(s, rate_hz)) {
    for (int lead = 0; lead < t.lead_count; ++lead) {
      const std::size_t from = static_cast<std::size_t>(lead) * t.stride;
      std::copy_n(t.deriv + from, std::max(t.sample_count, 0), t.rt_deriv + from);
    }
    return counts;
  }
  // RT's own fits' messages are not the smoothing's that was asked for.
  SilentConsole silent;
  centred_derivative(centred_request(t, t.rt_deriv, samples_of_ms(s.rt_smooth(), rate_hz), rate_hz), silent,
                     threads);
  return counts;
}

DerivativeView at_view(const SearchedDerivatives& d) { return {d.at, d.stride, d.stored, d.searched}; }
DerivativeView rt_view(const SearchedDerivatives& d) { return {d.rt, d.stride, d.stored, d.searched}; }

}  // namespace

bool own_rt_derivative(const AnalysisSettings& s, double rate_hz) {
  return s.estimator == Estimator::centred && samples_of_ms(s.rt_smooth(), rate_hz) != samples_of_ms(s.smooth_ms, rate_hz);
}

FitMessageCounts prepare_leads(const LeadTables& t, const AnalysisSettings& s, double rate_hz,
                               ConsoleOutput& console, int threads, AnalysisWorkspace* workspace) {
  if (s.estimator == Estimator::legacy)
    return prepare_signal_tables(legacy_tables(t, s, rate_hz), console, threads, cache_of(workspace));
  remove_baselines(t.wave, t.stride, t.lead_count, t.sample_count);
  return centred_derivatives(t, s, rate_hz, console, threads);
}

FitMessageCounts differentiate_leads(const LeadTables& t, const AnalysisSettings& s, double rate_hz,
                                     ConsoleOutput& console, int threads, AnalysisWorkspace* workspace) {
  if (s.estimator == Estimator::legacy)
    return differentiate_signal_tables(legacy_tables(t, s, rate_hz), console, threads, cache_of(workspace));
  return centred_derivatives(t, s, rate_hz, console, threads);
}

std::vector<int> search_beats(std::span<const float> beat_lead_deriv, const AnalysisSettings& s, double rate_hz,
                              double noise, int most) {
  const auto of = [&](double ms) { return samples_of_ms(ms, rate_hz); };
  // The centred derivative's beats stand out of its noise; the legacy search
  // is the specified one.
  const double least_slope = s.estimator == Estimator::centred ? kBeatNoiseFloor * noise : 0.0;
  const BeatBlanking blanking{of(100.0), of(s.blank_before_ms), of(s.blank_after_ms)};
  return find_beats(beat_lead_deriv, s.amp_ratio, most, blanking, least_slope);
}

CycleSearch cycle_search_for(const AnalysisSettings& s, const SearchRanges& ranges, int sample_count, double rate_hz) {
  const auto of = [&](double ms) { return samples_of_ms(ms, rate_hz); };
  CycleSearch search;
  search.sample_count = sample_count;
  search.at_from = of(ranges.at_from);
  search.at_to = of(ranges.at_to);
  search.rt_from_at = s.rt_after_at.has_value();
  search.rt_from = of(search.rt_from_at ? s.rt_after_at->first : ranges.rt_from);
  search.rt_to = of(search.rt_from_at ? s.rt_after_at->second : ranges.rt_to);
  search.margin = of(s.rt_margin());
  // RT's fits reach its own half width.
  search.rt_reach = of(s.estimator == Estimator::legacy ? s.smooth_ms : s.rt_smooth());
  search.earliest_beat = of(100.0) + 1;
  search.end_margin = of(200.0);
  return search;
}

void legacy_find(const SearchedDerivatives& d, const SearchRanges& ranges, int lead_count, int sample_count,
                 double rate_hz, std::span<const std::int32_t> row_beats, MarkTableView marks) {
  const auto of = [&](double ms) { return samples_of_ms(ms, rate_hz); };
  const MarkSearch search{sample_count, lead_count, of(ranges.at_from), of(ranges.at_to), of(ranges.rt_from),
                          of(ranges.rt_to), of(100.0) + 1, of(200.0)};
  find_marks(at_view(d), rt_view(d), search, row_beats, {marks.at, marks.rows}, {marks.rt, marks.rows});
}

void legacy_drop_near_duplicates(const SearchedDerivatives& d, int lead_count, int rows, double rate_hz,
                                 MarkTableView marks) {
  drop_near_duplicate_marks(at_view(d), rt_view(d), lead_count, rows, {marks.at, marks.rows},
                            {marks.rt, marks.rows}, static_cast<float>(samples_of_ms(50.0, rate_hz)));
}

}  // namespace telmor
