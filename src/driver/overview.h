// The overview: the first four seconds of lead 1 with a marker at every beat.
#pragma once

#include "console/window_layer.h"
#include "driver/run_record.h"

namespace telmor {

// Sorts a copy of beat_found_list into beat_ms_list: whole ms, latest first,
// then zeros (a selection sort; of equal values the last entry comes first).
void sort_beats(RunRecord& record);

// Clears the chart, draws lead 1 over the first 4000 ms (only the recorded
// samples of a shorter recording) with the current vertical scale, rebuilds
// beat_ms_list and draws a vertical cyan marker at each beat.
// Writes plot_x, plot_y, mark_x, beat_ms_list.
void draw_overview(WindowLayer& layer, RunRecord& record);

}  // namespace telmor
