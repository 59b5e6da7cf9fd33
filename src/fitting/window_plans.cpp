// The per-window part of the preparation's fits, computed once.
#include "window_plans.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <utility>

#include "fitting/tmatrp.h"

namespace telmor {
namespace {

class SilentConsole : public ConsoleOutput {
 public:
  void console_write(std::string_view) override {}
};

// The plan of the window over block indices k1..last, x the abscissae from
// block index 1 - reach on.
void make_plan(int k1, int last, int reach, const float* x, WindowPlan& p) {
  p.k1 = k1;
  p.last = last;
  p.rejected = !fit_arguments_valid(1, last - k1 + 1, kPreparationDegree);
  if (p.rejected) return;
  FitGeometry g;
  fit_geometry(1, last - k1 + 1, x + (k1 - 1 + reach), kPreparationDegree, g);
  for (int k = 1; k <= kPreparationDegree; ++k) p.s[k] = g.s[k];
  p.rn = g.rn;
  p.r1 = g.r1;
  p.x_var = g.x_var;
  p.x_constant = g.x_constant;
  for (int j = 1; j <= kPreparationDegree; ++j) {
    for (int i = 1; i <= j; ++i) {
      matrix_at(p.factor, kPlanLeadDim, i, j) = matrix_at(g.a, kMaxTerms, i, j);
    }
  }
  SilentConsole silent;  // the message is replayed per fit, in order
  float determinant = 0.0f;
  tmatrp_factorise(kPreparationDegree, p.factor, kRankTolerance, determinant, kPlanLeadDim,
                   p.factor_status, silent);
  std::copy(std::begin(p.factor), std::end(p.factor), std::begin(p.inverse));
  if (p.factor_status >= 0) tmatrp_invert(kPreparationDegree, p.inverse, kPlanLeadDim);
}

}  // namespace

BlockCuts block_cuts(int offset, int sample_count, int smooth_points) {
  const int reach = window_reach(smooth_points);
  return {std::max(1 - offset, 1 - reach), std::min(sample_count - offset, kFitBlockSamples + reach)};
}

const WindowPlans::Kind& WindowPlans::kind(const BlockCuts& cuts) const {
  for (const Kind& k : kinds) {
    if (k.cuts == cuts) return k;
  }
  return kinds.front();  // not reached: the plans are made for the recording's cuts
}

void make_window_plans(int smooth_points, const std::vector<BlockCuts>& cuts, WindowPlans& plans) {
  plans.smooth_points = smooth_points;
  plans.reach = window_reach(smooth_points);
  const int reach = plans.reach;
  const std::size_t span = static_cast<std::size_t>(kFitBlockSamples + 2 * reach);
  std::vector<float> x(span);
  plans.p1.assign(span, 0.0);
  plans.p2.assign(span, 0.0);
  plans.p3.assign(span, 0.0);
  for (std::size_t at = 0; at < span; ++at) {
    x[at] = static_cast<float>(static_cast<int>(at) + 1 - reach);
    const double v = static_cast<double>(x[at]);
    plans.p1[at] = v;
    plans.p2[at] = v * plans.p1[at];
    plans.p3[at] = v * plans.p2[at];
  }

  // Every distinct window once: the kinds of seconds share most of them.
  std::map<std::pair<int, int>, std::size_t> index;
  std::vector<std::vector<std::size_t>> kind_plans;
  plans.kinds.clear();
  plans.plans.clear();
  for (const BlockCuts& c : cuts) {
    if (std::find_if(plans.kinds.begin(), plans.kinds.end(),
                     [&](const WindowPlans::Kind& k) { return k.cuts == c; }) != plans.kinds.end())
      continue;
    plans.kinds.push_back({c, {}});
    std::vector<std::size_t>& of_kind = kind_plans.emplace_back();
    for (int m = 1; m <= kFitBlockSamples; ++m) {
      const int k1 = std::max(m - smooth_points, c.low);
      const int last = std::min(m + smooth_points, c.high);
      const auto [where, added] = index.try_emplace({k1, last}, plans.plans.size());
      if (added) make_plan(k1, last, reach, x.data(), plans.plans.emplace_back());
      of_kind.push_back(where->second);
    }
  }
  // The plans no longer move: the kinds can point into them.
  for (std::size_t k = 0; k < plans.kinds.size(); ++k) {
    for (const std::size_t at : kind_plans[k]) plans.kinds[k].plan.push_back(&plans.plans[at]);
  }
}

}  // namespace telmor
