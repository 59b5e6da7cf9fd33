// The frame's analysis choices into and out of the run record.
#include "console/window_layer.h"

namespace telmor {

void take_analysis_choice(const AnalysisChoice& c, RunRecord& r) {
  r.estimator = c.kind;
  r.rt_smooth_points = c.rt_smooth_points;
  r.rt_margin_ms = c.rt_margin_ms;
  r.rt_after_at = c.rt_after_at;
  r.rt_after_from = c.rt_after_from;
  r.rt_after_to = c.rt_after_to;
  r.blank_before_ms = c.blank_before_ms;
  r.blank_after_ms = c.blank_after_ms;
}

AnalysisChoice analysis_choice_of(const RunRecord& r) {
  return {r.estimator, r.rt_smooth_points, r.rt_margin_ms,     r.rt_after_at,
          r.rt_after_from,   r.rt_after_to,      r.blank_before_ms, r.blank_after_ms};
}

}  // namespace telmor
