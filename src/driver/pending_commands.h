// The menu commands whose work is not built yet: each says so in the chart
// window and hands control back where the finished command will.
#pragma once

#include "console/window_layer.h"
#include "driver/command_loop.h"
#include "driver/run_record.h"

namespace telmor {

enum class MarkKind { at, rt };

// d: recognition ranges. Comes back to the redraw when done, to the menu
// prompt when left early.
Resume pick_recognition_ranges(WindowLayer& layer, RunRecord& record);
// c: automatic AT/RT detection (the loop redraws afterwards).
void detect_at_rt(WindowLayer& layer, RunRecord& record);
// a, r: correction pass followed by the offer to save (the loop shows the menu).
void correct_marks(WindowLayer& layer, RunRecord& record, MarkKind kind);
// s, o: save and load the results file (the loop shows the menu).
void save_results(WindowLayer& layer, RunRecord& record);
void load_results(WindowLayer& layer, RunRecord& record);

}  // namespace telmor
