// The centred derivative's fits of consecutive samples of one lead side by
// side, one sample per vector lane: every lane's window has the plan's
// abscissae, and each lane forms its sums over its own window point after
// point, as the fit does, so each lane's slope is the bits of the
// one-fit-per-sample path.
//
// Included by lane_kernels.cpp once per instruction set, inside the namespace
// that defines kLanes, Doubles, Mask, to_single and is_zero (lane_kernel_body.h).

typedef float CentredFloats __attribute__((vector_size(kLanes * sizeof(float))));

inline Doubles centred_load(const double* at) {
  Doubles d;
  __builtin_memcpy(&d, at, sizeof d);
  return d;
}

// The fit of kLanes samples once their data sums are formed, as finish_fit
// does it for one plan, then the slope at the window's middle scaled to per
// ms; the messages go to flags (one per sample).
[[gnu::always_inline]] inline void centred_finish(const CentredPlan& p, Doubles sy, Doubles t1, Doubles t2,
                                                  Doubles t3, Doubles syy, double scale, float* out,
                                                  SampleFlags* flags) {
  const double tolerance = static_cast<double>(kRankTolerance);
  constexpr int ld = kPlanLeadDim;
  const Doubles zero = {};
  const Doubles b0 = to_single(t1 - sy * p.s[1] * p.rn);
  const Doubles b1 = to_single(t2 - sy * p.s[2] * p.rn);
  const Doubles b2 = to_single(t3 - sy * p.s[3] * p.rn);
  const Doubles y_mean = to_single(sy * p.rn);
  Doubles qs = to_single(syy - sy * sy * p.rn);
  qs = qs < 0.0 ? zero : qs;
  const Doubles y_var = to_single(qs * static_cast<double>(p.r1));
  // Flat when sqrt(x_var * y_var) * r1 is 0: with r1 = 1 / (n - 1) at least
  // 1/998, the same as the product being 0 (see finish_fit).
  const Mask flat = static_cast<double>(p.x_var) * y_var == 0.0;
  const Mask y_constant = y_mean * y_mean * tolerance >= qs;
  const bool not_definite = p.factor_status < 0;
  if (p.x_constant || not_definite || !is_zero(y_constant & ~flat)) {
    for (int lane = 0; lane < kLanes; ++lane) {
      if (flat[lane]) continue;
      if (p.x_constant) flags[lane] |= kXWarning;
      if (y_constant[lane]) flags[lane] |= kYWarning;
      if (not_definite) flags[lane] |= kNotPositiveDefinite;
    }
  }
  Doubles slope = zero;
  if (!not_definite) {
    const auto f = [&](int i, int j) { return static_cast<double>(p.factor[(j - 1) * ld + (i - 1)]); };
    const auto v = [&](int i, int j) { return static_cast<double>(p.inverse[(j - 1) * ld + (i - 1)]); };
    const Doubles w0 = to_single(b0 * f(2, 1));
    Doubles s = b1;
    s = s - w0 * f(3, 1);
    const Doubles w1 = to_single(s * f(3, 2));
    s = b2;
    s = s - w0 * f(4, 1);
    s = s - w1 * f(4, 2);
    const Doubles w2 = to_single(s * f(4, 3));
    Doubles c0 = zero;
    c0 = to_single(c0 + v(2, 1) * w0);
    Doubles c1 = zero;
    c0 = to_single(c0 + v(3, 1) * w1);
    c1 = to_single(c1 + v(3, 2) * w1);
    Doubles c2 = zero;
    c0 = to_single(c0 + v(4, 1) * w2);
    c1 = to_single(c1 + v(4, 2) * w2);
    c2 = to_single(c2 + v(4, 3) * w2);
    // At the window's middle, x = 0, written as the reference path writes it.
    const double x = 0.0;
    slope = to_single(((c0 + 2.0 * c1 * x) + 3.0 * c2 * (x * x)) * scale);
    slope = flat ? zero : slope;
  }
  // Every lane already holds a single-precision value: the conversion is exact.
  const CentredFloats narrow = __builtin_convertvector(slope, CentredFloats);
  __builtin_memcpy(out, &narrow, sizeof narrow);
}

// Samples m..m + kAtOnce * kLanes - 1 of a lead, all with whole windows,
// whose samples from base on are y[0], y[1], ... (as doubles): their slopes
// to deriv (sample 1 at deriv[0]).
inline void centred_group(const CentredPlan& p, const double* y, int base, int m, double scale, float* deriv,
                          SampleFlags* flags) {
  const int width = 2 * p.half_width + 1;
  const double* const first = y + (m - p.half_width - base);
  const double* const p1 = p.powers;
  const double* const p2 = p1 + width;
  const double* const p3 = p2 + width;
  Doubles sy[kAtOnce] = {}, t1[kAtOnce] = {}, t2[kAtOnce] = {}, t3[kAtOnce] = {}, syy[kAtOnce] = {};
  for (int j = 0; j < width; ++j) {
    const double x1 = p1[j];
    const double x2 = p2[j];
    const double x3 = p3[j];
    // At the middle x is 0: y × 0 adds a zero to sums that start at +0 and
    // so are never -0, which leaves them as they are.
    if (j == p.half_width) {
#pragma GCC unroll 8
      for (int q = 0; q < kAtOnce; ++q) {
        const Doubles v = centred_load(first + q * kLanes + j);
        sy[q] = sy[q] + v;
        syy[q] = syy[q] + v * v;
      }
      continue;
    }
#pragma GCC unroll 8
    for (int q = 0; q < kAtOnce; ++q) {
      const Doubles v = centred_load(first + q * kLanes + j);
      sy[q] = sy[q] + v;
      t1[q] = t1[q] + v * x1;
      t2[q] = t2[q] + v * x2;
      t3[q] = t3[q] + v * x3;
      syy[q] = syy[q] + v * v;
    }
  }
#pragma GCC unroll 8
  for (int q = 0; q < kAtOnce; ++q) {
    const int at = m - 1 + q * kLanes;
    centred_finish(p, sy[q], t1[q], t2[q], t3[q], syy[q], scale, deriv + at, flags + at);
  }
}

// The samples from..to (whole windows) of one lead, as many groups as fit;
// returns the first sample not done.
inline int centred_run(const CentredPlan& p, const double* y, int base, int from, int to, double scale,
                       float* deriv, SampleFlags* flags) {
  constexpr int group = kAtOnce * kLanes;
  int m = from;
  for (; m + group - 1 <= to; m += group) centred_group(p, y, base, m, scale, deriv, flags);
  // The few left over as the last group of the run, overlapping the one
  // before: a sample fitted twice gets the same bits and flags twice.
  if (m <= to && to - from + 1 >= group) {
    centred_group(p, y, base, to - group + 1, scale, deriv, flags);
    m = to + 1;
  }
  return m;
}
