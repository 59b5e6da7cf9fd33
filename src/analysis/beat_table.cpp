// Assigning the marks of the AT and RT tables to beats by time.
#include "analysis/beat_table.h"

#include <algorithm>

#include "analysis/mark_figures.h"
#include "results/results_format.h"

namespace telmor {
namespace {

// The beat (0..n) whose stretch holds t: the number of beats whose stretch
// starts at or before t.
int owner(const std::vector<std::int32_t>& starts, std::int32_t t) {
  return static_cast<int>(std::upper_bound(starts.begin(), starts.end(), t) - starts.begin());
}

void count_source(MarkSource source, SourceCounts& counts) {
  switch (source) {
    case MarkSource::detected:
      ++counts.detected;
      break;
    case MarkSource::hand:
      ++counts.hand;
      break;
    case MarkSource::loaded:
      ++counts.loaded;
      break;
    case MarkSource::none:
      break;
  }
}

void assign(const MarkEntries& entries, int lead, const std::vector<std::int32_t>& starts,
            BeatCell* cells, OwnedMarks BeatCell::*kind, SourceCounts& counts) {
  const std::size_t first = static_cast<std::size_t>(lead - 1) * entries.lead_stride;
  for (int row = 1; row <= entries.rows; ++row) {
    const std::size_t at = first + static_cast<std::size_t>(row - 1);
    const float time = entries.times[at];
    std::int32_t t = 0;
    // A time the results file cannot hold cannot be saved either: it has no place.
    if (time == 0.0f || !whole_ms(time, t)) continue;
    const MarkSource source = entries.sources != nullptr ? entries.sources[at] : MarkSource::detected;
    OwnedMarks& marks = cells[owner(starts, t)].*kind;
    if (marks.count == 0 || t < marks.earliest) {
      marks.earliest = t;
      marks.earliest_row = row;
      marks.earliest_source = source;
      marks.fine_ms = entries.fine[at];
      marks.quality = entries.quality[at];
    }
    ++marks.count;
    marks.by_hand += source == MarkSource::hand;
    count_source(source, counts);
  }
}

}  // namespace

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

BeatTable assign_marks(std::vector<std::int32_t> beats, std::int32_t at_from, int leads,
                       const MarkEntries& at, const MarkEntries& rt) {
  BeatTable table;
  table.beats = std::move(beats);
  std::vector<std::int32_t> starts;
  starts.reserve(table.beats.size());
  for (const std::int32_t b : table.beats) starts.push_back(b + at_from);

  table.leads = leads;
  const auto per_lead = table.beats.size() + 1;
  table.cells.assign(static_cast<std::size_t>(table.leads) * per_lead, BeatCell{});
  for (int lead = 1; lead <= table.leads; ++lead) {
    BeatCell* cells = table.cells.data() + static_cast<std::size_t>(lead - 1) * per_lead;
    assign(at, lead, starts, cells, &BeatCell::at, table.sources);
    assign(rt, lead, starts, cells, &BeatCell::rt, table.sources);
  }
  return table;
}

}  // namespace telmor
