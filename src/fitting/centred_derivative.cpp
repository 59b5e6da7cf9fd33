// The centred derivative: the reference path (one whole fit per sample) and
// the fast path (the shared plan of every whole window, several samples per
// vector, the windows cut by the recording's ends fitted as the reference
// fits them).
#include "fitting/centred_derivative.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

#include "centred_plan.h"
#include "fit_stages.h"
#include "fitting/tmatrp.h"
#include "fitting/trapl.h"
#include "lane_kernels.h"

namespace telmor {
namespace {

// Samples a worker takes at once: long enough that the windows read at its
// edges twice cost nothing, short enough to spread a lead over threads.
constexpr int kChunk = 4096;

class SilentConsole : public ConsoleOutput {
 public:
  void console_write(std::string_view) override {}
};

// The window of sample m in a lead of n samples.
struct CentredWindow {
  int asked = 0;  // m - half_width, as asked
  int first = 0;  // after the cut
  int last = 0;
};

CentredWindow window_of(int m, int half_width, int n) {
  return {m - half_width, std::max(m - half_width, 1), std::min(m + half_width, n)};
}

// The centred abscissae of sample m's window into xs; returns the window and
// the sample's own abscissa.
CentredWindow centred_abscissae(int m, int half_width, int n, std::vector<float>& xs, double& x) {
  const CentredWindow w = window_of(m, half_width, n);
  const int points = std::max(w.last - w.first + 1, 0);
  // Offsets from the window's middle: whole or half samples, exact in single precision.
  const double middle = (static_cast<double>(w.first) + static_cast<double>(w.last)) / 2.0;
  xs.resize(static_cast<std::size_t>(points));
  for (int j = 0; j < points; ++j) xs[static_cast<std::size_t>(j)] = static_cast<float>(w.first + j - middle);
  x = static_cast<double>(m) - middle;
  return w;
}

float slope_at(const float* coef, double x, double scale) {
  const double b1 = static_cast<double>(coef[0]), b2 = static_cast<double>(coef[1]),
               b3 = static_cast<double>(coef[2]);
  return static_cast<float>(((b1 + 2.0 * b2 * x) + 3.0 * b3 * (x * x)) * scale);
}

// One whole fit of sample m of a lead (sample 1 at y[0]) by the fit itself,
// its messages to console: the reference.
float fit_sample(const float* y, int m, int half_width, int n, double scale, ConsoleOutput& console,
                 std::vector<float>& xs) {
  double x = 0.0;
  const CentredWindow w = centred_abscissae(m, half_width, n, xs, x);
  const int points = w.last - w.first + 1;
  if (!fit_arguments_valid(1, points, kPreparationDegree)) {
    write_parameter_error(console, w.asked, w.last, kPreparationDegree);
    return 0.0f;  // no slope is known where the fit is refused
  }
  FitRequest request;
  request.first = 1;
  request.last = points;
  request.xs = xs.data();
  request.ys = y + (w.first - 1);
  request.degree = kPreparationDegree;
  const FitResult fit = fit_polynomial(request, console);
  if (fit.status < 0) return 0.0f;
  return slope_at(fit.coef.data(), x, scale);
}

// The same fit by its stages, the operations of fit_polynomial in its order,
// with its messages as flags (written later, in sample order).
float fit_sample_flagged(const float* y, int m, int half_width, int n, double scale, std::vector<float>& xs,
                         SampleFlags& flag) {
  double x = 0.0;
  const CentredWindow w = centred_abscissae(m, half_width, n, xs, x);
  const int points = w.last - w.first + 1;
  if (!fit_arguments_valid(1, points, kPreparationDegree)) {
    flag |= kParameterError;
    return 0.0f;
  }
  FitGeometry g;
  fit_geometry(1, points, xs.data(), kPreparationDegree, g);
  FitRightHandSide rhs;
  fit_right_hand_side(g, xs.data(), y + (w.first - 1), rhs);
  if (rhs.flat) return 0.0f;  // coefficients 0: slope +0, nothing printed
  if (g.x_constant) flag |= kXWarning;
  if (rhs.y_constant) flag |= kYWarning;
  float* const a = g.a;
  for (int i = 1; i <= kPreparationDegree; ++i) matrix_at(a, kMaxTerms, i, kPreparationDegree + 1) = rhs.b[i - 1];
  float wv[kMaxTerms] = {};
  float determinant = 0.0f;
  int status = 0;
  SilentConsole silent;
  tmatrp(kPreparationDegree, a, kRankTolerance, 1, 1, wv, determinant, kMaxTerms, status, silent);
  if (status < 0) {
    flag |= kNotPositiveDefinite;
    return 0.0f;
  }
  float coef[kPreparationDegree] = {};
  assemble_coefficients(kPreparationDegree, a, kMaxTerms, wv, coef);
  return slope_at(coef, x, scale);
}

const float* lead_wave(const DerivativeRequest& r, int lead) {
  return r.wave + static_cast<std::size_t>(lead - 1) * r.lead_stride;
}
float* lead_deriv(const DerivativeRequest& r, int lead) {
  return r.deriv + static_cast<std::size_t>(lead - 1) * r.lead_stride;
}

// The messages the fits of every sample would have written, in sample order,
// lead after lead.
FitMessageCounts replay(const std::vector<std::vector<SampleFlags>>& leads, int half_width,
                        ConsoleOutput& console) {
  FitMessageCounts counts;
  for (const std::vector<SampleFlags>& lead : leads) {
    const int n = static_cast<int>(lead.size());
    for (int i = 0; i < n; ++i) {
      const SampleFlags flag = lead[static_cast<std::size_t>(i)];
      if (flag & kParameterError) {
        const CentredWindow w = window_of(i + 1, half_width, n);
        write_parameter_error(console, w.asked, w.last, kPreparationDegree);
        ++counts.parameter_errors;
      }
      if (flag & kXWarning) {
        write_x_warning(console);
        ++counts.x_warnings;
      }
      if (flag & kYWarning) {
        write_y_warning(console);
        ++counts.y_warnings;
      }
      if (flag & kNotPositiveDefinite) {
        write_not_positive_definite(console);
        ++counts.not_positive_definite;
      }
    }
  }
  return counts;
}

}  // namespace

void make_centred_plan(int half_width, CentredPlan& p) {
  p.half_width = half_width;
  const int width = 2 * half_width + 1;
  p.rejected = !fit_arguments_valid(1, width, kPreparationDegree);
  if (p.rejected) return;
  std::vector<float> xs(static_cast<std::size_t>(width));
  const auto w = static_cast<std::size_t>(width);
  p.storage.assign(3 * w, 0.0);
  for (std::size_t at = 0; at < w; ++at) {
    xs[at] = static_cast<float>(static_cast<int>(at) - half_width);
    const double x = static_cast<double>(xs[at]);
    p.storage[at] = x;
    p.storage[w + at] = x * x;
    p.storage[2 * w + at] = x * p.storage[w + at];
  }
  p.powers = p.storage.data();
  FitGeometry g;
  fit_geometry(1, width, xs.data(), kPreparationDegree, g);
  for (int k = 1; k <= kPreparationDegree; ++k) p.s[k] = g.s[k];
  p.rn = g.rn;
  p.r1 = g.r1;
  p.x_var = g.x_var;
  p.x_constant = g.x_constant;
  for (int j = 1; j <= kPreparationDegree; ++j) {
    for (int i = 1; i <= j; ++i) matrix_at(p.factor, kPlanLeadDim, i, j) = matrix_at(g.a, kMaxTerms, i, j);
  }
  SilentConsole silent;  // the message is replayed per fit, in order
  float determinant = 0.0f;
  tmatrp_factorise(kPreparationDegree, p.factor, kRankTolerance, determinant, kPlanLeadDim, p.factor_status,
                   silent);
  std::copy(std::begin(p.factor), std::end(p.factor), std::begin(p.inverse));
  if (p.factor_status >= 0) tmatrp_invert(kPreparationDegree, p.inverse, kPlanLeadDim);
}

void remove_baselines(float* wave, std::size_t lead_stride, int lead_count, int sample_count) {
  for (int j = 1; j <= lead_count; ++j) {
    float* const lead = wave + static_cast<std::size_t>(j - 1) * lead_stride;
    const auto n = static_cast<std::size_t>(sample_count);
    float sum = 0.0f;
    for (std::size_t i = 0; i < n; ++i) sum += lead[i];
    const float mean = sum / static_cast<float>(sample_count);
    for (std::size_t i = 0; i < n; ++i) lead[i] -= mean;
  }
}

void centred_derivative_reference(const DerivativeRequest& r, ConsoleOutput& console) {
  std::vector<float> xs;
  for (int lead = 1; lead <= r.lead_count; ++lead) {
    const float* const y = lead_wave(r, lead);
    float* const d = lead_deriv(r, lead);
    for (int m = 1; m <= r.sample_count; ++m) {
      d[m - 1] = fit_sample(y, m, r.half_width, r.sample_count, r.samples_per_ms, console, xs);
    }
  }
}

FitMessageCounts centred_derivative(const DerivativeRequest& request, ConsoleOutput& console, int threads) {
  return centred_derivative_on(available_isas().back(), request, console, threads);
}

FitMessageCounts centred_derivative_on(PreparationIsa isa, const DerivativeRequest& r, ConsoleOutput& console,
                                       int threads) {
  if (r.lead_count < 1 || r.sample_count < 1) return {};
  CentredPlan plan;
  make_centred_plan(r.half_width, plan);
  const CentredKernel kernel = centred_kernel(isa);
  const int n = r.sample_count;
  // Samples with a whole window: half_width + 1 .. n - half_width.
  const int inner_from = r.half_width + 1;
  const int inner_to = n - r.half_width;
  const int chunks = std::max(1, (n + kChunk - 1) / kChunk);
  std::vector<std::vector<SampleFlags>> flags_of(static_cast<std::size_t>(r.lead_count),
                                                 std::vector<SampleFlags>(static_cast<std::size_t>(n), 0));

  const std::int64_t jobs = static_cast<std::int64_t>(r.lead_count) * chunks;
  std::atomic<std::int64_t> next{0};
  const auto work = [&] {
    std::vector<float> xs;
    std::vector<double> doubles;  // the chunk's samples with their windows, converted once
    for (std::int64_t job = next++; job < jobs; job = next++) {
      const int lead = static_cast<int>(job / chunks) + 1;
      const int chunk = static_cast<int>(job % chunks);
      const int from = chunk * kChunk + 1;
      const int to = std::min(n, from + kChunk - 1);
      const float* const y = lead_wave(r, lead);
      float* const d = lead_deriv(r, lead);
      SampleFlags* const flags = flags_of[static_cast<std::size_t>(lead - 1)].data();
      // Whole windows in lanes where the plan fits; every other sample (a
      // window cut by an end, a refused plan, the few left over) whole.
      int m = from;
      const auto whole = [&](int until) {
        for (; m <= until; ++m)
          d[m - 1] = fit_sample_flagged(y, m, r.half_width, n, r.samples_per_ms, xs, flags[m - 1]);
      };
      if (!plan.rejected && inner_from <= inner_to) {
        whole(std::min(to, inner_from - 1));
        const int last = std::min(to, inner_to);
        if (m <= last) {
          const int base = m - r.half_width;
          doubles.assign(y + (base - 1), y + (last + r.half_width));
          m = kernel.run(plan, doubles.data(), base, m, last, r.samples_per_ms, d, flags);
        }
      }
      whole(to);
    }
  };
  const int wanted = threads > 0 ? threads : static_cast<int>(std::thread::hardware_concurrency());
  const int workers = static_cast<int>(std::clamp<std::int64_t>(wanted, 1, jobs));
  {
    std::vector<std::jthread> helpers;
    try {
      for (int w = 1; w < workers; ++w) helpers.emplace_back(work);
    } catch (const std::system_error&) {
      // No more threads to be had: the chunks left are done on fewer.
    }
    work();
  }
  return replay(flags_of, r.half_width, console);
}

}  // namespace telmor
