// The signal preparation on the run record.
#include "driver/record_preparation.h"

#include <algorithm>

#include "fitting/centred_derivative.h"
#include "fitting/prepare_signals.h"
#include "timing/analysis_settings.h"

namespace telmor {
namespace {

// The record's tables are read lead after lead through one pointer, and the
// preparation's seconds are the record's.
static_assert(sizeof(Table<kMaxLeads, kMaxSamples>) == sizeof(float) * kMaxLeads * kMaxSamples);
static_assert(kFitBlockSamples == kBlockSamples);

class SilentConsole : public ConsoleOutput {
 public:
  void console_write(std::string_view) override {}
};

DerivativeRequest centred_request(RunRecord& r, Table<kMaxLeads, kMaxSamples>& into, int half_width) {
  return {&r.wave_table[0][0], &into[0][0], kMaxSamples, r.lead_count, r.sample_count, half_width, 1.0};
}

}  // namespace

void differentiate(RunRecord& r, ConsoleOutput& console, int threads) {
  if (r.estimator == Estimator::legacy) {
    const SignalTables tables{&r.wave_table[0][0], &r.deriv_table[0][0], kMaxSamples, r.lead_count,
                              r.sample_count, r.smooth_points};
    differentiate_signal_tables(tables, console, threads);
    return;
  }
  centred_derivative(centred_request(r, r.deriv_table, r.smooth_points), console, threads);
  // RT's own derivative; its fits' messages are not the dialogue's smoothing's.
  if (r.rt_smooth_points == r.smooth_points) {
    for (int lead = 0; lead < std::clamp(r.lead_count, 0, kMaxLeads); ++lead)
      std::copy_n(r.deriv_table[lead].begin(), std::clamp(r.sample_count, 0, kMaxSamples), r.rt_deriv_table[lead].begin());
    return;
  }
  SilentConsole silent;
  centred_derivative(centred_request(r, r.rt_deriv_table, r.rt_smooth_points), silent, threads);
}

void prepare_signals(RunRecord& r, ConsoleOutput& console, int threads) {
  if (r.estimator == Estimator::legacy) {
    const SignalTables tables{&r.wave_table[0][0], &r.deriv_table[0][0], kMaxSamples, r.lead_count,
                              r.sample_count, r.smooth_points};
    prepare_signal_tables(tables, console, threads);
  } else {
    remove_baselines(&r.wave_table[0][0], kMaxSamples, r.lead_count, r.sample_count);
    differentiate(r, console, threads);
  }
  for (int i = 1; i <= r.sample_count; ++i) r.time_ms(i) = static_cast<float>(i);
}

}  // namespace telmor
