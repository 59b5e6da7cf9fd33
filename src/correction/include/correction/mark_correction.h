// a and r: the correction pass over every window of every lead.
#pragma once

#include "console/drawing_state.h"
#include "console/window_layer.h"
#include "correction/mark_kind.h"
#include "record/run_record.h"

namespace telmor {

// Walks the windows of all leads from the first window of lead 1, adding and
// removing the kind's times with left clicks; right press steps on, right
// double-click back. Stepping past the last window clears the chart and
// returns; the caller then offers the save. Leaves drawing's amp_max and
// yscale at the last window's scale. Needs record_seconds >= 1.
void correct_marks(WindowLayer& layer, RunRecord& record, DrawingState& drawing, MarkKind kind);

}  // namespace telmor
