// The signal preparation on the run record's tables: baseline removal and the
// smoothed derivative of every lead, and the time axis.
#pragma once

#include "base/console_output.h"
#include "record/run_record.h"

namespace telmor {

// The preparation of the record's tables: each lead's baseline removed, then
// its derivative as the record's estimator says (the fit's messages to
// console; threads for the fits, 0: one per core), then time_ms(i) = i.
void prepare_signals(RunRecord& record, ConsoleOutput& console, int threads = 0);

// The derivatives alone, of the baseline-corrected samples: after a change of
// estimator or rt_smooth_points, so that the next c uses them.
void differentiate(RunRecord& record, ConsoleOutput& console, int threads = 0);

}  // namespace telmor
