// A small recording for correction passes: two leads of three seconds (six
// windows each), flat curves, one-millisecond samples, the usual frame.
#pragma once

#include "console/drawing_state.h"
#include "record/run_record.h"

namespace telmor::test {

inline void set_up_small_pass(RunRecord& record, DrawingState& drawing) {
  record.lead_count = 2;
  record.record_seconds = 3;
  record.sample_count = 3000;
  drawing.frame_x0 = 0.0f;
  drawing.frame_x1 = 0.6f;
  drawing.frame_y0 = 0.1f;
  drawing.frame_y1 = 0.9f;
  drawing.frame_ymid = (drawing.frame_y0 + drawing.frame_y1) / 2.0f;
  drawing.amp_max = 1.6f;
  drawing.yscale = 0.25f;
  for (int i = 1; i <= kMaxSamples; ++i) record.time_ms(i) = static_cast<float>(i);
}

}  // namespace telmor::test
