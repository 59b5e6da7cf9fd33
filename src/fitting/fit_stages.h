// The stages of the polynomial least-squares fit, split by what they depend
// on: a caller that fits many ordinates over the same abscissae does the
// abscissa-only work once and repeats only the ordinate-dependent stages,
// with the same operations in the same order, so the results are the same bits.
#pragma once

#include <cmath>

#include "base/console_output.h"
#include "fitting/tmatrp.h"
#include "fitting/trapl.h"

namespace telmor {

// What depends on the abscissae of the points used only.
struct FitGeometry {
  int degree = 0;
  int k1 = 0;    // first point used, max(first, 1)
  int last = 0;
  long long n = 0;  // points used
  float r1 = 0.0f;  // 1/(n - 1)
  double rn = 0.0;  // 1/n
  double s[2 * kMaxTerms - 1] = {};  // s[k] = sum of x^k, k = 1..2M
  // Centred normal matrix, column-major with kMaxTerms rows: diagonal and above.
  float a[kMaxTerms * kMaxTerms] = {};
  float x_mean = 0.0f;
  float x_var = 0.0f;       // 0 when rounding made it negative
  bool x_constant = false;  // the x warning is due (when the fit is not flat)
};

// What depends on the ordinates too.
struct FitRightHandSide {
  float b[kMaxTerms];       // b_i = T_i - Sy S_i / n, i = 1..M
  double sy = 0.0;          // sum of y
  float y_mean = 0.0f;
  float qs = 0.0f;          // total sum of squares about the mean, 0 if negative
  float y_var = 0.0f;
  double g = 0.0;           // sqrt(x_var * y_var)
  bool flat = false;        // x or y without variance: coefficients 0
  bool y_constant = false;  // the y warning is due (when not flat)
};

// True when the degree is 1..20 and max(first, 1)..last holds degree + 2 points or more.
bool fit_arguments_valid(int first, int last, int degree);

// Power sums, normal matrix and summary of x over points max(first, 1)..last.
void fit_geometry(int first, int last, const float* xs, int degree, FitGeometry& g);

// Sums of y and y times the powers of x, the right-hand side and the summary of y.
void fit_right_hand_side(const FitGeometry& g, const float* xs, const float* ys,
                         FitRightHandSide& rhs);

// The same from sums already formed: sy = sum y, syy = sum y^2, t[k] = sum
// y x^k for k = 1..M (t[0] unused), each accumulated over the points in order.
// A caller whose degree is fixed names it as Degree, to have the loop unrolled.
template <int Degree = 0>
inline void fit_right_hand_side_from_sums(const FitGeometry& g, double sy, double syy,
                                          const double* t, FitRightHandSide& rhs) {
  const int m = Degree > 0 ? Degree : g.degree;
  for (int i = 1; i <= m; ++i) rhs.b[i - 1] = static_cast<float>(t[i] - sy * g.s[i] * g.rn);
  rhs.sy = sy;
  rhs.y_mean = static_cast<float>(sy * g.rn);
  const double q = syy - sy * sy * g.rn;
  rhs.qs = static_cast<float>(q);
  if (rhs.qs < 0.0f) rhs.qs = 0.0f;
  rhs.y_var = static_cast<float>(static_cast<double>(rhs.qs) * static_cast<double>(g.r1));
  rhs.g = std::sqrt(static_cast<double>(g.x_var) * static_cast<double>(rhs.y_var));
  rhs.flat = rhs.g * static_cast<double>(g.r1) == 0.0;
  // Against the sum of squares Qs, not against the variance of y.
  const double mean_y = static_cast<double>(rhs.y_mean);
  rhs.y_constant =
      mean_y * mean_y * static_cast<double>(kRankTolerance) >= static_cast<double>(rhs.qs);
}

// coef = V W degree by degree, V(i, k) at (k + 1, i) of the inverted factor.
inline void assemble_coefficients(int degree, const float* inverse, int lead_dim, const float* w,
                           float* coef) {
  for (int k = 1; k <= degree; ++k) {
    coef[k - 1] = 0.0f;
    for (int i = 1; i <= k; ++i) {
      coef[i - 1] = static_cast<float>(
          static_cast<double>(coef[i - 1]) +
          static_cast<double>(matrix_at(inverse, lead_dim, k + 1, i)) *
              static_cast<double>(w[k - 1]));
    }
  }
}

// The fit's console messages, each after one empty line.
void write_parameter_error(ConsoleOutput& console, int first, int last, int degree);
void write_x_warning(ConsoleOutput& console);
void write_y_warning(ConsoleOutput& console);

}  // namespace telmor
