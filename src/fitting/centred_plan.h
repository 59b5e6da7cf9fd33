// What every window of the centred derivative inside the recording shares:
// the abscissae -S..S, their sums and powers, the normal matrix, its factor
// and the factor's inverse.
#pragma once

#include <cstdint>
#include <vector>

#include "preparation_steps.h"
#include "window_plans.h"

namespace telmor {

struct CentredPlan {
  int half_width = 0;
  bool rejected = false;  // too few points: every window is refused
  int factor_status = 0;
  double s[kPreparationDegree + 1] = {};  // s[k] = sum of x^k, k = 1..3
  double rn = 0.0;
  float r1 = 0.0f;
  float x_var = 0.0f;
  bool x_constant = false;
  float factor[kPlanLeadDim * kPlanLeadDim] = {};
  float inverse[kPlanLeadDim * kPlanLeadDim] = {};
  // x, x^2 and x^3 of point j = 0..2S of the window (x = j - S), in double as
  // the fit forms them, one after the other; powers points at them, so that
  // the kernels (compiled for wider instruction sets) call nothing of the
  // library's.
  std::vector<double> storage;
  const double* powers = nullptr;  // p1 at [j], p2 at [width + j], p3 at [2 width + j]
};

// The plan of windows of ±half_width samples.
void make_centred_plan(int half_width, CentredPlan& plan);

// A fit's messages as flag bits of its sample (window_plans.h's).
using SampleFlags = std::uint8_t;

}  // namespace telmor
