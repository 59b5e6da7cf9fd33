// The two steps of the automatic detection, on the run record's tables.
#pragma once

#include "record/run_record.h"

namespace telmor {

// Fills rows 1 to n of AT_MS and RT_MS for leads 1 to LEAD_COUNT, row k from
// beat n + 1 - k of BEAT_MS (so row 1, the first zero entry, stays empty and
// the beats follow in ascending time). Positions outside the derivative table
// are skipped.
void find_at_rt(RunRecord& record, int n);

// Of two results of a lead at most 50 ms apart in rows 1 to n, keeps the one
// at the lower derivative (AT) or the higher derivative (RT).
void drop_near_duplicates(RunRecord& record, int n);

}  // namespace telmor
