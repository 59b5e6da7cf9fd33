// Tests of tmatrp: square-root factorisation, forward substitution, inverse factor.
#include "fitting/tmatrp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/captured_console.h"

namespace telmor {
namespace {

using test::CapturedConsole;

double wide(float v) { return static_cast<double>(v); }

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
const std::vector<std::string> kNotPositiveDefinite = {
    "", "*** matrix a is not positive definite   "};

// Normal equations in column-major storage with ld rows: the upper triangle of
// a, then b in column n + 1. Everything else is NaN, so any read of a slot
// before the routine writes it would spoil the results.
struct System {
  System(const std::vector<std::vector<double>>& a, const std::vector<double>& b,
         int lead_dim)
      : n(static_cast<int>(b.size())), ld(lead_dim),
        cells(static_cast<std::size_t>(lead_dim * (n + 1)), kNan),
        solution(b.size() + 1, kNan) {
    for (int j = 1; j <= n; ++j) {
      for (int i = 1; i <= j; ++i) at(i, j) = static_cast<float>(a[i - 1][j - 1]);
      at(j, n + 1) = static_cast<float>(b[j - 1]);
    }
  }
  float& at(int i, int j) { return matrix_at(cells.data(), ld, i, j); }
  float t(int i) { return at(i + 1, i); }
  float upper(int i, int j) { return at(j + 1, i); }  // U(i, j) or V(i, j), i < j
  void run(float tolerance, int invert_mode = 1, int solve_mode = 1) {
    tmatrp(n, cells.data(), tolerance, invert_mode, solve_mode, solution.data(),
           determinant, ld, status, console);
  }

  int n;
  int ld;
  std::vector<float> cells;
  std::vector<float> solution;
  float determinant = kNan;
  int status = -99;
  CapturedConsole console;
};

TEST(Tmatrp, FactorsSolvesAndInvertsATwoByTwoSystem) {
  System s({{4, 2}, {2, 3}}, {2, 1}, 3);
  s.run(1.0e-6f);
  EXPECT_EQ(s.status, 0);
  EXPECT_EQ(s.t(1), 0.5f);
  EXPECT_EQ(s.t(2), static_cast<float>(1.0 / std::sqrt(2.0)));
  EXPECT_EQ(s.solution[0], 1.0f);
  EXPECT_EQ(s.solution[1], 0.0f);
  EXPECT_EQ(s.upper(1, 2), -0.35355339f);
  EXPECT_EQ(s.determinant, 8.0f);
  EXPECT_TRUE(s.console.lines.empty());
  // x = V W solves A x = b.
  const double x1 = wide(s.t(1)) * wide(s.solution[0]) +
                    wide(s.upper(1, 2)) * wide(s.solution[1]);
  const double x2 = wide(s.t(2)) * wide(s.solution[1]);
  EXPECT_EQ(x1, 0.5);
  EXPECT_EQ(x2, 0.0);
  EXPECT_DOUBLE_EQ(4 * x1 + 2 * x2, 2.0);
  EXPECT_DOUBLE_EQ(2 * x1 + 3 * x2, 1.0);
}

TEST(Tmatrp, RoundsWhereTheStorageSays) {
  // The factor row uses the double reciprocal of its pivot; the substitution
  // and the inverse use the reciprocals as stored in single precision.
  System s({{5, 3}, {3, 4}}, {3, 1}, 3);
  s.run(1.0e-6f, /*invert_mode=*/0);
  const double t1 = 1.0 / std::sqrt(5.0);
  const float u12 = static_cast<float>(3.0 * t1);
  const double pivot2 = 4.0 - wide(u12) * wide(u12);
  const float t2 = static_cast<float>(1.0 / std::sqrt(pivot2));
  const float w1 = static_cast<float>(3.0 * wide(static_cast<float>(t1)));
  const float w2 = static_cast<float>((1.0 - wide(w1) * wide(u12)) * wide(t2));
  // Both readings differ here, so the checks below tell them apart.
  ASSERT_NE(u12, static_cast<float>(3.0 * wide(static_cast<float>(t1))));
  ASSERT_NE(w1, static_cast<float>(3.0 * t1));
  EXPECT_EQ(s.t(1), static_cast<float>(t1));
  EXPECT_EQ(s.upper(1, 2), u12);
  EXPECT_EQ(s.t(2), t2);
  EXPECT_EQ(s.solution[0], w1);
  EXPECT_EQ(s.solution[1], w2);
  EXPECT_EQ(s.determinant, static_cast<float>(5.0 * wide(static_cast<float>(pivot2))));

  System inverted({{5, 3}, {3, 4}}, {3, 1}, 3);
  inverted.run(1.0e-6f);
  const double v12 = -wide(u12) * wide(static_cast<float>(t1));
  EXPECT_EQ(inverted.upper(1, 2), static_cast<float>(v12 * wide(t2)));
}

TEST(Tmatrp, LeavesTheFactorInPlaceWithoutInversion) {
  System s({{4, 2}, {2, 3}}, {2, 1}, 3);
  s.run(1.0e-6f, /*invert_mode=*/0);
  EXPECT_EQ(s.status, 0);
  EXPECT_EQ(s.upper(1, 2), 1.0f);  // U(1, 2) = 2 * t_1
  EXPECT_EQ(s.t(2), static_cast<float>(1.0 / std::sqrt(2.0)));
}

TEST(Tmatrp, DropsANegligiblePivot) {
  System s({{1, 1}, {1, 1}}, {1, 1}, 3);
  s.run(1.0e-6f);
  EXPECT_EQ(s.status, 1);
  EXPECT_EQ(s.t(1), 1.0f);
  EXPECT_EQ(s.t(2), 0.0f);
  EXPECT_EQ(s.solution[0], 1.0f);
  EXPECT_EQ(s.solution[1], 0.0f);
  EXPECT_EQ(s.upper(1, 2), 0.0f);
  EXPECT_EQ(s.determinant, 0.0f);
  EXPECT_TRUE(s.console.lines.empty());
}

TEST(Tmatrp, DroppedTermContributesNothingToTheLaterTerms) {
  // The second column repeats the first; the third is independent.
  System s({{1, 1, 0}, {1, 1, 0}, {0, 0, 4}}, {1, 1, 2}, 4);
  s.run(1.0e-6f);
  EXPECT_EQ(s.status, 1);
  EXPECT_EQ(s.t(2), 0.0f);
  EXPECT_EQ(s.solution[1], 0.0f);
  EXPECT_EQ(s.upper(1, 2), 0.0f);  // column 2 of V
  EXPECT_EQ(s.upper(2, 3), 0.0f);  // row 2 of V
  EXPECT_EQ(s.t(3), 0.5f);
  EXPECT_EQ(s.solution[2], 1.0f);
  // V W = (1, 0, 0.5) solves the system with the second term left out.
  EXPECT_EQ(s.t(1) * s.solution[0] + s.upper(1, 3) * s.solution[2], 1.0f);
  EXPECT_EQ(s.t(3) * s.solution[2], 0.5f);
}

TEST(Tmatrp, StopsOnANegativePivot) {
  System s({{1, 2}, {2, 1}}, {1, 1}, 3);
  s.solution = {7.0f, 7.0f};
  s.run(1.0e-6f);
  EXPECT_EQ(s.status, -2);
  EXPECT_EQ(s.console.lines, kNotPositiveDefinite);
  EXPECT_EQ(s.solution, (std::vector<float>{7.0f, 7.0f}));
  EXPECT_EQ(s.t(1), 1.0f);          // the first row was factorised
  EXPECT_TRUE(std::isnan(s.t(2)));  // the second pivot was never stored
}

TEST(Tmatrp, KeepsAPivotExactlyAtTheTolerance) {
  // Second pivot 2 - 1 * 1 = 1 = |A(2, 2)| * 0.5.
  System kept({{1, 1}, {1, 2}}, {1, 1}, 3);
  kept.run(0.5f);
  EXPECT_EQ(kept.status, 0);
  EXPECT_EQ(kept.t(2), 1.0f);
  // A tolerance one step larger drops it.
  System dropped({{1, 1}, {1, 2}}, {1, 1}, 3);
  dropped.run(std::nextafter(0.5f, 1.0f));
  EXPECT_EQ(dropped.status, 1);
  EXPECT_EQ(dropped.t(2), 0.0f);
}

TEST(Tmatrp, DropsAPivotExactlyAtMinusTheTolerance) {
  // Second pivot 0.5 - 1 = -0.5 = -|A(2, 2)| * 1: dropped, not an error.
  System s({{1, 1}, {1, 0.5}}, {1, 1}, 3);
  s.run(1.0f);
  EXPECT_EQ(s.status, 1);
  EXPECT_EQ(s.t(2), 0.0f);
  EXPECT_EQ(s.determinant, -0.5f);
  EXPECT_TRUE(s.console.lines.empty());
}

TEST(Tmatrp, SolvesAnOrderOneSystem) {
  System s({{4}}, {2}, 2);
  s.run(1.0e-6f);
  EXPECT_EQ(s.status, 0);
  EXPECT_EQ(s.t(1), 0.5f);
  EXPECT_EQ(s.solution[0], 1.0f);
  EXPECT_EQ(s.determinant, 4.0f);
}

TEST(Tmatrp, MultipliesTheDeterminantPivotByPivot) {
  System s({{2, 0, 0}, {0, 3, 0}, {0, 0, 5}}, {1, 1, 1}, 4);
  s.run(1.0e-6f);
  EXPECT_EQ(s.status, 0);
  EXPECT_EQ(s.determinant, 30.0f);
}

// Random symmetric positive definite matrix B'B + n I and right-hand side.
void random_system(int n, unsigned seed, std::vector<std::vector<double>>& a,
                   std::vector<double>& b) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  std::vector<std::vector<double>> m(n, std::vector<double>(n));
  for (auto& row : m)
    for (double& v : row) v = uniform(rng);
  a.assign(n, std::vector<double>(n, 0.0));
  b.assign(n, 0.0);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      for (int k = 0; k < n; ++k) a[i][j] += m[k][i] * m[k][j];
      // Round as the routine sees it, so the checks compare like with like.
      a[i][j] = static_cast<float>(a[i][j] + (i == j ? n : 0));
    }
    b[i] = static_cast<float>(uniform(rng));
  }
}

TEST(Tmatrp, LeavesTheInputPartUnchanged) {
  std::vector<std::vector<double>> a;
  std::vector<double> b;
  random_system(5, 11u, a, b);
  System s(a, b, 7);
  const std::vector<float> before = s.cells;
  s.run(1.0e-6f);
  ASSERT_EQ(s.status, 0);
  for (int j = 1; j <= s.n + 1; ++j) {
    for (int i = 1; i <= std::min(j, s.n); ++i) {
      EXPECT_EQ(s.at(i, j), matrix_at(before.data(), s.ld, i, j)) << i << "," << j;
    }
  }
}

TEST(Tmatrp, FactorReproducesARandomPositiveDefiniteMatrix) {
  for (int n : {2, 5, 12, 20}) {
    std::vector<std::vector<double>> a;
    std::vector<double> b;
    random_system(n, 100u + static_cast<unsigned>(n), a, b);
    System s(a, b, 21);
    s.run(1.0e-6f, /*invert_mode=*/0);
    ASSERT_EQ(s.status, 0);
    auto u = [&](int i, int j) -> double {
      if (i > j) return 0.0;
      return i == j ? 1.0 / wide(s.t(i)) : wide(s.upper(i, j));
    };
    for (int i = 1; i <= n; ++i) {
      for (int j = i; j <= n; ++j) {
        double sum = 0.0;
        for (int k = 1; k <= i; ++k) sum += u(k, i) * u(k, j);
        EXPECT_NEAR(sum, a[i - 1][j - 1], 2.0e-5 * n) << n << ": " << i << "," << j;
      }
      // U' W = b.
      double lhs = 0.0;
      for (int k = 1; k <= i; ++k) lhs += u(k, i) * wide(s.solution[k - 1]);
      EXPECT_NEAR(lhs, b[i - 1], 1.0e-5 * n);
    }
  }
}

TEST(Tmatrp, InverseFactorAndSolutionSolveARandomSystem) {
  const int n = 8;
  std::vector<std::vector<double>> a;
  std::vector<double> b;
  random_system(n, 7u, a, b);
  System s(a, b, 21);
  s.run(1.0e-6f);
  ASSERT_EQ(s.status, 0);
  auto v = [&](int i, int j) -> double {
    if (i > j) return 0.0;
    return wide(i == j ? s.t(i) : s.upper(i, j));
  };
  // x = V W, then A x = b.
  std::vector<double> x(n, 0.0);
  for (int i = 1; i <= n; ++i)
    for (int k = i; k <= n; ++k) x[i - 1] += v(i, k) * wide(s.solution[k - 1]);
  for (int i = 0; i < n; ++i) {
    double lhs = 0.0;
    for (int j = 0; j < n; ++j) lhs += a[i][j] * x[j];
    EXPECT_NEAR(lhs, b[i], 1.0e-5);
  }
  // The determinant is the product of the pivots, 1 / t_i^2.
  double det = 1.0;
  for (int i = 1; i <= n; ++i) det /= wide(s.t(i)) * wide(s.t(i));
  EXPECT_NEAR(s.determinant, det, 1.0e-5 * det);
}

}  // namespace
}  // namespace telmor
