// Beat search on lead 1, and the amplitude that decides whether a recording
// holds any data at all.
#pragma once

#include <span>
#include <vector>

#include "record/run_record.h"

namespace telmor {

// The largest |wave| over samples 100..1000 of leads 1..3 (bounds fixed:
// leads the file did not fill hold zeros). The overview's vertical scale is
// made for it; 0.0 means the recording holds no data.
float overview_amplitude(const RunRecord& record);

// Finds the beats of lead 1 as its steepest downstrokes (slopes per second
// of deriv x 1000): pass after pass, the most negative slope left within
// samples 100..sample_count-100 (the earliest of equal ones) is recorded and
// the stretch from 100 ms before to 200 ms after it is blanked, as long as it
// is steeper (strictly below) than amp_ratio times the steepest slope of
// samples 2..sample_count-2, and at most 199 times. The first pass whose
// minimum is not is no beat and ends the search. Reads deriv, sample_count,
// amp_ratio; writes beat_found_list only (0.0 after the last beat).
// The table holds 199 beats: an interactive session finds no more.
void search_beats(RunRecord& record);

// The search itself on one lead's derivative (sample i at deriv[i - 1]), for
// at most max_beats beats: their samples in the order the passes found them.
std::vector<int> find_beats(std::span<const float> deriv, float amp_ratio, int max_beats);

// Sorts a copy of beat_found_list into beat_ms_list: whole ms, latest first,
// then zeros (a selection sort; of equal values the last entry comes first).
void sort_beats(RunRecord& record);

}  // namespace telmor
