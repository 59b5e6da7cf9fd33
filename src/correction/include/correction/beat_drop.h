// A false beat in one step: every AT and RT mark that a beat owns, in every
// lead, taken away as the clicks of a correction pass would take them away.
#pragma once

#include <cstdint>

#include "record/run_record.h"

namespace telmor {

// Beats own times as the results view assigns them: beat k of the ascending
// non-zero entries of beat_ms_list owns the whole ms t (the time rounded,
// halves away from zero) with beat_k + at_from <= t < beat_(k+1) + at_from,
// the last beat every later time. Clears those entries of rows 1..count of
// leads 1..lead_count of both tables, with their sources, and re-sorts each
// changed column (sort_times); the counts stay, as after a click's removal.
// Returns how many marks went; -1, changing nothing, when beat_ms is no beat.
int drop_beat_marks(RunRecord& record, std::int32_t beat_ms);


}  // namespace telmor
