// Assigning the marks of the AT and RT tables to beats by time.
#include "timing/beat_table.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "timing/mark_figures.h"
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
    const int found_by = entries.owners != nullptr ? entries.owners[at] : 0;
    // An owner the beats do not have (the caller's numbering went wrong) places
    // the mark by time rather than into another lead's cells.
    const bool owned = found_by > 0 && found_by <= static_cast<int>(starts.size());
    OwnedMarks& marks = cells[owned ? found_by : owner(starts, t)].*kind;
    if (marks.count == 0 || t < marks.earliest) {
      marks.earliest = t;
      marks.earliest_row = row;
      marks.earliest_source = source;
      marks.fine_ms = entries.fine[at];
      marks.quality = entries.quality[at];
      marks.flag = entries.flags != nullptr ? entries.flags[at] : MarkFlag::none;
      marks.polarity = entries.polarity != nullptr ? entries.polarity[at] : TPolarity::none;
    }
    ++marks.count;
    marks.by_hand += source == MarkSource::hand;
    count_source(source, counts);
  }
}

}  // namespace

BeatTable assign_marks(std::vector<std::int32_t> beats, std::int32_t at_from, int leads,
                       const MarkEntries& at, const MarkEntries& rt, const CellReasons& reasons) {
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
    for (std::size_t k = 1; k < per_lead; ++k) {
      const std::size_t reason = static_cast<std::size_t>(lead - 1) * (per_lead - 1) + (k - 1);
      if (reasons.at != nullptr && cells[k].at.count == 0) cells[k].at.flag = reasons.at[reason];
      if (reasons.rt != nullptr && cells[k].rt.count == 0) cells[k].rt.flag = reasons.rt[reason];
    }
  }
  return table;
}

std::vector<RangeWarning> crowded_ends(const BeatTable& t) {
  std::vector<RangeWarning> warnings;
  for (int lead = 1; lead <= t.leads; ++lead) {
    if (t.dead(lead)) continue;
    for (const MarkKind kind : {MarkKind::at, MarkKind::rt}) {
      const bool at = kind == MarkKind::at;
      int searched = 0, edges = 0;
      for (int beat = 1; beat <= t.beat_count(); ++beat) {
        const OwnedMarks& m = at ? t.cell(lead, beat).at : t.cell(lead, beat).rt;
        if (m.count == 0 && m.flag == MarkFlag::none) continue;
        ++searched;
        edges += m.flag == MarkFlag::edge || m.flag == MarkFlag::near_edge ||
                 (m.count > 0 && m.quality < (at ? kWeakAtQuality : kWeakRtQuality));
      }
      if (5 * edges > searched) warnings.push_back({lead, kind, edges, searched});
    }
  }
  return warnings;
}

BeatTable marks_by_beat(const Analysis& a) {
  // c's row layout: row 1 empty, row k + 1 for beat k, lead by lead.
  const auto rows = static_cast<std::size_t>(a.beat_count() + 1);
  const std::size_t cells = static_cast<std::size_t>(a.lead_count) * rows;
  const bool by_window = a.settings.estimator == Estimator::centred;
  std::vector<float> at(cells, 0.0f), rt(cells, 0.0f);
  std::vector<double> at_fine(cells, kNaN), rt_fine(cells, kNaN), at_quality(cells, kNaN),
      rt_quality(cells, kNaN);
  std::vector<int> owners(cells, 0);
  std::vector<MarkFlag> at_flags(cells, MarkFlag::none), rt_flags(cells, MarkFlag::none);
  std::vector<TPolarity> polarity(cells, TPolarity::none);
  // Why a cell has no mark, lead by lead (beats 1..n).
  std::vector<MarkFlag> at_reasons(cells - static_cast<std::size_t>(a.lead_count)),
      rt_reasons(at_reasons.size());
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
      if (!by_window) continue;
      owners[to] = beat;
      at_flags[to] = a.at_flag[from];
      rt_flags[to] = a.rt_flag[from];
      polarity[to] = a.t_polarity[from];
      const std::size_t reason = static_cast<std::size_t>(lead - 1) * (rows - 1) + static_cast<std::size_t>(beat - 1);
      at_reasons[reason] = a.at_flag[from];
      rt_reasons[reason] = a.rt_flag[from];
    }
  }
  std::vector<std::int32_t> beats;
  for (const double b : a.beats_ms) beats.push_back(static_cast<std::int32_t>(b));
  MarkEntries at_entries{at.data(), nullptr, at_fine.data(), at_quality.data(), rows, static_cast<int>(rows)};
  MarkEntries rt_entries{rt.data(), nullptr, rt_fine.data(), rt_quality.data(), rows, static_cast<int>(rows)};
  CellReasons reasons;
  if (by_window) {
    at_entries.owners = rt_entries.owners = owners.data();
    at_entries.flags = at_flags.data();
    rt_entries.flags = rt_flags.data();
    rt_entries.polarity = polarity.data();
    reasons = {at_reasons.data(), rt_reasons.data()};
  }
  BeatTable table = assign_marks(std::move(beats), a.at_from, a.lead_count, at_entries, rt_entries, reasons);
  for (const bool dead : a.dead_lead) table.dead_leads.push_back(dead ? 1 : 0);
  return table;
}

}  // namespace telmor
