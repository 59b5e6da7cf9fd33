// A results file's tables into the run record, as a load puts them there.
#include "record/loaded_results.h"

#include <algorithm>

#include "results/results_layout.h"

namespace telmor {

void store_loaded(const LoadedTables& loaded, RunRecord& record) {
  const int leads = leads_in_row(record.lead_count);
  const int at_rows = std::clamp(loaded.at_count, 0, kMaxRows);
  const int rt_rows = std::clamp(loaded.rt_count, 0, kMaxRows);
  const auto source = [](float time) { return time != 0.0f ? MarkSource::loaded : MarkSource::none; };
  for (int lead = 1; lead <= leads; ++lead) {
    SourceColumn& at_sources = record.marks.at_source_table[static_cast<std::size_t>(lead - 1)];
    SourceColumn& rt_sources = record.marks.rt_source_table[static_cast<std::size_t>(lead - 1)];
    for (int row = 1; row <= kClearedRows; ++row) {
      record.at_ms(lead, row) = 0.0f;
      record.rt_ms(lead, row) = 0.0f;
      at_sources[static_cast<std::size_t>(row - 1)] = MarkSource::none;
      rt_sources[static_cast<std::size_t>(row - 1)] = MarkSource::none;
    }
    for (int row = 1; row <= at_rows; ++row) {
      record.at_ms(lead, row) = loaded.at_ms[lead - 1][row - 1];
      at_sources[static_cast<std::size_t>(row - 1)] = source(record.at_ms(lead, row));
    }
    for (int row = 1; row <= rt_rows; ++row) {
      record.rt_ms(lead, row) = loaded.rt_ms[lead - 1][row - 1];
      rt_sources[static_cast<std::size_t>(row - 1)] = source(record.rt_ms(lead, row));
    }
  }
  record.marks.at_beat_count = loaded.at_count;
  record.marks.rt_beat_count = loaded.rt_count;
}

}  // namespace telmor
