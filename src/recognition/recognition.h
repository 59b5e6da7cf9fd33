// d and c: the recognition ranges picked on the chart, and the automatic
// AT/RT detection around every beat.
#pragma once

#include "console/window_layer.h"
#include "driver/command_loop.h"
#include "driver/run_record.h"

namespace telmor {

// d. Comes back to the redraw when done or refused, to the menu prompt when
// the picked beat is rejected.
Resume pick_recognition_ranges(WindowLayer& layer, RunRecord& record);
// c. The loop redraws afterwards.
void detect_at_rt(WindowLayer& layer, RunRecord& record);

}  // namespace telmor
