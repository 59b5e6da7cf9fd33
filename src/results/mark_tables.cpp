// Comparing tables as the results file holds them.
#include "results/mark_tables.h"

#include <algorithm>
#include <cstddef>

namespace telmor {

bool same_tables(const MarkTables& a, const MarkTables& b, int lead_count) {
  if (a.at_beat_count != b.at_beat_count || a.rt_beat_count != b.rt_beat_count) return false;
  const auto same_rows = [](const MarkTable& x, const MarkTable& y, int lead, std::int32_t count) {
    const auto& column_x = x[static_cast<std::size_t>(lead)];
    const auto& column_y = y[static_cast<std::size_t>(lead)];
    for (int row = 0; row < std::min<std::int32_t>(count, kMaxRows); ++row) {
      if (column_x[static_cast<std::size_t>(row)] != column_y[static_cast<std::size_t>(row)]) return false;
    }
    return true;
  };
  for (int lead = 0; lead < std::min(lead_count, kMaxLeads); ++lead) {
    if (!same_rows(a.at_ms_table, b.at_ms_table, lead, a.at_beat_count) ||
        !same_rows(a.rt_ms_table, b.rt_ms_table, lead, a.rt_beat_count))
      return false;
  }
  return true;
}

}  // namespace telmor
