// d and c: the recognition ranges picked on the chart, and the automatic
// AT/RT detection around every beat.
#pragma once

#include "console/drawing_state.h"
#include "console/window_layer.h"
#include "record/resume.h"
#include "record/run_record.h"

namespace telmor {

// d. Comes back to the redraw when done or refused, to the menu prompt when
// the picked beat is rejected.
// Draws with drawing's frame and scale and its buffers.
Resume pick_recognition_ranges(WindowLayer& layer, RunRecord& record, DrawingState& drawing);
// c. Comes back to the redraw.
Resume detect_at_rt(WindowLayer& layer, RunRecord& record);

}  // namespace telmor
