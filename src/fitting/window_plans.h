// What every fit of the signal preparation at one block index shares,
// whatever the lead: the window, the abscissae's sums, the normal matrix, its
// factor and the factor's inverse; and the powers of the block indices as the
// fit forms them. The window depends on the block index and on whether the
// recording's ends cut it, so the seconds of a recording fall into a few
// kinds (the first, the inner ones, the last), each with its own plans.
#pragma once

#include <cstdint>
#include <vector>

#include "fit_stages.h"
#include "preparation_steps.h"

namespace telmor {

// The factor of a cubic's normal matrix needs four rows (t and U below the
// diagonal, shifted down one row) and no more.
inline constexpr int kPlanLeadDim = kPreparationDegree + 1;

// Messages a fit printed, replayed in order once all leads are done.
enum : std::uint8_t {
  kParameterError = 1,
  kXWarning = 2,
  kYWarning = 4,
  kNotPositiveDefinite = 8,
};

// What the data-dependent stages of one fit read: the fit's geometry (as
// fit_geometry forms it) and the factor of its normal matrix.
struct WindowPlan {
  bool rejected = false;   // too few points in the window
  int factor_status = 0;   // dropped terms, or -2: not positive definite
  int k1 = 0;              // block indices of the points used
  int last = 0;
  double s[kPreparationDegree + 1] = {};  // s[k] = sum of x^k, k = 1..3
  double rn = 0.0;         // 1/n
  float r1 = 0.0f;         // 1/(n - 1)
  float x_var = 0.0f;
  bool x_constant = false;  // the x warning is due (when the fit is not flat)
  float factor[kPlanLeadDim * kPlanLeadDim] = {};   // t and U below the diagonal
  float inverse[kPlanLeadDim * kPlanLeadDim] = {};  // t and V below the diagonal
};

// The block indices at which the recording's ends cut a second's windows,
// limited to what a window can reach: seconds with the same cuts share plans.
struct BlockCuts {
  int low = 0;   // first block index a window may take
  int high = 0;  // last one
  friend bool operator==(const BlockCuts&, const BlockCuts&) = default;
};

// The cuts of the second whose samples follow sample `offset`.
BlockCuts block_cuts(int offset, int sample_count, int smooth_points);

struct WindowPlans {
  WindowPlans() = default;
  WindowPlans(const WindowPlans&) = delete;  // the kinds point into the plans
  WindowPlans& operator=(const WindowPlans&) = delete;

  int smooth_points = 0;
  int reach = 0;  // window_reach(smooth_points)
  // One kind of second: its cuts and the plan of each block index,
  // plan[m - 1], pointing into `plans`.
  struct Kind {
    BlockCuts cuts;
    std::vector<const WindowPlan*> plan;
  };
  std::vector<Kind> kinds;
  std::vector<WindowPlan> plans;  // one per distinct window
  // x, x^2 and x^3 of block index i, formed in double as the fit forms them,
  // at [i - 1 + reach], for i = 1 - reach .. kFitBlockSamples + reach.
  std::vector<double> p1, p2, p3;

  const Kind& kind(const BlockCuts& cuts) const;
};

// The plans of windows of +-smooth_points for seconds of the given cuts.
void make_window_plans(int smooth_points, const std::vector<BlockCuts>& cuts, WindowPlans& plans);

}  // namespace telmor
