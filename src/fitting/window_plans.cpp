// The per-block-index part of the preparation's fits, computed once.
#include "window_plans.h"

#include <algorithm>

#include "fitting/tmatrp.h"

namespace telmor {
namespace {

class SilentConsole : public ConsoleOutput {
 public:
  void console_write(std::string_view) override {}
};

}  // namespace

int window_first(int m, int smooth_points) { return m - smooth_points; }
int window_last(int m, int smooth_points) { return std::min(m + smooth_points, kBlockSamples); }

void make_window_plans(int smooth_points, WindowPlans& plans) {
  plans.smooth_points = smooth_points;
  plans.plan.assign(kBlockSamples, WindowPlan{});
  float xs[kBlockSamples];
  for (int i = 1; i <= kBlockSamples; ++i) {
    xs[i - 1] = static_cast<float>(i);
    const double x = static_cast<double>(xs[i - 1]);
    plans.p1[i] = x;
    plans.p2[i] = x * plans.p1[i];
    plans.p3[i] = x * plans.p2[i];
  }
  SilentConsole silent;  // the message is replayed per fit, in order
  for (int m = 1; m <= kBlockSamples; ++m) {
    WindowPlan& p = plans.plan[static_cast<std::size_t>(m - 1)];
    const int first = window_first(m, smooth_points);
    const int last = window_last(m, smooth_points);
    p.rejected = !fit_arguments_valid(first, last, kPreparationDegree);
    if (p.rejected) continue;
    fit_geometry(first, last, xs, kPreparationDegree, p.geometry);
    for (int j = 1; j <= kPreparationDegree; ++j) {
      for (int i = 1; i <= j; ++i) {
        matrix_at(p.factor, kPlanLeadDim, i, j) = matrix_at(p.geometry.a, kPlanLeadDim, i, j);
      }
    }
    float determinant = 0.0f;
    tmatrp_factorise(kPreparationDegree, p.factor, kRankTolerance, determinant, kPlanLeadDim,
                     p.factor_status, silent);
    std::copy(std::begin(p.factor), std::end(p.factor), std::begin(p.inverse));
    if (p.factor_status >= 0) tmatrp_invert(kPreparationDegree, p.inverse, kPlanLeadDim);
  }
}

}  // namespace telmor
