// Removing a beat's marks from both tables of every lead.
#include "correction/beat_drop.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "correction/mark_table.h"

namespace telmor {
namespace {

int drop_owned(MarkColumn& column, SourceColumn& sources, int rows, std::int64_t from,
               std::int64_t to) {
  int dropped = 0;
  for (int row = 1; row <= rows; ++row) {
    float& time = column[static_cast<std::size_t>(row - 1)];
    if (time == 0.0f || !std::isfinite(time)) continue;  // an empty entry, or no time at all
    const auto t = static_cast<std::int64_t>(std::llround(static_cast<double>(time)));
    if (t < from || t >= to) continue;
    time = 0.0f;
    sources[static_cast<std::size_t>(row - 1)] = MarkSource::none;
    ++dropped;
  }
  if (dropped > 0) sort_times(column, sources, rows);
  return dropped;
}

}  // namespace

int drop_beat_marks(RunRecord& record, std::int32_t beat_ms) {
  std::vector<std::int32_t> beats;
  for (const std::int32_t b : record.beat_ms_list) {
    if (b != 0) beats.push_back(b);
  }
  std::sort(beats.begin(), beats.end());
  const auto at = std::find(beats.begin(), beats.end(), beat_ms);
  if (beat_ms == 0 || at == beats.end()) return -1;
  const std::int64_t from = std::int64_t{*at} + record.at_from;
  const std::int64_t to = at + 1 != beats.end() ? std::int64_t{*(at + 1)} + record.at_from
                                                : std::numeric_limits<std::int64_t>::max();
  MarkTables& m = record.marks;
  const int at_rows = std::clamp(m.at_beat_count, 0, kMaxRows);
  const int rt_rows = std::clamp(m.rt_beat_count, 0, kMaxRows);
  int dropped = 0;
  for (int lead = 1; lead <= std::clamp(record.lead_count, 0, kMaxLeads); ++lead) {
    const auto l = static_cast<std::size_t>(lead - 1);
    dropped += drop_owned(m.at_ms_table[l], m.at_source_table[l], at_rows, from, to);
    dropped += drop_owned(m.rt_ms_table[l], m.rt_source_table[l], rt_rows, from, to);
  }
  return dropped;
}

}  // namespace telmor
