// Polynomial least-squares fit of degree M to the points (xs[i], ys[i]),
// from centred normal equations solved by tmatrp.
#pragma once

#include <array>

#include "base/console_output.h"

namespace telmor {

// Most terms of the normal equations, and the leading dimension of its matrix.
inline constexpr int kMaxTerms = 21;
// Relative tolerance of the near-constant warnings and of the pivots.
inline constexpr float kRankTolerance = 1.0e-6f;

// Fits y = intercept + sum coef[k-1] * x^k, k = 1..degree, by least squares to
// the points with 1-based indices max(first, 1)..last of xs and ys (xs[0] is
// point 1; both hold at least last values).
//
// status: 0 all terms kept; k > 0 k terms dropped as dependent; -1 arguments
// rejected (degree outside 1..20 or fewer than degree + 2 points: the parameter
// error line is written and nothing else); -2 normal matrix not positive
// definite (coef, intercept and the statistics keep what they held).
// x or y without variance: coef and intercept 0, status 0, nothing printed;
// xy_summary[4] and the statistics are not written.
// print_mode must be 0 (no report); other values are rejected with status -1
// and the line "*** parameter error : print mode must be 0".
//
// Outputs (single precision):
//   coef[0..M-1]      coefficients of x^1..x^M
//   coef_se[0..M-1]   see trapl.cpp
//   residual[i-1]     for the points used, see trapl.cpp
//   xy_summary[0..4]  mean of x, variance of x, mean of y, variance of y,
//                     correlation of x and y
//   fit_summary[0..8], mult_corr[0..M-1]: see trapl.cpp
// Messages (parameter error, the two warnings) go to console, each preceded by
// one empty line. Allocates nothing.
void trapl(int first, int last, const float* xs, const float* ys, int degree,
           int print_mode, float& intercept, float* coef, float* coef_se,
           float* residual, float* fit_summary, float* xy_summary,
           float* mult_corr, int& status, ConsoleOutput& console);

// The same fit asked for with its points and degree only, for callers that
// want the coefficients and nothing else.
struct FitRequest {
  int first = 1;             // points max(first, 1)..last of xs and ys
  int last = 0;
  const float* xs = nullptr;
  const float* ys = nullptr;
  int degree = 1;
};

struct FitResult {
  int status = 0;          // as trapl's
  float intercept = 0.0f;  // meaningful for status >= 0 only
  std::array<float, kMaxTerms - 1> coef{};  // coef[k-1] of x^k; for status >= 0 only
};

// The coefficients and the intercept of trapl for the same points, the same
// bits, with the same messages to console; no statistics are formed.
FitResult fit_polynomial(const FitRequest& request, ConsoleOutput& console);

}  // namespace telmor
