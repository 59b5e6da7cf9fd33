// The signal preparation on the run record.
#include "driver/record_preparation.h"

#include "fitting/prepare_signals.h"

namespace telmor {

// The record's tables are read lead after lead through one pointer, and the
// preparation's seconds are the record's.
static_assert(sizeof(Table<kMaxLeads, kMaxSamples>) == sizeof(float) * kMaxLeads * kMaxSamples);
static_assert(kFitBlockSamples == kBlockSamples);

void prepare_signals(RunRecord& r, ConsoleOutput& console, int threads) {
  const SignalTables tables{&r.wave_table[0][0], &r.deriv_table[0][0], kMaxSamples, r.lead_count,
                            r.sample_count, r.smooth_points};
  prepare_signal_tables(tables, console, threads);
  for (int i = 1; i <= r.sample_count; ++i) r.time_ms(i) = static_cast<float>(i);
}

}  // namespace telmor
