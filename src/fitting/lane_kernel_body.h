// The fits of one second of kLanes leads side by side, one lead per vector
// lane. Every lead uses the plan of the same block index, so every lane does
// the fit's operations in the fit's own order: each lane's result is the bits
// the one-fit-per-sample path gives. Values the fit holds in single precision
// are held here as doubles rounded to single precision (to_single), which is
// the same value.
//
// Included by lane_kernels.cpp once per instruction set, inside a namespace
// that defines kLanes, kAtOnce (neighbouring block indices fitted side by
// side), the vector type Doubles of kLanes doubles, Mask (the type of its
// comparisons), to_single (each lane rounded to single precision) and
// is_zero (no lane set), all compiled for that instruction set.

// Each lane's slope at block index m into its lead's row.
[[gnu::always_inline]] inline void put(float* const* rows, int m, Doubles slopes) {
  for (int lane = 0; lane < kLanes; ++lane) rows[lane][m - 1] = static_cast<float>(slopes[lane]);
}

// The fit of block index m once its data sums are formed: the right-hand
// side, the summary of y, the messages, the forward substitution, the
// coefficients and the slope, written to the rows and to flag (kLanes).
[[gnu::always_inline]] inline void finish_fit(const WindowPlan& p, int m, Doubles sy, Doubles t1,
                                              Doubles t2, Doubles t3, Doubles syy,
                                              float* const* rows, std::uint8_t* flag) {
  const double tolerance = static_cast<double>(kRankTolerance);
  constexpr int ld = kPlanLeadDim;
  const Doubles zero = {};

  // The right-hand side and the summary of y.
  const Doubles b0 = to_single(t1 - sy * p.s[1] * p.rn);
  const Doubles b1 = to_single(t2 - sy * p.s[2] * p.rn);
  const Doubles b2 = to_single(t3 - sy * p.s[3] * p.rn);
  const Doubles y_mean = to_single(sy * p.rn);
  Doubles qs = to_single(syy - sy * sy * p.rn);
  qs = qs < 0.0 ? zero : qs;
  const Doubles y_var = to_single(qs * static_cast<double>(p.r1));
  // The fit is flat when sqrt(x_var * y_var) * r1 is 0. Both variances are
  // at least 0 (or NaN), and r1 = 1 / (n - 1) lies between 1/998 and 1/4, so
  // a positive product (at least the smallest double) keeps a root times r1
  // far above 0: the test is the same as the product being 0, and needs no
  // root.
  const Doubles spread = static_cast<double>(p.x_var) * y_var;
  const Mask flat = spread == 0.0;
  const Mask y_constant = y_mean * y_mean * tolerance >= qs;

  // The messages of the fits that are not flat.
  const bool not_definite = p.factor_status < 0;
  if (p.x_constant || not_definite || !is_zero(y_constant & ~flat)) {
    for (int lane = 0; lane < kLanes; ++lane) {
      if (flat[lane]) continue;
      if (p.x_constant) flag[lane] |= kXWarning;
      if (y_constant[lane]) flag[lane] |= kYWarning;
      if (not_definite) flag[lane] |= kNotPositiveDefinite;
    }
  }
  if (not_definite) {
    put(rows, m, zero);
    return;
  }

  // Forward substitution through the factor, then the coefficients degree
  // by degree through its inverse.
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

  // The slope of the cubic at m: (b1 + 2 b2 m) + 3 b3 m^2.
  const double dm = m;
  const Doubles slope = to_single((c0 + 2.0 * c1 * dm) + 3.0 * c2 * (dm * dm));
  put(rows, m, flat ? zero : slope);
}

inline Doubles load(const double* ys, int i) {
  Doubles y;
  __builtin_memcpy(&y, ys + (i - 1) * kLanes, sizeof y);
  return y;
}

// The powers of the block indices, x^k of block index i at [i - 1].
struct Powers {
  const double* p1;
  const double* p2;
  const double* p3;
};

// One block index, whatever its window.
inline void fit_one(const Powers& x, const WindowPlan& p, int m, const double* ys,
                    float* const* rows, std::uint8_t* flag) {
  if (p.rejected) {
    put(rows, m, Doubles{});  // no slope is known where the fit is refused
    for (int lane = 0; lane < kLanes; ++lane) flag[lane] |= kParameterError;
    return;
  }
  // The data sums, point after point as the fit takes them.
  Doubles sy = {}, t1 = {}, t2 = {}, t3 = {}, syy = {};
  for (int i = p.k1; i <= p.last; ++i) {
    const Doubles y = load(ys, i);
    sy = sy + y;
    t1 = t1 + y * x.p1[i - 1];
    t2 = t2 + y * x.p2[i - 1];
    t3 = t3 + y * x.p3[i - 1];
    syy = syy + y * y;
  }
  finish_fit(p, m, sy, t1, t2, t3, syy, rows, flag);
}

// kAtOnce neighbouring block indices whose windows are equally wide: their
// sums are independent, so they are formed side by side, each over its own
// points in order, and the processor overlaps the chains.
inline void fit_neighbours(const Powers& x, const WindowPlan* const* plan, int m,
                           const double* ys, float* const* rows, std::uint8_t* flags) {
  const WindowPlan* p[kAtOnce];
  int first[kAtOnce];
#pragma GCC unroll 8
  for (int q = 0; q < kAtOnce; ++q) {
    p[q] = plan[m + q - 1];
    first[q] = p[q]->k1;
  }
  const int width = p[0]->last - p[0]->k1 + 1;
  Doubles sy[kAtOnce] = {}, t1[kAtOnce] = {}, t2[kAtOnce] = {}, t3[kAtOnce] = {},
          syy[kAtOnce] = {};
  for (int j = 0; j < width; ++j) {
#pragma GCC unroll 8
    for (int q = 0; q < kAtOnce; ++q) {
      const int i = first[q] + j;
      const Doubles y = load(ys, i);
      sy[q] = sy[q] + y;
      t1[q] = t1[q] + y * x.p1[i - 1];
      t2[q] = t2[q] + y * x.p2[i - 1];
      t3[q] = t3[q] + y * x.p3[i - 1];
      syy[q] = syy[q] + y * y;
    }
  }
#pragma GCC unroll 8
  for (int q = 0; q < kAtOnce; ++q) {
    finish_fit(*p[q], m + q, sy[q], t1[q], t2[q], t3[q], syy[q], rows, flags + (m + q - 1) * kLanes);
  }
}

// True when block indices m..m+kAtOnce-1 have windows of one width that the
// fit accepts.
inline bool neighbours_alike(const WindowPlan* const* plan, int m) {
  if (m + kAtOnce - 1 > kFitBlockSamples) return false;
  const WindowPlan& first = *plan[m - 1];
  for (int q = 0; q < kAtOnce; ++q) {
    const WindowPlan& p = *plan[m + q - 1];
    if (p.rejected || p.last - p.k1 != first.last - first.k1) return false;
  }
  return true;
}

// plan[m - 1]: the plan of block index m in this kind of second.
// ys[(i - 1) * kLanes + lane]: block index i of the lane's lead, for every
// block index a window takes (below 1 and above kFitBlockSamples too). Writes
// the slope at block index m to rows[lane][m - 1] and ORs the messages each
// fit would print into flags[(m - 1) * kLanes + lane].
inline void fit_block(const WindowPlans& plans, const WindowPlan* const* plan, const double* ys,
                      float* const* rows, std::uint8_t* flags) {
  const std::size_t one = static_cast<std::size_t>(plans.reach);  // block index 1
  const Powers x = {plans.p1.data() + one, plans.p2.data() + one, plans.p3.data() + one};
  int m = 1;
  while (m <= kFitBlockSamples) {
    if (neighbours_alike(plan, m)) {
      fit_neighbours(x, plan, m, ys, rows, flags);
      m += kAtOnce;
    } else {
      fit_one(x, *plan[m - 1], m, ys, rows, flags + (m - 1) * kLanes);
      ++m;
    }
  }
}
