// Polynomial least-squares fit from centred normal equations.
//
// Statistics beyond the coefficients (computed after them, from the finished
// coefficients and the factor, so they cannot change the coefficients' bits):
//   coef_se[k-1]   standard error of coef[k-1]: s * sqrt((A^-1)(k, k)), with
//                  A^-1 = V V' and s the standard error of estimate; 0 for a
//                  dropped term.
//   residual[i-1]  y_i - intercept - sum coef[k-1] * x_i^k for the points used;
//                  other elements untouched.
//   mult_corr[k-1] multiple correlation of the fit of degree k:
//                  sqrt((W_1^2 + ... + W_k^2) / Q), at most 1.
//   fit_summary    [0] n, points used
//                  [1] residual degrees of freedom, n - 1 - terms kept
//                  [2] residual sum of squares, sum of residual^2
//                  [3] regression sum of squares, max(Q - [2], 0)
//                  [4] total sum of squares Q about the mean of y
//                  [5] residual variance, [2] / [1]
//                  [6] standard error of estimate, sqrt([5])
//                  [7] coefficient of determination R^2, [3] / [4]
//                  [8] F statistic, ([3] / terms kept) / [5]; +infinity for an
//                      exact fit, 0 when every term was dropped
// None of these is written when x or y has no variance or on status -2.
#include "fitting/trapl.h"

#include <cmath>
#include <limits>
#include <string_view>

#include "fit_stages.h"
#include "fitting/tmatrp.h"

namespace telmor {
namespace {

// Appends value right-aligned in width columns (asterisks when it does not fit)
// at buffer[pos]; returns the new end. Digits only, no locale.
int put_int(char* buffer, int pos, long long value, int width) {
  char digits[24];
  int count = 0;
  const bool negative = value < 0;
  unsigned long long magnitude =
      negative ? 0ULL - static_cast<unsigned long long>(value)
               : static_cast<unsigned long long>(value);
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) digits[count++] = '-';
  if (count > width) {
    for (int c = 0; c < width; ++c) buffer[pos++] = '*';
    return pos;
  }
  for (int c = count; c < width; ++c) buffer[pos++] = ' ';
  while (count > 0) buffer[pos++] = digits[--count];
  return pos;
}

int put_text(char* buffer, int pos, std::string_view text) {
  for (char c : text) buffer[pos++] = c;
  return pos;
}

// Every message line is preceded by one empty line (the line-spacing mark).
void message(ConsoleOutput& console, std::string_view line) {
  console.console_write("");
  console.console_write(line);
}

}  // namespace

void write_parameter_error(ConsoleOutput& console, int first, int last, int degree) {
  char line[96];
  int pos = put_text(line, 0, "*** parameter error m1 =");
  pos = put_int(line, pos, first, 4);
  pos = put_text(line, pos, "   m =");
  pos = put_int(line, pos, last, 4);
  pos = put_text(line, pos, "     =,");
  pos = put_int(line, pos, degree, 4);
  pos = put_text(line, pos, " .lt.  ");
  pos = put_int(line, pos, kMaxTerms, 3);
  message(console, std::string_view(line, static_cast<std::size_t>(pos)));
}

void write_x_warning(ConsoleOutput& console) {
  message(console, "*** warning : variable x is constant.");
}

void write_y_warning(ConsoleOutput& console) {
  message(console, "*** warning : dependent variable y is constant.");
}

bool fit_arguments_valid(int first, int last, int degree) {
  const int k1 = first > 1 ? first : 1;
  const long long n = static_cast<long long>(last) - k1 + 1;
  return 0 < degree && degree < kMaxTerms && n > degree + 1;
}

void fit_geometry(int first, int last, const float* xs, int degree, FitGeometry& g) {
  const int m = degree;
  g.degree = m;
  g.k1 = first > 1 ? first : 1;
  g.last = last;
  g.n = static_cast<long long>(last) - g.k1 + 1;
  g.r1 = static_cast<float>(1.0 / static_cast<double>(g.n - 1));
  g.rn = 1.0 / static_cast<double>(g.n);

  double* const s = g.s;
  for (int k = 1; k <= 2 * m; ++k) s[k] = 0.0;
  double p[2 * kMaxTerms - 1];
  for (int i = g.k1; i <= last; ++i) {
    // Powers of x as given, not shifted to the centre of the run: for short
    // runs far from x = 0 this makes the highest terms negligible.
    const double x = static_cast<double>(xs[i - 1]);
    p[1] = x;
    for (int k = 2; k <= 2 * m; ++k) p[k] = x * p[k - 1];
    for (int k = 1; k <= 2 * m; ++k) s[k] = s[k] + p[k];
  }

  const int ld = kMaxTerms;
  for (int j = 1; j <= m; ++j) {
    for (int i = 1; i <= j; ++i) {
      matrix_at(g.a, ld, i, j) = static_cast<float>(s[i + j] - s[i] * s[j] * g.rn);
    }
  }
  g.x_mean = static_cast<float>(g.rn * s[1]);
  g.x_var = static_cast<float>(static_cast<double>(g.r1) *
                               static_cast<double>(matrix_at(g.a, ld, 1, 1)));
  if (g.x_var < 0.0f) g.x_var = 0.0f;
  const double mean_x = static_cast<double>(g.x_mean);
  g.x_constant = mean_x * mean_x * static_cast<double>(kRankTolerance) >=
                 static_cast<double>(g.x_var);
}

void fit_right_hand_side(const FitGeometry& g, const float* xs, const float* ys,
                         FitRightHandSide& rhs) {
  const int m = g.degree;
  double t[kMaxTerms] = {};
  double p[kMaxTerms];
  double sy = 0.0;
  double syy = 0.0;
  for (int i = g.k1; i <= g.last; ++i) {
    const double x = static_cast<double>(xs[i - 1]);
    const double y = static_cast<double>(ys[i - 1]);
    p[1] = x;
    for (int k = 2; k <= m; ++k) p[k] = x * p[k - 1];
    sy = sy + y;
    for (int k = 1; k <= m; ++k) t[k] = t[k] + y * p[k];
    syy = syy + y * y;
  }
  fit_right_hand_side_from_sums(g, sy, syy, t, rhs);
}

namespace {

// What a fit works on beyond its points: the abscissa and ordinate stages and
// the transformed right-hand side.
struct FitWork {
  FitGeometry geometry;
  FitRightHandSide rhs;
  float w[kMaxTerms];
};

// Forms geometry and right-hand side of points max(first, 1)..last.
void form_sums(int first, int last, const float* xs, const float* ys, int degree, FitWork& work) {
  fit_geometry(first, last, xs, degree, work.geometry);
  fit_right_hand_side(work.geometry, xs, ys, work.rhs);
}

// The warnings, the factorisation and, on success, coef and intercept; for a
// fit whose x and y both vary. Returns the status of the factorisation; on a
// negative one coef and intercept are not written.
int solve_fit(FitWork& work, int degree, float* coef, float& intercept, ConsoleOutput& console) {
  const int m = degree;
  if (work.geometry.x_constant) write_x_warning(console);
  if (work.rhs.y_constant) write_y_warning(console);

  // The normal matrix with the right-hand side as column m + 1.
  float* const a = work.geometry.a;
  const int ld = kMaxTerms;
  for (int i = 1; i <= m; ++i) matrix_at(a, ld, i, m + 1) = work.rhs.b[i - 1];
  int status = 0;
  float determinant = 0.0f;
  tmatrp(m, a, kRankTolerance, 1, 1, work.w, determinant, ld, status, console);
  if (status < 0) return status;

  assemble_coefficients(m, a, ld, work.w, coef);
  double c0 = work.rhs.sy;
  for (int i = 1; i <= m; ++i) c0 = c0 - static_cast<double>(coef[i - 1]) * work.geometry.s[i];
  intercept = static_cast<float>(c0 * work.geometry.rn);
  return status;
}

}  // namespace

FitResult fit_polynomial(const FitRequest& q, ConsoleOutput& console) {
  FitResult result;
  if (!fit_arguments_valid(q.first, q.last, q.degree)) {
    result.status = -1;
    write_parameter_error(console, q.first, q.last, q.degree);
    return result;
  }
  FitWork work;
  form_sums(q.first, q.last, q.xs, q.ys, q.degree, work);
  if (work.rhs.flat) return result;  // x or y without variance: all 0, nothing printed
  result.status = solve_fit(work, q.degree, result.coef.data(), result.intercept, console);
  return result;
}

void trapl(int first, int last, const float* xs, const float* ys, int degree,
           int print_mode, float& intercept, float* coef, float* coef_se,
           float* residual, float* fit_summary, float* xy_summary,
           float* mult_corr, int& status, ConsoleOutput& console) {
  const int m = degree;
  status = 0;
  if (!fit_arguments_valid(first, last, degree)) {
    status = -1;
    write_parameter_error(console, first, last, degree);
    return;
  }
  if (print_mode != 0) {  // the printed regression report is not provided
    status = -1;
    message(console, "*** parameter error : print mode must be 0");
    return;
  }

  FitWork work;
  form_sums(first, last, xs, ys, degree, work);
  const FitGeometry& geometry = work.geometry;
  const FitRightHandSide& rhs = work.rhs;
  const int k1 = geometry.k1;
  const long long n = geometry.n;
  const float r1 = geometry.r1;
  const float qs = rhs.qs;

  xy_summary[0] = geometry.x_mean;
  xy_summary[1] = geometry.x_var;
  xy_summary[2] = rhs.y_mean;
  xy_summary[3] = rhs.y_var;
  if (rhs.flat) {  // x or y without variance: a flat fit, nothing printed
    for (int k = 0; k < m; ++k) coef[k] = 0.0f;
    intercept = 0.0f;
    return;
  }
  xy_summary[4] =
      static_cast<float>((static_cast<double>(rhs.b[0]) / rhs.g) * static_cast<double>(r1));
  status = solve_fit(work, m, coef, intercept, console);
  if (status < 0) return;
  const float* const a = geometry.a;
  const int ld = kMaxTerms;
  const float* const w = work.w;

  // Statistics, from the finished coefficients only.
  double rss = 0.0;
  for (int i = k1; i <= last; ++i) {
    const double x = static_cast<double>(xs[i - 1]);
    double fitted = static_cast<double>(intercept);
    double power = 1.0;
    for (int k = 1; k <= m; ++k) {
      power = power * x;
      fitted = fitted + static_cast<double>(coef[k - 1]) * power;
    }
    const double r = static_cast<double>(ys[i - 1]) - fitted;
    residual[i - 1] = static_cast<float>(r);
    rss = rss + r * r;
  }
  const int kept = m - status;
  const double total = static_cast<double>(qs);
  const double df = static_cast<double>(n - 1 - kept);
  const double regression = total > rss ? total - rss : 0.0;
  const double variance = rss / df;
  const double se = std::sqrt(variance);
  double f_stat = 0.0;
  if (kept > 0) {
    f_stat = variance > 0.0 ? (regression / kept) / variance
                            : std::numeric_limits<double>::infinity();
  }
  fit_summary[0] = static_cast<float>(n);
  fit_summary[1] = static_cast<float>(df);
  fit_summary[2] = static_cast<float>(rss);
  fit_summary[3] = static_cast<float>(regression);
  fit_summary[4] = static_cast<float>(total);
  fit_summary[5] = static_cast<float>(variance);
  fit_summary[6] = static_cast<float>(se);
  fit_summary[7] = static_cast<float>(regression / total);
  fit_summary[8] = static_cast<float>(f_stat);

  double explained = 0.0;
  for (int k = 1; k <= m; ++k) {
    const double wk = static_cast<double>(w[k - 1]);
    explained = explained + wk * wk;
    const double r2 = explained / total;
    mult_corr[k - 1] = static_cast<float>(std::sqrt(r2 < 1.0 ? r2 : 1.0));
    // (A^-1)(k, k) = sum over j >= k of V(k, j)^2.
    double diag = 0.0;
    for (int j = k; j <= m; ++j) {
      const double v = static_cast<double>(matrix_at(a, ld, j + 1, k));
      diag = diag + v * v;
    }
    coef_se[k - 1] = static_cast<float>(se * std::sqrt(diag));
  }
}

}  // namespace telmor
