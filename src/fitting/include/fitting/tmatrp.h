// Square-root (Cholesky) factorisation of symmetric normal equations, with
// negligible pivots dropped and counted, forward substitution of the
// right-hand side, and the inverse of the triangular factor.
#pragma once

#include "base/console_output.h"

namespace telmor {

// Element (i, j), both counted from 1, of a column-major matrix with lead_dim rows.
inline float& matrix_at(float* matrix, int lead_dim, int i, int j) {
  return matrix[(j - 1) * lead_dim + (i - 1)];
}
inline float matrix_at(const float* matrix, int lead_dim, int i, int j) {
  return matrix[(j - 1) * lead_dim + (i - 1)];
}

// Factorises A = U'U for the order-N matrix held in matrix (column-major,
// lead_dim rows, 1-based): on entry (i, j) for i <= j <= N holds A and column
// N + 1 rows 1..N the right-hand side b.
// Writes below the diagonal, shifted down one row: (i + 1, i) = t_i = 1/U(i, i)
// (0 for a dropped term); (j + 1, i), i < j, = V(i, j) of V = inverse of U
// when invert_mode is 1. The input part stays as it was.
// solution[0..N-1] receives W = U^-T b when solve_mode is 1.
// determinant: product of the pivots, each product rounded to single precision.
// status: 0, or the number of dropped terms (|pivot| within tolerance * |A(i, i)|);
// -2 when a pivot is below -tolerance * |A(i, i)|: the message line is written
// to console and nothing further is computed (solution untouched).
// Only invert_mode 1 and solve_mode 1 are supported: any other value skips
// that step (without inversion U(i, j) stays at (j + 1, i)).
// Requires 1 <= N < lead_dim.
void tmatrp(int order, float* matrix, float tolerance, int invert_mode,
            int solve_mode, float* solution, float& determinant, int lead_dim,
            int& status, ConsoleOutput& console);

// The three steps of tmatrp, for callers that factorise once and solve for
// many right-hand sides (the same operations, so the same bits):
// factorisation into t and U below the diagonal (status and message as above);
void tmatrp_factorise(int order, float* matrix, float tolerance, float& determinant,
                      int lead_dim, int& status, ConsoleOutput& console);
// forward substitution W = U^-T b from a factorised matrix, b given apart
// (inline, so that a caller with a fixed order gets it unrolled);
inline void tmatrp_forward(int order, const float* matrix, int lead_dim, const float* b,
                    float* solution) {
  const int n = order;
  const int ld = lead_dim;
  // t is read back from its stored single-precision slot.
  solution[0] = static_cast<float>(static_cast<double>(b[0]) *
                                   static_cast<double>(matrix_at(matrix, ld, 2, 1)));
  for (int i = 2; i <= n; ++i) {
    double s = static_cast<double>(b[i - 1]);
    for (int k = 1; k <= i - 1; ++k) {
      s = s - static_cast<double>(solution[k - 1]) *
                  static_cast<double>(matrix_at(matrix, ld, i + 1, k));
    }
    solution[i - 1] =
        static_cast<float>(s * static_cast<double>(matrix_at(matrix, ld, i + 1, i)));
  }
}
// inversion of the factor in place, V over U (nothing to do for order 1).
void tmatrp_invert(int order, float* matrix, int lead_dim);

// The message of a matrix that is not positive definite.
void write_not_positive_definite(ConsoleOutput& console);

}  // namespace telmor
