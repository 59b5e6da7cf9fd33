// The signal preparation on the run record: the core's steps on its fixed
// tables.
#include "driver/record_preparation.h"

#include "record/record_settings.h"
#include "timing/analysis_steps.h"

namespace telmor {
namespace {

// The record's tables are read lead after lead through one pointer, and the
// legacy fits' one-second blocks are the record's seconds.
static_assert(sizeof(Table<kMaxLeads, kMaxSamples>) == sizeof(float) * kMaxLeads * kMaxSamples);
static_assert(kBlockSamples == static_cast<int>(kLegacyRateHz) && kRecordRateHz == kLegacyRateHz);

// legacy finds RT on deriv_table itself: its RT table is not written.
LeadTables tables_of(RunRecord& r) {
  return {&r.wave_table[0][0], &r.deriv_table[0][0],
          r.estimator == Estimator::legacy ? nullptr : &r.rt_deriv_table[0][0], kMaxSamples, r.lead_count,
          r.sample_count};
}

}  // namespace

void differentiate(RunRecord& r, ConsoleOutput& console, int threads) {
  differentiate_leads(tables_of(r), analysis_settings_of(r), kRecordRateHz, console, threads);
}

void prepare_signals(RunRecord& r, ConsoleOutput& console, int threads) {
  prepare_leads(tables_of(r), analysis_settings_of(r), kRecordRateHz, console, threads);
  for (int i = 1; i <= r.sample_count; ++i) r.time_ms(i) = static_cast<float>(i);
}

}  // namespace telmor
