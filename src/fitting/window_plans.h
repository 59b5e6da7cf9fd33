// What every fit of the signal preparation at one block index shares,
// whatever the lead and the second: the window, the abscissae's sums, the
// normal matrix, its factor and the factor's inverse; and the powers of the
// block indices as the fit forms them.
#pragma once

#include <cstdint>
#include <vector>

#include "fit_stages.h"
#include "record/run_record.h"

namespace telmor {

inline constexpr int kPreparationDegree = 3;
inline constexpr int kPlanLeadDim = kMaxTerms;

// Messages a fit printed, replayed in order once all leads are done.
enum : std::uint8_t {
  kParameterError = 1,
  kXWarning = 2,
  kYWarning = 4,
  kNotPositiveDefinite = 8,
};

struct WindowPlan {
  bool rejected = false;   // too few points in the window
  int factor_status = 0;   // dropped terms, or -2: not positive definite
  FitGeometry geometry;
  float factor[kPlanLeadDim * (kPreparationDegree + 1)] = {};   // t and U below the diagonal
  float inverse[kPlanLeadDim * (kPreparationDegree + 1)] = {};  // t and V below the diagonal
};

struct WindowPlans {
  int smooth_points = 0;
  std::vector<WindowPlan> plan;  // plan[m - 1] for block index m
  // x, x^2 and x^3 of block index i, formed in double as the fit forms them.
  double p1[kBlockSamples + 1] = {};
  double p2[kBlockSamples + 1] = {};
  double p3[kBlockSamples + 1] = {};
};

// The fit window at block index m: cut at both ends of the block, so that
// blocks stay independent.
int window_first(int m, int smooth_points);
int window_last(int m, int smooth_points);

// Every block index's plan for windows of +-smooth_points.
void make_window_plans(int smooth_points, WindowPlans& plans);

}  // namespace telmor
