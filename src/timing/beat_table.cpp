// Assigning the marks of the AT and RT tables to beats by time.
#include "timing/beat_table.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "timing/whole_ms.h"

namespace telmor {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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

BeatTable marks_by_beat(const Analysis& a) {
  // c's row layout: row 1 empty, row k + 1 for beat k, lead by lead.
  const auto rows = static_cast<std::size_t>(a.beat_count() + 1);
  const std::size_t cells = static_cast<std::size_t>(a.lead_count) * rows;
  std::vector<float> at(cells, 0.0f), rt(cells, 0.0f);
  std::vector<double> at_fine(cells, kNaN), rt_fine(cells, kNaN), at_quality(cells, kNaN),
      rt_quality(cells, kNaN);
  for (int lead = 1; lead <= a.lead_count; ++lead) {
    for (int beat = 1; beat <= a.beat_count(); ++beat) {
      const std::size_t from = a.index(beat, lead);
      const std::size_t to = static_cast<std::size_t>(lead - 1) * rows + static_cast<std::size_t>(beat);
      if (!std::isnan(a.at_ms[from])) at[to] = static_cast<float>(a.at_ms[from]);
      if (!std::isnan(a.rt_ms[from])) rt[to] = static_cast<float>(a.rt_ms[from]);
      at_fine[to] = a.at_fine_ms[from];
      rt_fine[to] = a.rt_fine_ms[from];
      at_quality[to] = a.at_quality[from];
      rt_quality[to] = a.rt_quality[from];
    }
  }
  std::vector<std::int32_t> beats;
  for (const double b : a.beats_ms) beats.push_back(static_cast<std::int32_t>(b));
  const MarkEntries at_entries{at.data(), nullptr, at_fine.data(), at_quality.data(), rows,
                               static_cast<int>(rows)};
  const MarkEntries rt_entries{rt.data(), nullptr, rt_fine.data(), rt_quality.data(), rows,
                               static_cast<int>(rows)};
  return assign_marks(std::move(beats), a.settings.at_from, a.lead_count, at_entries, rt_entries);
}

}  // namespace telmor
