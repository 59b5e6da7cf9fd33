// Square-root factorisation of the normal equations of the polynomial fit.
#include "fitting/tmatrp.h"

#include <cmath>

namespace telmor {

void write_not_positive_definite(ConsoleOutput& console) {
  console.console_write("");  // the line-spacing mark
  console.console_write("*** matrix a is not positive definite   ");
}

void tmatrp_factorise(int order, float* matrix, float tolerance, float& determinant,
                      int lead_dim, int& status, ConsoleOutput& console) {
  const int n = order;
  float* const a = matrix;
  const int ld = lead_dim;
  status = 0;
  determinant = 1.0f;

  // Rows of U. U(k, j), k < j, lives at (j + 1, k); t_k = 1/U(k, k) at (k + 1, k).
  for (int i = 1; i <= n; ++i) {
    double t = 0.0;  // the row's reciprocal, kept in double for the row's U(i, j)
    for (int j = i; j <= n; ++j) {
      double s = static_cast<double>(matrix_at(a, ld, i, j));
      for (int k = 1; k <= i - 1; ++k) {
        s = s - static_cast<double>(matrix_at(a, ld, j + 1, k)) *
                    static_cast<double>(matrix_at(a, ld, i + 1, k));
      }
      if (j == i) {
        const float d = static_cast<float>(s);
        determinant = static_cast<float>(static_cast<double>(determinant) *
                                         static_cast<double>(d));
        const double tau = static_cast<double>(std::fabs(matrix_at(a, ld, i, i))) *
                           static_cast<double>(tolerance);
        if (static_cast<double>(d) >= tau) {
          t = 1.0 / std::sqrt(s);  // root of the double sum, not of d
        } else if (static_cast<double>(d) < -tau) {
          status = -2;
          write_not_positive_definite(console);
          return;
        } else {
          // Negligible pivot: the term is dropped, its row of U becomes 0.
          status = status + 1;
          t = 0.0;
        }
        matrix_at(a, ld, i + 1, i) = static_cast<float>(t);
      } else {
        matrix_at(a, ld, j + 1, i) = static_cast<float>(s * t);
      }
    }
  }
}

void tmatrp_invert(int order, float* matrix, int lead_dim) {
  const int n = order;
  float* const a = matrix;
  const int ld = lead_dim;
  // V = U^-1, row i left to right, each V(i, j) over U(i, j) at (j + 1, i):
  // U(k, j) for k > i is still in place, V(i, k) for k < j already is.
  for (int i = 1; i <= n - 1; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      double s = 0.0;
      for (int k = j - 1; k >= i; --k) {
        s = s - static_cast<double>(matrix_at(a, ld, j + 1, k)) *
                    static_cast<double>(matrix_at(a, ld, k + 1, i));
      }
      matrix_at(a, ld, j + 1, i) =
          static_cast<float>(s * static_cast<double>(matrix_at(a, ld, j + 1, j)));
    }
  }
}

void tmatrp(int order, float* matrix, float tolerance, int invert_mode,
            int solve_mode, float* solution, float& determinant, int lead_dim,
            int& status, ConsoleOutput& console) {
  tmatrp_factorise(order, matrix, tolerance, determinant, lead_dim, status, console);
  if (status < 0) return;
  if (solve_mode == 1) {
    tmatrp_forward(order, matrix, lead_dim, &matrix_at(matrix, lead_dim, 1, order + 1), solution);
  }
  if (order == 1) return;  // V = t_1, already in place
  if (invert_mode == 1) tmatrp_invert(order, matrix, lead_dim);
}

}  // namespace telmor
