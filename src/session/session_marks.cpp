// The run record's marks for the views of a session.
#include "session/session_marks.h"

#include <algorithm>
#include <span>
#include <vector>

#include "tables/summary_csv.h"
#include "timing/mark_figures.h"

namespace telmor {
namespace {

void fill_column(std::span<const float> deriv, double noise, const MarkColumn& times, int rows,
                 bool at, MarkFigures::Column& fine, MarkFigures::Column& quality) {
  const auto used = static_cast<std::size_t>(std::clamp(rows, 0, kMaxRows));
  lead_mark_figures(deriv, noise, std::span(times.data(), used), at, std::span(fine.data(), used),
                    std::span(quality.data(), used));
}

}  // namespace

MarkFigures mark_figures(const RunRecord& record) {
  MarkFigures figures;
  const auto samples = static_cast<std::size_t>(std::clamp(record.sample_count, 0, kMaxSamples));
  for (int lead = 1; lead <= std::clamp(record.lead_count, 0, kMaxLeads); ++lead) {
    const auto l = static_cast<std::size_t>(lead - 1);
    // Each kind on the derivative it was found on.
    const std::span<const float> at_deriv(record.deriv_table[l].data(), samples);
    const std::span<const float> rt_deriv(record.rt_table()[l].data(), samples);
    const double at_noise = derivative_noise(at_deriv);
    const double rt_noise =
        rt_deriv.data() == at_deriv.data() ? at_noise : derivative_noise(rt_deriv);
    fill_column(at_deriv, at_noise, record.marks.at_ms_table[l], record.marks.at_beat_count, true,
                figures.at_fine_ms[l], figures.at_quality[l]);
    fill_column(rt_deriv, rt_noise, record.marks.rt_ms_table[l], record.marks.rt_beat_count, false,
                figures.rt_fine_ms[l], figures.rt_quality[l]);
  }
  return figures;
}

ResultsSnapshot snapshot_with_figures(const RunRecord& record) {
  ResultsSnapshot snapshot = snapshot_results(record);
  snapshot.figures = mark_figures(record);
  return snapshot;
}

BeatTable assign_marks(const RunRecord& record) { return assign_marks(snapshot_with_figures(record)); }

BeatTable assign_marks(const ResultsSnapshot& r) {
  std::vector<std::int32_t> beats;
  for (const std::int32_t b : r.beat_ms_list) {
    if (b != 0) beats.push_back(b);
  }
  std::sort(beats.begin(), beats.end());
  const MarkEntries at{&r.marks.at_ms_table[0][0], &r.marks.at_source_table[0][0],
                       &r.figures.at_fine_ms[0][0], &r.figures.at_quality[0][0], kMaxRows,
                       std::clamp(r.marks.at_beat_count, 0, kMaxRows)};
  const MarkEntries rt{&r.marks.rt_ms_table[0][0], &r.marks.rt_source_table[0][0],
                       &r.figures.rt_fine_ms[0][0], &r.figures.rt_quality[0][0], kMaxRows,
                       std::clamp(r.marks.rt_beat_count, 0, kMaxRows)};
  return assign_marks(std::move(beats), r.at_from, std::clamp(r.lead_count, 0, kMaxLeads), at, rt);
}

std::string_view source_name(MarkSource source) {
  switch (source) {
    case MarkSource::detected:
      return "detected";
    case MarkSource::hand:
      return "hand";
    case MarkSource::loaded:
      return "loaded";
    case MarkSource::none:
      break;
  }
  return "";
}

std::string results_table_csv(const ResultsSnapshot& results) {
  std::string text(kSummaryColumns);
  text += ",at_source,rt_source";
  text += kFigureColumns;
  text += '\n';
  append_summary_rows(text, results.recording, assign_marks(results), std::nullopt,
                      [](int, int, const BeatCell& cell) {
                        return "," + std::string(source_name(cell.at.earliest_source)) + "," +
                               std::string(source_name(cell.rt.earliest_source));
                      });
  return text;
}

}  // namespace telmor
