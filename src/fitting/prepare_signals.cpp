// Signal preparation, fast path: the part of each fit that depends only on
// the window (abscissae, normal matrix, its factor and inverse) is the same for
// every lead and second, so it is computed once per block index; per sample
// only the sums that involve the data remain. Leads run on all cores. The
// operations are those of the one-fit-per-sample path, in the same order, so
// derivative and messages are the same bits and lines.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "fitting/prepare_signals.h"
#include "preparation_steps.h"
#include "fit_stages.h"
#include "fitting/tmatrp.h"

namespace telmor {
namespace {

constexpr int kDegree = 3;
constexpr int kLeadDim = kMaxTerms;

// Messages a fit printed, replayed in order once all leads are done.
enum : std::uint8_t {
  kParameterError = 1,
  kXWarning = 2,
  kYWarning = 4,
  kNotPositiveDefinite = 8,
};

// What every fit at one block index shares.
struct WindowPlan {
  bool rejected = false;   // too few points in the window
  int factor_status = 0;   // dropped terms, or -2: not positive definite
  FitGeometry geometry;
  float factor[kLeadDim * (kDegree + 1)] = {};   // t and U below the diagonal
  float inverse[kLeadDim * (kDegree + 1)] = {};  // t and V below the diagonal
};

class SilentConsole : public ConsoleOutput {
 public:
  void console_write(std::string_view) override {}
};

int window_first(int m, int smooth_points) { return m - smooth_points; }
// The window is cut at the end of the block so that blocks stay independent.
int window_last(int m, int smooth_points) { return std::min(m + smooth_points, kBlockSamples); }

void plan_windows(int smooth_points, const float* xs, std::vector<WindowPlan>& plans) {
  SilentConsole silent;  // the message is replayed per fit, in order
  for (int m = 1; m <= kBlockSamples; ++m) {
    WindowPlan& p = plans[static_cast<std::size_t>(m - 1)];
    const int first = window_first(m, smooth_points);
    const int last = window_last(m, smooth_points);
    p.rejected = !fit_arguments_valid(first, last, kDegree);
    if (p.rejected) continue;
    fit_geometry(first, last, xs, kDegree, p.geometry);
    for (int j = 1; j <= kDegree; ++j) {
      for (int i = 1; i <= j; ++i) {
        matrix_at(p.factor, kLeadDim, i, j) = matrix_at(p.geometry.a, kLeadDim, i, j);
      }
    }
    float determinant = 0.0f;
    tmatrp_factorise(kDegree, p.factor, kRankTolerance, determinant, kLeadDim, p.factor_status,
                     silent);
    std::copy(std::begin(p.factor), std::end(p.factor), std::begin(p.inverse));
    if (p.factor_status >= 0) tmatrp_invert(kDegree, p.inverse, kLeadDim);
  }
}

// x, x^2 and x^3 of every block index, formed as the fit forms them.
struct Powers {
  double p1[kBlockSamples + 1];
  double p2[kBlockSamples + 1];
  double p3[kBlockSamples + 1];
};

void fill_powers(Powers& pw) {
  for (int i = 1; i <= kBlockSamples; ++i) {
    const double x = static_cast<double>(static_cast<float>(i));
    pw.p1[i] = x;
    pw.p2[i] = x * pw.p1[i];
    pw.p3[i] = x * pw.p2[i];
  }
}

const WindowPlan& plan(const std::vector<WindowPlan>& plans, int m) {
  return plans[static_cast<std::size_t>(m - 1)];
}

// Notes the warnings a fit prints; false when it has no slope to give: flat
// data (every coefficient 0) or a matrix that is not positive definite.
bool fit_messages(const WindowPlan& p, const FitRightHandSide& rhs, std::uint8_t& flag) {
  if (rhs.flat) return false;
  if (p.geometry.x_constant) flag |= kXWarning;
  if (rhs.y_constant) flag |= kYWarning;
  if (p.factor_status < 0) {
    flag |= kNotPositiveDefinite;
    return false;
  }
  return true;
}

// The rest of one fit from its sums (t[1..3]); flag gets its messages.
float finish_fit(const WindowPlan& p, int m, double sy, double syy, const double* t,
                 std::uint8_t& flag) {
  FitRightHandSide rhs;
  fit_right_hand_side_from_sums<kDegree>(p.geometry, sy, syy, t, rhs);
  if (!fit_messages(p, rhs, flag)) return 0.0f;
  float w[kDegree];
  float coef[kDegree];
  tmatrp_forward(kDegree, p.factor, kLeadDim, rhs.b, w);
  assemble_coefficients(kDegree, p.inverse, kLeadDim, w, coef);
  return cubic_slope(coef, m);
}

// One fit at block index m, over whatever window the plan has.
float single_fit(const WindowPlan& p, const Powers& pw, int m, const float* ys,
                 std::uint8_t& flag) {
  if (p.rejected) {
    flag = kParameterError;
    return 0.0f;  // no slope is known where the fit is refused
  }
  double t[kDegree + 1] = {};
  double sy = 0.0;
  double syy = 0.0;
  for (int i = p.geometry.k1; i <= p.geometry.last; ++i) {
    const double y = static_cast<double>(ys[i - 1]);
    sy = sy + y;
    t[1] = t[1] + y * pw.p1[i];
    t[2] = t[2] + y * pw.p2[i];
    t[3] = t[3] + y * pw.p3[i];
    syy = syy + y * y;
  }
  return finish_fit(p, m, sy, syy, t, flag);
}

// Fits at kLanes neighbouring block indices whose windows are whole: their
// sums are independent, so they are formed side by side, each in the order of
// its own points.
constexpr int kLanes = 4;

void lane_fits(const std::vector<WindowPlan>& plans, const Powers& pw, int m, int smooth_points,
               const float* ys, float* deriv, std::uint8_t* flags) {
  double sy[kLanes] = {}, syy[kLanes] = {}, t1[kLanes] = {}, t2[kLanes] = {}, t3[kLanes] = {};
  const int start = m - smooth_points;
  const int width = 2 * smooth_points + 1;
  for (int q = 0; q < width; ++q) {
    const int i = start + q;
    for (int lane = 0; lane < kLanes; ++lane) {
      const double y = static_cast<double>(ys[i + lane - 1]);
      sy[lane] = sy[lane] + y;
      t1[lane] = t1[lane] + y * pw.p1[i + lane];
      t2[lane] = t2[lane] + y * pw.p2[i + lane];
      t3[lane] = t3[lane] + y * pw.p3[i + lane];
      syy[lane] = syy[lane] + y * y;
    }
  }
  // The rest stage by stage across the lanes, so that their chains overlap.
  FitRightHandSide rhs[kLanes];
  bool solved[kLanes];
  float w[kLanes][kDegree];
  float coef[kLanes][kDegree];
  for (int lane = 0; lane < kLanes; ++lane) {
    const double t[kDegree + 1] = {0.0, t1[lane], t2[lane], t3[lane]};
    fit_right_hand_side_from_sums<kDegree>(plan(plans, m + lane).geometry, sy[lane], syy[lane],
                                           t, rhs[lane]);
  }
  for (int lane = 0; lane < kLanes; ++lane) {
    solved[lane] = fit_messages(plan(plans, m + lane), rhs[lane], flags[m + lane - 1]);
  }
  for (int lane = 0; lane < kLanes; ++lane) {
    if (solved[lane]) {
      tmatrp_forward(kDegree, plan(plans, m + lane).factor, kLeadDim, rhs[lane].b, w[lane]);
    }
  }
  for (int lane = 0; lane < kLanes; ++lane) {
    if (solved[lane]) {
      assemble_coefficients(kDegree, plan(plans, m + lane).inverse, kLeadDim, w[lane], coef[lane]);
    }
  }
  for (int lane = 0; lane < kLanes; ++lane) {
    deriv[m + lane - 1] = solved[lane] ? cubic_slope(coef[lane], m + lane) : 0.0f;
  }
}

// Baseline and derivative of lead j; flags get the messages of each fit.
void prepare_lead(RunRecord& r, int j, const std::vector<WindowPlan>& plans, const Powers& pw,
                  std::uint8_t* flags) {
  remove_baseline(r, j);
  const int sp = r.smooth_points;
  // Block indices whose window lies whole inside the block.
  const int whole_from = std::max(sp + 1, 1);
  const int whole_to = kBlockSamples - sp;
  float ys[kBlockSamples];
  for (int k = 1; k <= r.record_seconds; ++k) {
    const int offset = (k - 1) * kBlockSamples;
    for (int m = 1; m <= kBlockSamples; ++m) ys[m - 1] = r.wave(j, offset + m);
    float* const deriv = &r.deriv(j, offset + 1);
    std::uint8_t* const block_flags = flags + offset;
    int m = 1;
    while (m <= kBlockSamples) {
      if (m >= whole_from && m + kLanes - 1 <= whole_to &&
          !plans[static_cast<std::size_t>(m - 1)].rejected) {
        lane_fits(plans, pw, m, sp, ys, deriv, block_flags);
        m += kLanes;
      } else {
        deriv[m - 1] = single_fit(plans[static_cast<std::size_t>(m - 1)], pw, m, ys,
                                  block_flags[m - 1]);
        ++m;
      }
    }
  }
}

void replay_messages(const RunRecord& r, const std::vector<std::uint8_t>& flags,
                     ConsoleOutput& console) {
  for (std::size_t at = 0; at < flags.size(); ++at) {
    const std::uint8_t flag = flags[at];
    if (flag == 0) continue;
    const int m = static_cast<int>(at % kBlockSamples) + 1;
    if (flag & kParameterError) {
      write_parameter_error(console, window_first(m, r.smooth_points),
                            window_last(m, r.smooth_points), kDegree);
    }
    if (flag & kXWarning) write_x_warning(console);
    if (flag & kYWarning) write_y_warning(console);
    if (flag & kNotPositiveDefinite) write_not_positive_definite(console);
  }
}

}  // namespace

void prepare_signals(RunRecord& r, ConsoleOutput& console, int threads) {
  if (r.lead_count < 1 || r.sample_count < 1) return;
  float xs[kBlockSamples];
  for (int m = 1; m <= kBlockSamples; ++m) xs[m - 1] = static_cast<float>(m);

  std::vector<WindowPlan> plans(kBlockSamples);
  plan_windows(r.smooth_points, xs, plans);

  const std::size_t per_lead = static_cast<std::size_t>(r.record_seconds) * kBlockSamples;
  std::vector<std::uint8_t> flags(static_cast<std::size_t>(r.lead_count) * per_lead, 0);

  auto powers = std::make_unique<Powers>();
  fill_powers(*powers);

  std::atomic<int> next_lead{1};
  auto work = [&] {
    for (int j = next_lead++; j <= r.lead_count; j = next_lead++) {
      prepare_lead(r, j, plans, *powers, flags.data() + static_cast<std::size_t>(j - 1) * per_lead);
    }
  };
  const int wanted = threads > 0 ? threads : static_cast<int>(std::thread::hardware_concurrency());
  const int workers = std::clamp(wanted, 1, r.lead_count);
  {
    std::vector<std::jthread> helpers;
    try {
      for (int w = 1; w < workers; ++w) helpers.emplace_back(work);
    } catch (const std::system_error&) {
      // No more threads to be had: the leads left are done on this one.
    }
    work();
  }
  replay_messages(r, flags, console);
  set_time_axis(r);
}

}  // namespace telmor
