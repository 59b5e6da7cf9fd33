// The centred derivative: at every sample, the slope at that sample of the
// least-squares cubic through the samples within ±half_width of it, with
// abscissae centred on the window. Every window inside the recording has the
// same abscissae, so the derivative of a signal does not depend on where the
// recording starts; only the recording's ends cut a window (one-sided there).
#pragma once

#include <cstddef>

#include "base/console_output.h"
#include "base/fit_messages.h"
#include "fitting/preparation_isa.h"

namespace telmor {

// Leads of a recording lead by lead: lead j (1-based), sample i (1-based) at
// [(j - 1) * lead_stride + (i - 1)] of wave (read) and deriv (written).
struct DerivativeRequest {
  const float* wave = nullptr;
  float* deriv = nullptr;
  std::size_t lead_stride = 0;
  int lead_count = 0;
  int sample_count = 0;
  int half_width = 0;           // in samples
  double samples_per_ms = 1.0;  // the slope per sample times this is per ms
};

// Subtracts each lead's mean over samples 1..sample_count, summed in single
// precision in sample order, from its samples.
void remove_baselines(float* wave, std::size_t lead_stride, int lead_count, int sample_count);

// For each lead and sample m: the window is the samples max(m - half_width, 1)
// .. min(m + half_width, sample_count); its abscissae are the samples' offsets
// from the window's middle, c = (first + last) / 2 (halves where the window
// holds an even count); the cubic is fitted by the least-squares fit of the
// interactive program (sums in double as it accumulates them, its normal
// equations stored in single precision), and deriv at m is
// ((b1 + 2 b2 x) + 3 b3 x²) × samples_per_ms at x = m - c, in double,
// rounded once to single precision. A window the fit refuses (fewer than five
// points) or cannot solve gives 0: no slope is known there; its message goes
// to console, in sample order, lead after lead (a refused window named by
// its first sample as asked and its last after the cut). Returns how many of
// each message went to console.
//
// The fast path fits the windows inside the recording (which share their
// abscissae, normal matrix and factor) several samples at once in vector
// lanes on the widest instruction set the processor has, on `threads`
// threads (0: one per core), and gives the reference path's bits and messages.
FitMessageCounts centred_derivative(const DerivativeRequest& request, ConsoleOutput& console,
                                    int threads = 0);
FitMessageCounts centred_derivative_on(PreparationIsa isa, const DerivativeRequest& request,
                                       ConsoleOutput& console, int threads = 0);

// The straightforward path: one whole fit per sample.
void centred_derivative_reference(const DerivativeRequest& request, ConsoleOutput& console);

}  // namespace telmor
