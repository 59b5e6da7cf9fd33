// The versions of the lane kernel, one per instruction set.
#pragma once

#include <cstdint>

#include "fitting/preparation_isa.h"
#include "window_plans.h"

namespace telmor {

// Fits one second of `lanes` leads side by side with the plans of its kind,
// plan[m - 1] for block index m: ys[(i - 1) * lanes + lane] is block index i
// of a lane's lead, for every block index the second's windows take (those
// below 1 and above kFitBlockSamples are the neighbouring seconds' samples); the
// slope at block index m goes to rows[lane][m - 1], and the messages of its
// fit are ORed into flags[(m - 1) * lanes + lane].
struct LaneKernel {
  int lanes = 0;
  void (*fit_block)(const WindowPlans& plans, const WindowPlan* const* plan, const double* ys,
                    float* const* rows, std::uint8_t* flags) = nullptr;
};

// The kernel of isa, one of available_isas().
LaneKernel lane_kernel(PreparationIsa isa);

// The centred derivative's samples from..to of one lead (every one with a
// whole window of the plan; the lead's samples from `base` on at y[0], y[1],
// ..., as doubles), several samples per vector: slopes into deriv (sample 1
// at deriv[0]), each fit's messages ORed into flags (sample 1 at flags[0]).
// Returns the first sample it left (fewer than a vector's worth at the end),
// for the caller to fit.
struct CentredPlan;
struct CentredKernel {
  int (*run)(const CentredPlan& plan, const double* y, int base, int from, int to, double scale,
             float* deriv, std::uint8_t* flags) = nullptr;
};
CentredKernel centred_kernel(PreparationIsa isa);

}  // namespace telmor
