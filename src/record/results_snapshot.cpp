// Copying the results part of the run record.
#include "record/results_snapshot.h"

#include <limits>

namespace telmor {

MarkFigures::MarkFigures() {
  for (Figures* figures : {&at_fine_ms, &rt_fine_ms, &at_quality, &rt_quality}) {
    for (Column& column : *figures) column.fill(std::numeric_limits<double>::quiet_NaN());
  }
}

ResultsSnapshot snapshot_results(const RunRecord& r) {
  ResultsSnapshot s;
  s.recording = std::string(r.file_name.trimmed());
  s.lead_count = r.lead_count;
  s.at_from = r.at_from;
  s.at_to = r.at_to;
  s.rt_from = r.rt_from;
  s.rt_to = r.rt_to;
  s.amp_ratio = r.amp_ratio;
  s.smooth_points = r.smooth_points;
  s.beat_ms_list = r.beat_ms_list;
  s.marks = r.marks;
  return s;
}

}  // namespace telmor
