// The run record's settings for the analysis core.
#include "record/record_settings.h"

namespace telmor {

AnalysisSettings analysis_settings_of(const RunRecord& r) {
  AnalysisSettings s;
  s.smooth_ms = r.smooth_points;
  s.amp_ratio = r.amp_ratio;
  s.at_from = r.at_from;
  s.at_to = r.at_to;
  s.rt_from = r.rt_from;
  s.rt_to = r.rt_to;
  s.beat_lead = 1;
  s.estimator = r.estimator;
  // legacy has one derivative and searches as specified: it takes neither.
  if (r.estimator == Estimator::centred) {
    s.rt_smooth_ms = r.rt_smooth_points;
    s.rt_margin_ms = r.rt_margin_ms;
    if (r.rt_after_at) s.rt_after_at = std::pair(r.rt_after_from, r.rt_after_to);
  }
  s.blank_before_ms = r.blank_before_ms;
  s.blank_after_ms = r.blank_after_ms;
  return s;
}

}  // namespace telmor
