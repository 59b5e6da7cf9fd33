// The run record's marks for the views of a session.
#include "session/session_marks.h"

#include <algorithm>
#include <span>
#include <vector>

#include "tables/summary_csv.h"
#include "timing/cycle_search.h"
#include "timing/mark_figures.h"
#include "timing/whole_ms.h"

namespace telmor {
namespace {

void fill_column(std::span<const float> deriv, double noise, const MarkColumn& times, int rows,
                 bool at, MarkFigures::Column& fine, MarkFigures::Column& quality) {
  const auto used = static_cast<std::size_t>(std::clamp(rows, 0, kMaxRows));
  lead_mark_figures(deriv, noise, std::span(times.data(), used), at, std::span(fine.data(), used),
                    std::span(quality.data(), used));
}

// A mark within 1 % of its window's length (one sample at least) of an end,
// as the search flags what it finds.
bool near_an_end(std::int32_t t, std::int32_t from, std::int32_t to) {
  const std::int32_t near = std::max(1, (to - from + 1) / 100);
  return t - from <= near || to - t <= near;
}

// Where the centred c's windows hold each entry of one lead, the entries'
// flags and the RTs' T waves.
void fill_windows(const RunRecord& record, int lead, std::span<const float> rt_deriv, MarkFigures& figures) {
  const DetectionNotes& notes = record.detection;
  const auto l = static_cast<std::size_t>(lead - 1);
  std::array<std::int32_t, kMaxRows + 1> at_of_beat{};  // the earliest AT each beat's window holds
  for (int row = 1; row <= std::clamp(record.marks.at_beat_count, 0, kMaxRows); ++row) {
    std::int32_t t = 0;
    if (!whole_ms(record.at_ms(lead, row), t) || t == 0) continue;
    const int beat = notes.owner(lead, true, t);
    figures.at_owner[l][static_cast<std::size_t>(row - 1)] = static_cast<std::int16_t>(beat);
    if (beat == 0) continue;
    const DetectionNote& note = notes.note(lead, beat);
    if (near_an_end(t, note.at_from, note.at_to)) figures.at_flag[l][static_cast<std::size_t>(row - 1)] = MarkFlag::near_edge;
    std::int32_t& first = at_of_beat[static_cast<std::size_t>(beat)];
    if (first == 0 || t < first) first = t;
  }
  for (int row = 1; row <= std::clamp(record.marks.rt_beat_count, 0, kMaxRows); ++row) {
    std::int32_t t = 0;
    if (!whole_ms(record.rt_ms(lead, row), t) || t == 0) continue;
    const int beat = notes.owner(lead, false, t);
    figures.rt_owner[l][static_cast<std::size_t>(row - 1)] = static_cast<std::int16_t>(beat);
    if (beat == 0 || t < 1 || t > static_cast<std::int32_t>(rt_deriv.size())) continue;
    const DetectionNote& note = notes.note(lead, beat);
    if (near_an_end(t, note.rt_from, note.rt_to)) figures.rt_flag[l][static_cast<std::size_t>(row - 1)] = MarkFlag::near_edge;
    const std::int32_t at = at_of_beat[static_cast<std::size_t>(beat)];
    figures.polarity[l][static_cast<std::size_t>(row - 1)] =
        t_polarity(rt_deriv, t, at != 0 && at < t ? at : note.rt_from, note.rt_to);
  }
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
    figures.silent_lead[l] =
        samples > 0 && std::all_of(at_deriv.begin(), at_deriv.end(), [](float v) { return v == 0.0f; });
    if (record.detection.beat_count > 0) fill_windows(record, lead, rt_deriv, figures);
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
  const int leads = std::clamp(r.lead_count, 0, kMaxLeads);
  MarkEntries at{&r.marks.at_ms_table[0][0], &r.marks.at_source_table[0][0],
                 &r.figures.at_fine_ms[0][0], &r.figures.at_quality[0][0], kMaxRows,
                 std::clamp(r.marks.at_beat_count, 0, kMaxRows)};
  MarkEntries rt{&r.marks.rt_ms_table[0][0], &r.marks.rt_source_table[0][0],
                 &r.figures.rt_fine_ms[0][0], &r.figures.rt_quality[0][0], kMaxRows,
                 std::clamp(r.marks.rt_beat_count, 0, kMaxRows)};
  // The centred c's windows own the marks while the beats are the ones it
  // searched; a mark in no window, and every mark before such a c, by time.
  const DetectionNotes& notes = r.detection;
  const bool by_window =
      notes.beat_count > 0 && static_cast<std::size_t>(notes.beat_count) == beats.size() &&
      std::equal(beats.begin(), beats.end(), notes.beats_ms.begin());
  std::vector<int> at_owners, rt_owners;
  std::vector<MarkFlag> at_reasons, rt_reasons;
  CellReasons reasons;
  if (by_window) {
    for (const auto* owners : {&r.figures.at_owner, &r.figures.rt_owner}) {
      std::vector<int>& into = owners == &r.figures.at_owner ? at_owners : rt_owners;
      for (const auto& column : *owners) into.insert(into.end(), column.begin(), column.end());
    }
    at.owners = at_owners.data();
    rt.owners = rt_owners.data();
    at.flags = &r.figures.at_flag[0][0];
    rt.flags = &r.figures.rt_flag[0][0];
    rt.polarity = &r.figures.polarity[0][0];
    for (int lead = 1; lead <= leads; ++lead) {
      for (int beat = 1; beat <= notes.beat_count; ++beat) {
        at_reasons.push_back(notes.note(lead, beat).at_flag);
        rt_reasons.push_back(notes.note(lead, beat).rt_flag);
      }
    }
    reasons = {at_reasons.data(), rt_reasons.data()};
  }
  BeatTable table = assign_marks(std::move(beats), r.at_from, leads, at, rt, reasons);
  // A lead with no signal, or (after a centred c) flat in the AT windows of
  // more than half the beats searched, has nothing to map.
  for (int lead = 1; lead <= leads; ++lead) {
    int searched = 0, flat = 0;
    for (int beat = 1; by_window && beat <= notes.beat_count; ++beat) {
      const DetectionNote& note = notes.note(lead, beat);
      if (note.at_to < note.at_from) continue;
      ++searched;
      flat += note.at_flag == MarkFlag::flat;
    }
    table.dead_leads.push_back(r.figures.silent_lead[static_cast<std::size_t>(lead - 1)] || 2 * flat > searched ? 1 : 0);
  }
  return table;
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
  // The centred search's flags and T waves; a legacy session's table keeps
  // the columns it always had.
  const bool flags = results.estimator == Estimator::centred;
  if (flags) {
    text += kFlagColumns;
    text += kLabelColumn;
  }
  text += '\n';
  SummaryParts parts;
  parts.flags = flags;
  parts.labels = results.labels;
  parts.extra = [](int, int, const BeatCell& cell) {
    return "," + std::string(source_name(cell.at.earliest_source)) + "," +
           std::string(source_name(cell.rt.earliest_source));
  };
  append_summary_rows(text, results.recording, assign_marks(results), parts);
  return text;
}

}  // namespace telmor
