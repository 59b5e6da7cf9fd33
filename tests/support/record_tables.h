// The run record's wave table as the readers of any size take it.
#pragma once

#include "readers/waveform_rows.h"
#include "record/run_record.h"

namespace telmor::test {

inline WaveTarget wave_target(RunRecord& r) { return {&r.wave_table[0][0], kMaxSamples}; }

}  // namespace telmor::test
