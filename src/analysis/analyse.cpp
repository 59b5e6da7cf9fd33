// The analysis of a recording of any size, in the order of an interactive
// session: preparation, the amplitude check, the beat search, c's search and
// its removal of near duplicates, then the marks' figures and their beats.
#include "analysis/analyse.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/beat_search.h"
#include "analysis/mark_figures.h"
#include "fitting/prepare_signals.h"
#include "recognition/mark_search.h"

namespace telmor {
namespace {

// The fits' messages are counted, not shown: nobody reads them one by one.
class SilentConsole : public ConsoleOutput {
 public:
  void console_write(std::string_view) override {}
};

// The overview's amplitude as the interactive program takes it: samples
// 100..1000 of leads 1..3, reading zeros where the recording has none.
float overview_amplitude(const Recording& wave) {
  float amp_max = -9999.0f;
  for (int i = 100; i <= 1000; ++i) {
    for (int j = 1; j <= 3; ++j) {
      const float v = j <= wave.lead_count && i <= wave.sample_count ? wave.at(j, i) : 0.0f;
      amp_max = std::max(amp_max, std::fabs(v));
    }
  }
  return amp_max;
}

// Fine times and qualities of every mark of one kind.
void add_figures(const Recording& deriv, const std::vector<double>& noise, int rows,
                 const std::vector<float>& times, bool at, std::vector<double>& fine,
                 std::vector<double>& quality) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  fine.assign(times.size(), kNaN);
  quality.assign(times.size(), kNaN);
  const auto per_lead = static_cast<std::size_t>(rows);
  for (int lead = 1; lead <= deriv.lead_count; ++lead) {
    const std::size_t first = static_cast<std::size_t>(lead - 1) * per_lead;
    lead_mark_figures(deriv.lead(lead), noise[static_cast<std::size_t>(lead - 1)],
                      std::span(times).subspan(first, per_lead), at,
                      std::span(fine).subspan(first, per_lead),
                      std::span(quality).subspan(first, per_lead));
  }
}

}  // namespace

bool fits_results_file(const Analysis& a) {
  return a.lead_count <= kMaxLeads && a.rows <= kMaxRows;
}

Analysis analyse(const Recording& recording, const AnalysisSettings& settings,
                 const AnalyseOptions& options) {
  return analyse(Recording(recording), settings, options);
}

Analysis analyse(Recording&& recording, const AnalysisSettings& settings,
                 const AnalyseOptions& options) {
  Analysis a;
  a.settings = settings;
  a.lead_count = recording.lead_count;
  a.sample_count = recording.sample_count;

  Recording deriv(recording.lead_count, recording.sample_count);
  Recording wave = std::move(recording);  // its baseline is removed in place
  const SignalTables tables{wave.values.data(), deriv.values.data(),
                            static_cast<std::size_t>(wave.sample_count), wave.lead_count,
                            wave.sample_count, settings.smooth_points};
  SilentConsole silent;
  a.fit_messages = prepare_signal_tables(tables, silent, options.threads);
  if (overview_amplitude(wave) == 0.0f) {
    a.status = AnalysisStatus::no_data;
    return a;
  }

  for (const int position : find_beats(deriv.lead(settings.beat_lead), settings.amp_ratio,
                                       std::numeric_limits<int>::max())) {
    a.beats.push_back(position);
  }
  std::sort(a.beats.begin(), a.beats.end());

  // Row 1 from no beat, as c leaves it; then the beats in ascending time.
  std::vector<std::int32_t> row_beats{0};
  row_beats.insert(row_beats.end(), a.beats.begin(), a.beats.end());
  a.rows = static_cast<int>(row_beats.size());
  const std::size_t entries = static_cast<std::size_t>(a.lead_count) * static_cast<std::size_t>(a.rows);
  a.at_ms.assign(entries, 0.0f);
  a.rt_ms.assign(entries, 0.0f);
  const auto rows = static_cast<std::size_t>(a.rows);
  const MarkRows at{a.at_ms.data(), rows};
  const MarkRows rt{a.rt_ms.data(), rows};
  // A shorter recording is searched as the interactive program's table holds
  // it: zeros after its end up to sample 30000.
  const DerivativeView view{deriv.values.data(), static_cast<std::size_t>(a.sample_count),
                            a.sample_count, std::max(a.sample_count, kMaxSamples)};
  const MarkSearch search{a.sample_count, a.lead_count, settings.at_from, settings.at_to,
                          settings.rt_from, settings.rt_to};
  find_marks(view, search, row_beats, at, rt);
  drop_near_duplicate_marks(view, a.lead_count, a.rows, at, rt);

  std::vector<double> noise;
  for (int lead = 1; lead <= a.lead_count; ++lead) noise.push_back(derivative_noise(deriv.lead(lead)));
  add_figures(deriv, noise, a.rows, a.at_ms, true, a.at_fine_ms, a.at_quality);
  add_figures(deriv, noise, a.rows, a.rt_ms, false, a.rt_fine_ms, a.rt_quality);
  const MarkEntries at_entries{a.at_ms.data(), nullptr, a.at_fine_ms.data(), a.at_quality.data(),
                               rows, a.rows};
  const MarkEntries rt_entries{a.rt_ms.data(), nullptr, a.rt_fine_ms.data(), a.rt_quality.data(),
                               rows, a.rows};
  a.marks = assign_marks(a.beats, settings.at_from, a.lead_count, at_entries, rt_entries);
  if (options.keep_derivative) a.derivative = std::move(deriv.values);
  return a;
}

MarkTables mark_tables(const Analysis& a) {
  MarkTables marks;
  marks.at_beat_count = a.rows;
  marks.rt_beat_count = a.rows;
  for (int lead = 1; lead <= std::min(a.lead_count, kMaxLeads); ++lead) {
    for (int row = 1; row <= std::min(a.rows, kMaxRows); ++row) {
      const auto l = static_cast<std::size_t>(lead - 1);
      const auto k = static_cast<std::size_t>(row - 1);
      marks.at_ms(lead, row) = a.at(lead, row);
      marks.rt_ms(lead, row) = a.rt(lead, row);
      marks.at_source_table[l][k] = a.at(lead, row) != 0.0f ? MarkSource::detected : MarkSource::none;
      marks.rt_source_table[l][k] = a.rt(lead, row) != 0.0f ? MarkSource::detected : MarkSource::none;
    }
  }
  return marks;
}

}  // namespace telmor
