// The run record's signals as the preparation of any size takes them.
#pragma once

#include "fitting/signal_tables.h"
#include "record/run_record.h"

namespace telmor::test {

// The record's tables, with its lead count, sample count and smoothing.
inline SignalTables signal_tables(RunRecord& r) {
  return {&r.wave_table[0][0], &r.deriv_table[0][0], kMaxSamples, r.lead_count, r.sample_count,
          r.smooth_points};
}

}  // namespace telmor::test
