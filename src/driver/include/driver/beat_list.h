// The beat list of the run record: the search on lead 1 at start-up and the
// sort at every redraw.
#pragma once

#include "record/run_record.h"

namespace telmor {

// The largest |wave| over samples 100..1000 of leads 1..3 of the record's
// table as it stands (leads the file did not fill hold zeros, or what an
// earlier load attempt left). 0.0 means the recording holds no data.
float overview_amplitude(const RunRecord& record);

// The beats of lead 1 (find_beats over samples 1..sample_count of its
// derivative, at most 199: the table's rows, with the record's blanking and,
// centred, the noise floor) into beat_found_list in the order the search
// found them, 0.0 after the last.
void search_beats(RunRecord& record);

// Sorts a copy of beat_found_list into beat_ms_list: whole ms, latest first,
// then zeros (a selection sort; of equal values the last entry comes first).
void sort_beats(RunRecord& record);

}  // namespace telmor
