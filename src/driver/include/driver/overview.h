// The overview: the first four seconds of lead 1 with a marker at every beat,
// and the start-up step that finds the beats and fixes the scale it is drawn in.
#pragma once

#include "console/drawing_state.h"
#include "console/window_layer.h"
#include "record/run_record.h"

namespace telmor {

// Finds the beats of lead 1 (beat_found_list) and the amplitude of leads 1..3
// (drawing.amp_max); when there is data, sets the drawing frame and scale.
// Returns false, leaving the frame as it was, when the amplitude is exactly 0:
// the recording holds no data.
bool find_beats(RunRecord& record, DrawingState& drawing);

// Clears the chart, draws lead 1 over the first 4000 ms (only the recorded
// samples of a shorter recording) with the current vertical scale, rebuilds
// beat_ms_list (sort_beats) and draws a vertical cyan marker at each beat.
// Writes drawing's plot_x, plot_y and mark_x, and beat_ms_list. Tells the
// frame the time axis and the lead strip (lead_strip_of).
void draw_overview(WindowLayer& layer, RunRecord& record, DrawingState& drawing);

// Lead 1's recorded samples and the beats of beat_ms_list, latest first.
LeadStrip lead_strip_of(const RunRecord& record);

}  // namespace telmor
