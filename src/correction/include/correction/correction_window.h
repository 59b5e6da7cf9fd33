// One window of a correction pass: a second of one lead with its derivative
// and the kind's marks.
#pragma once

#include "console/drawing_state.h"
#include "console/window_layer.h"
#include "correction/mark_kind.h"
#include "record/run_record.h"

namespace telmor {

// Draws, on the cleared chart, the window of lead (1..20) that shows samples
// start + 1 .. + 1000: the caption line, the potential curve in blue
// 0.05 above the middle and the derivative in cyan 0.05 below, each scaled to
// ±0.4 of the height, a mark from row 50 to 250 for every one of the kind's
// times in the window, and the instruction line. Samples past 30000 read as
// 0.0. Draws in drawing's frame and writes its win3 columns 1 and 2,
// amp_max, yscale, plot_x, plot_y and curve_n. A curve without a finite scale
// (all zero) is drawn flat on its zero line, and yscale then keeps its last value.
void draw_correction_window(WindowLayer& layer, const RunRecord& record, DrawingState& drawing,
                            MarkKind kind, int lead, int start);

}  // namespace telmor
