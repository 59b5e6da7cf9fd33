// Baseline removal and the smoothed derivative of every lead.
#pragma once

#include <memory>

#include "base/console_output.h"
#include "fitting/preparation_isa.h"
#include "fitting/signal_tables.h"

namespace telmor {

// The plans of the fast path (the part of every fit that depends on the
// window only), kept for the next preparation with the same smoothing: a
// batch prepares many recordings of one smoothing and mostly one length.
// Owned by the caller, one per thread that prepares; a preparation without
// one makes its plans afresh.
struct WindowPlans;
class PreparationCache {
 public:
  PreparationCache();
  ~PreparationCache();
  PreparationCache(const PreparationCache&) = delete;
  PreparationCache& operator=(const PreparationCache&) = delete;

 private:
  friend struct PlansAccess;
  std::unique_ptr<WindowPlans> plans_;
};

// For each lead 1..lead_count: subtracts the lead's mean over samples
// 1..sample_count (summed in single precision in sample order) from wave, and
// sets deriv at every sample to the slope at that sample of the least-squares
// cubic through the lead's samples within +-smooth_points of it. The fit's
// abscissae are block indices, the sample's position in its one-second block
// (1..1000, continued below 1 and above 1000 into the neighbouring seconds),
// and the slope is taken at the sample's own block index; a last, partial
// second is fitted like the others. Only the recording's ends cut a window:
// near them it is one-sided. A window the fit refuses or cannot solve (too
// few points, or a normal matrix that is not positive definite) gives deriv
// 0: no slope is known there. Its message still goes to console; a refused
// window is named by its first block index as asked and its last after the
// cut. Leads above lead_count and samples above sample_count are left as they
// are. Returns how many of each message went to console.
//
// The fast path shares the data-independent part of the fit (window,
// abscissae, normal matrix, factor) across leads and seconds, fits several
// leads at once in vector lanes on the widest instruction set the processor
// has, and runs on `threads` threads (0: one per core); it gives
// bit-identical results and messages.
FitMessageCounts prepare_signal_tables(const SignalTables& tables, ConsoleOutput& console,
                                       int threads = 0, PreparationCache* cache = nullptr);
// The same on a given instruction set, one of available_isas().
FitMessageCounts prepare_signal_tables_on(PreparationIsa isa, const SignalTables& tables,
                                          ConsoleOutput& console, int threads = 0,
                                          PreparationCache* cache = nullptr);
// The straightforward path: one full fit per sample. The reference the fast
// path is tested against.
void prepare_signal_tables_reference(const SignalTables& tables, ConsoleOutput& console);

// The derivative alone (deriv over samples 1..sample_count), of a wave whose
// baseline is removed already, as prepare_signal_tables forms it.
FitMessageCounts differentiate_signal_tables(const SignalTables& tables, ConsoleOutput& console,
                                             int threads = 0, PreparationCache* cache = nullptr);

}  // namespace telmor
