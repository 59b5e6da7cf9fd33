// An analysis as the results file's tables.
#include "results/analysis_tables.h"

#include <algorithm>
#include <cmath>

namespace telmor {

bool fits_results_file(const Analysis& a) {
  return a.lead_count <= kMaxLeads && a.beat_count() + 1 <= kMaxRows;
}

MarkTables results_tables(const Analysis& a) {
  MarkTables marks;
  marks.at_beat_count = a.beat_count() + 1;
  marks.rt_beat_count = a.beat_count() + 1;
  // Within the tables' bounds whatever the analysis holds.
  for (int lead = 1; lead <= std::min(a.lead_count, kMaxLeads); ++lead) {
    for (int beat = 1; beat <= std::min(a.beat_count(), kMaxRows - 1); ++beat) {
      const int row = beat + 1;
      const auto l = static_cast<std::size_t>(lead - 1);
      const auto k = static_cast<std::size_t>(row - 1);
      const double at = a.at_time(beat, lead), rt = a.rt_time(beat, lead);
      if (!std::isnan(at)) {
        marks.at_ms(lead, row) = static_cast<float>(at);
        marks.at_source_table[l][k] = MarkSource::detected;
      }
      if (!std::isnan(rt)) {
        marks.rt_ms(lead, row) = static_cast<float>(rt);
        marks.rt_source_table[l][k] = MarkSource::detected;
      }
    }
  }
  return marks;
}

}  // namespace telmor
