// A copy of the AT and RT tables and of what goes with them, taken when the
// program flow comes back to the menu, for views that live on another thread
// and must never read the run record while it changes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "record/run_record.h"

namespace telmor {

struct ResultsSnapshot {
  std::string recording;  // the file name as typed, without its extension
  std::int32_t lead_count = 0;
  std::int32_t at_from = 0;  // the AT range's start: beats own times from there
  std::array<std::int32_t, kMaxRows> beat_ms_list{};
  MarkTable at_ms_table{};
  MarkTable rt_ms_table{};
  std::int32_t at_beat_count = 0;
  std::int32_t rt_beat_count = 0;
  SourceTable at_source_table{};
  SourceTable rt_source_table{};
};

ResultsSnapshot snapshot_results(const RunRecord& record);

}  // namespace telmor
