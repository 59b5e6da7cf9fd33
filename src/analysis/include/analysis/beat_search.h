// Beat search on lead 1, and the amplitude that decides whether a recording
// holds any data at all.
#pragma once

#include "record/run_record.h"

namespace telmor {

// The largest |wave| over samples 100..1000 of leads 1..3 (bounds fixed:
// leads the file did not fill hold zeros). The overview's vertical scale is
// made for it; 0.0 means the recording holds no data.
float overview_amplitude(const RunRecord& record);

// Finds the beats of lead 1 as its steepest downstrokes: pass after pass, the
// most negative slope left within samples 100..sample_count-100 is recorded
// and the stretch from 100 ms before to 200 ms after it is blanked, until the
// minimum of a pass is no longer below amp_ratio times the steepest slope of
// the lead (that last pass still records its position) or 199 beats are found.
// Reads deriv, sample_count, amp_ratio; writes beat_found_list only.
void search_beats(RunRecord& record);

}  // namespace telmor
