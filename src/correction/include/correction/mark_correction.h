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
//
// Keys, while the pass waits for the mouse: right and space step on, left
// back; page down goes to the first window of the next lead (past the last:
// the end), page up to the first window of the previous one; escape leaves
// the pass at once (the chart cleared, as at its end); undo and redo take
// back and make again the pass's edits, each in the window it was made in,
// restoring the lead's times, their sources and the row count exactly. Every
// edit sets results_unsaved; undoing them all brings back the pass's start.
// The frame is told the window (show_place), its time axis, each edit and
// undo (show_note) and the unsaved state.
void correct_marks(WindowLayer& layer, RunRecord& record, DrawingState& drawing, MarkKind kind);

}  // namespace telmor
