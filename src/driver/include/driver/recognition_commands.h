// d and c: the recognition ranges picked on the chart, and the automatic
// AT/RT detection around every beat.
#pragma once

#include <cstdint>

#include "console/drawing_state.h"
#include "console/window_layer.h"
#include "record/resume.h"
#include "record/run_record.h"

namespace telmor {

// The beat that d picked, kept by the command loop from one command to the
// next: a later d keeps it when nothing is nearer, and c names it.
struct BeatPick {
  std::int32_t selected_beat_ms = 0;
  std::int32_t window_start_ms = 0;  // the start of d's window around it
};

// d. Comes back to the redraw when done or refused, to the menu prompt when
// the picked beat is rejected.
// Draws with drawing's frame and scale and its buffers.
Resume pick_recognition_ranges(WindowLayer& layer, RunRecord& record, DrawingState& drawing,
                               BeatPick& pick);
// The ranges suggested from the recording, drawn into d's window around the
// beat d picked (or the first it could pick) and offered to take, to click
// over as d does, or to leave. Comes back to the redraw when it drew, to the
// menu prompt when it could suggest nothing.
Resume suggest_recognition_ranges(WindowLayer& layer, RunRecord& record, DrawingState& drawing, BeatPick& pick);
// c. Comes back to the redraw. Names the beat d picked on the console.
Resume detect_at_rt(WindowLayer& layer, RunRecord& record, std::int32_t selected_beat_ms);

}  // namespace telmor
