// Beat search on lead 1 and the vertical scale and frame of every drawing.
#pragma once

#include "driver/run_record.h"

namespace telmor {

// Finds the beats of lead 1 as its steepest downstrokes: pass after pass, the
// most negative slope left within samples 100..sample_count-100 is recorded
// and the stretch from 100 ms before to 200 ms after it is blanked, until the
// minimum of a pass is no longer below amp_ratio times the steepest slope of
// the lead (that last pass still records its position) or 199 beats are found.
// Reads wave, deriv, sample_count, amp_ratio. Writes beat_found_list,
// amp_max (largest |wave| over samples 100..1000 of leads 1..3) and, when
// there is data, the drawing frame, the marker constants and curve_n.
// Returns false, leaving the frame as it was, when amp_max is exactly 0.
bool find_beats(RunRecord& record);

}  // namespace telmor
