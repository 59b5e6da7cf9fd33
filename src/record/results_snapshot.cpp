// Copying the results part of the run record.
#include "record/results_snapshot.h"

namespace telmor {

ResultsSnapshot snapshot_results(const RunRecord& r) {
  ResultsSnapshot s;
  s.recording = std::string(r.file_name.trimmed());
  s.lead_count = r.lead_count;
  s.at_from = r.at_from;
  s.beat_ms_list = r.beat_ms_list;
  s.at_ms_table = r.at_ms_table;
  s.rt_ms_table = r.rt_ms_table;
  s.at_beat_count = r.at_beat_count;
  s.rt_beat_count = r.rt_beat_count;
  s.at_source_table = r.at_source_table;
  s.rt_source_table = r.rt_source_table;
  return s;
}

}  // namespace telmor
