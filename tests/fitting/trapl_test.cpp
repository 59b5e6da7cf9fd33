// Tests of trapl: polynomial least-squares fit, its messages and statistics.
#include "fitting/trapl.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "support/captured_console.h"

namespace telmor {
namespace {

using test::CapturedConsole;

constexpr float kUnset = -12345.0f;  // what every output holds before a call
constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
const std::string kXWarning = "*** warning : variable x is constant.";
const std::string kYWarning = "*** warning : dependent variable y is constant.";
const std::string kNotPositiveDefinite = "*** matrix a is not positive definite   ";

// Points x = x_of(i), y = y_of(x) at indices 1..size, and one call's outputs.
struct Fit {
  Fit(int size, const std::function<double(int)>& x_of,
      const std::function<double(double)>& y_of)
      : xs(static_cast<std::size_t>(size)), ys(xs.size()), residual(xs.size(), kUnset) {
    for (int i = 1; i <= size; ++i) {
      xs[i - 1] = static_cast<float>(x_of(i));
      ys[i - 1] = static_cast<float>(y_of(static_cast<double>(xs[i - 1])));
    }
    coef.fill(kUnset);
    coef_se.fill(kUnset);
    mult_corr.fill(kUnset);
    fit_summary.fill(kUnset);
    xy_summary.fill(kUnset);
  }
  void run(int first, int last, int degree, int print_mode = 0) {
    trapl(first, last, xs.data(), ys.data(), degree, print_mode, intercept,
          coef.data(), coef_se.data(), residual.data(), fit_summary.data(),
          xy_summary.data(), mult_corr.data(), status, console);
  }

  std::vector<float> xs, ys, residual;
  float intercept = kUnset;
  std::array<float, kMaxTerms> coef{}, coef_se{}, mult_corr{};
  std::array<float, 9> fit_summary{};
  std::array<float, 5> xy_summary{};
  int status = -99;
  CapturedConsole console;
};

double wide(float v) { return static_cast<double>(v); }

double identity(int i) { return i; }

// Least-squares slope of the points first..last, in double precision.
double line_slope(const Fit& f, int first, int last) {
  double mx = 0.0, my = 0.0;
  const int n = last - first + 1;
  for (int i = first; i <= last; ++i) {
    mx += static_cast<double>(f.xs[i - 1]);
    my += static_cast<double>(f.ys[i - 1]);
  }
  mx /= n;
  my /= n;
  double sxy = 0.0, sxx = 0.0;
  for (int i = first; i <= last; ++i) {
    const double dx = static_cast<double>(f.xs[i - 1]) - mx;
    sxy += dx * (static_cast<double>(f.ys[i - 1]) - my);
    sxx += dx * dx;
  }
  return sxy / sxx;
}

// The rejection line put together field by field.
std::string parameter_line(const std::string& first, const std::string& last,
                           const std::string& degree) {
  return "*** parameter error m1 =" + first + "   " + "m =" + last + "   " + "  =," +
         degree + " .lt.  " + " 21";
}

void expect_untouched(const Fit& f) {
  EXPECT_EQ(f.intercept, kUnset);
  for (float v : f.coef) EXPECT_EQ(v, kUnset);
  for (float v : f.coef_se) EXPECT_EQ(v, kUnset);
  for (float v : f.mult_corr) EXPECT_EQ(v, kUnset);
  for (float v : f.fit_summary) EXPECT_EQ(v, kUnset);
  for (float v : f.residual) EXPECT_EQ(v, kUnset);
}

double smooth_wave(double x) { return std::sin(0.37 * x) + 0.2 * std::cos(1.3 * x); }

// --- arguments -------------------------------------------------------------

TEST(TraplArguments, RejectsThreePointsForACubicWithTheExactLine) {
  Fit f(2, identity, smooth_wave);
  f.run(0, 2, 3);
  EXPECT_EQ(f.status, -1);
  const std::vector<std::string> expected = {
      "", "*** parameter error m1 =   0   m =   2     =,   3 .lt.   21"};
  EXPECT_EQ(f.console.lines, expected);
  EXPECT_EQ(f.console.lines[1], parameter_line("   0", "   2", "   3"));
  expect_untouched(f);
  for (float v : f.xy_summary) EXPECT_EQ(v, kUnset);
}

TEST(TraplArguments, ShowsFirstAsGivenAndCountsFromPointOne) {
  Fit f(4, identity, smooth_wave);
  f.run(-5, 4, 3);  // points 1..4: one too few for a cubic
  EXPECT_EQ(f.status, -1);
  ASSERT_EQ(f.console.lines.size(), 2u);
  EXPECT_EQ(f.console.lines[1], parameter_line("  -5", "   4", "   3"));
}

TEST(TraplArguments, FirstBelowOneFitsFromPointOne) {
  Fit from_one(15, identity, smooth_wave);
  from_one.run(1, 15, 3);
  for (int first : {0, -1, -1000}) {
    Fit f(15, identity, smooth_wave);
    f.run(first, 15, 3);
    EXPECT_EQ(f.status, from_one.status);
    EXPECT_EQ(f.coef, from_one.coef);
    EXPECT_EQ(f.intercept, from_one.intercept);
    EXPECT_EQ(f.fit_summary[0], 15.0f);  // n counts from point 1
    EXPECT_TRUE(f.console.lines.empty());
  }
}

TEST(TraplArguments, FillsATooWideFieldWithAsterisks) {
  Fit f(2, identity, smooth_wave);
  f.run(1, 12345, 21);  // rejected for the degree before any point is read
  EXPECT_EQ(f.status, -1);
  ASSERT_EQ(f.console.lines.size(), 2u);
  EXPECT_EQ(f.console.lines[1], parameter_line("   1", "****", "  21"));
  f.console.lines.clear();
  f.run(-1000, 9999, -100);
  ASSERT_EQ(f.console.lines.size(), 2u);
  EXPECT_EQ(f.console.lines[1], parameter_line("****", "9999", "-100"));
  f.console.lines.clear();
  f.run(-999, 2, 12345);
  ASSERT_EQ(f.console.lines.size(), 2u);
  EXPECT_EQ(f.console.lines[1], parameter_line("-999", "   2", "****"));
}

TEST(TraplArguments, NeedsDegreePlusTwoPoints) {
  Fit f(40, identity, smooth_wave);
  for (int degree : {1, 3, 7}) {
    f.console.lines.clear();
    f.run(11, 11 + degree, degree);  // n = M + 1
    EXPECT_EQ(f.status, -1) << degree;
    ASSERT_EQ(f.console.lines.size(), 2u);
    EXPECT_EQ(f.console.lines[1].rfind("*** parameter error", 0), 0u);
    f.console.lines.clear();
    f.run(11, 12 + degree, degree);  // n = M + 2
    EXPECT_NE(f.status, -1) << degree;
    for (const std::string& line : f.console.lines)
      EXPECT_EQ(line.find("parameter error"), std::string::npos) << line;
  }
}

TEST(TraplArguments, AcceptsDegreesOneToTwenty) {
  // 22 abscissae in [-1, 1], so no power overflows the single-precision matrix.
  Fit f(22, [](int i) { return -1.0 + (i - 1) / 10.5; }, smooth_wave);
  for (int degree : {0, -3, 21}) {
    f.console.lines.clear();
    f.run(1, 22, degree);
    EXPECT_EQ(f.status, -1) << degree;
    ASSERT_EQ(f.console.lines.size(), 2u);
    EXPECT_EQ(f.console.lines[1].rfind("*** parameter error", 0), 0u);
  }
  expect_untouched(f);
  for (int degree : {1, 20}) {
    f.console.lines.clear();
    f.run(1, 22, degree);
    EXPECT_NE(f.status, -1) << degree;
    for (const std::string& line : f.console.lines)
      EXPECT_EQ(line.find("parameter error"), std::string::npos) << line;
  }
}

TEST(TraplArguments, RefusesAPrintedReport) {
  Fit f(15, identity, smooth_wave);
  f.run(1, 15, 3, /*print_mode=*/1);
  EXPECT_EQ(f.status, -1);
  ASSERT_EQ(f.console.lines.size(), 2u);
  EXPECT_EQ(f.console.lines[0], "");
  expect_untouched(f);
}

// --- fits --------------------------------------------------------------------

TEST(TraplFit, EqualOrdinatesGiveAFlatFitWithoutAMessage) {
  // Small whole numbers keep Sy * Sy * rn at exactly Syy, so y has no variance.
  Fit f(15, identity, [](double) { return 5.0; });
  f.run(1, 15, 3);
  EXPECT_EQ(f.status, 0);
  EXPECT_EQ(f.coef[0], 0.0f);
  EXPECT_EQ(f.coef[1], 0.0f);
  EXPECT_EQ(f.coef[2], 0.0f);
  EXPECT_EQ(f.intercept, 0.0f);  // not the mean of y
  EXPECT_TRUE(f.console.lines.empty());
  EXPECT_EQ(f.xy_summary[2], 5.0f);
  EXPECT_EQ(f.xy_summary[3], 0.0f);
  EXPECT_EQ(f.xy_summary[4], kUnset);
}

TEST(TraplFit, EqualAbscissaeGiveAFlatFitWithoutAMessage) {
  Fit f(15, [](int) { return 3.0; }, smooth_wave);
  f.run(1, 15, 2);
  EXPECT_EQ(f.status, 0);
  EXPECT_EQ(f.coef[0], 0.0f);
  EXPECT_EQ(f.coef[1], 0.0f);
  EXPECT_EQ(f.intercept, 0.0f);
  EXPECT_TRUE(f.console.lines.empty());
  EXPECT_EQ(f.xy_summary[0], 3.0f);
  EXPECT_EQ(f.xy_summary[1], 0.0f);
  EXPECT_EQ(f.xy_summary[4], kUnset);
}

TEST(TraplFit, StraightLineHasTheExactSlope) {
  Fit f(15, identity, [](double x) { return 1.0 + 2.0 * x; });
  f.run(1, 15, 1);
  EXPECT_EQ(f.status, 0);
  EXPECT_EQ(f.coef[0], 2.0f);
  EXPECT_FLOAT_EQ(f.intercept, 1.0f);
  EXPECT_TRUE(f.console.lines.empty());
  // Mean and sample variance of x = 1..15 and of y = 1 + 2x, correlation 1.
  EXPECT_FLOAT_EQ(f.xy_summary[0], 8.0f);
  EXPECT_FLOAT_EQ(f.xy_summary[1], 20.0f);
  EXPECT_FLOAT_EQ(f.xy_summary[2], 17.0f);
  EXPECT_FLOAT_EQ(f.xy_summary[3], 80.0f);
  EXPECT_FLOAT_EQ(f.xy_summary[4], 1.0f);
}

TEST(TraplFit, StraightLineFollowsTheSinglePrecisionSteps) {
  // Degree 1 worked through by hand: double sums, single-precision matrix,
  // reciprocal, transformed right-hand side, coefficient and intercept.
  const double scatter[10] = {0.3, -0.2, 0.5, -0.4, 0.1, 0.0, -0.6, 0.2, 0.4, -0.1};
  Fit f(10, [](int i) { return 0.7 * i; },
        [&](double x) { return 1.0 / 3.0 + 0.9 * x + scatter[std::lround(x / 0.7) - 1]; });
  f.run(1, 10, 1);
  ASSERT_EQ(f.status, 0);
  double s1 = 0, s2 = 0, sy = 0, t1 = 0;
  for (int i = 0; i < 10; ++i) {
    const double x = wide(f.xs[i]), y = wide(f.ys[i]);
    s1 += x;
    s2 += x * x;
    sy += y;
    t1 += y * x;
  }
  const double rn = 1.0 / 10.0;
  const float a11 = static_cast<float>(s2 - s1 * s1 * rn);
  const float b1 = static_cast<float>(t1 - sy * s1 * rn);
  const float t = static_cast<float>(1.0 / std::sqrt(wide(a11)));
  const float w = static_cast<float>(wide(b1) * wide(t));
  const float coef = static_cast<float>(0.0 + wide(t) * wide(w));
  EXPECT_EQ(f.coef[0], coef);
  EXPECT_EQ(f.intercept, static_cast<float>((sy - wide(coef) * s1) * rn));
  EXPECT_EQ(f.xy_summary[0], static_cast<float>(rn * s1));
  EXPECT_EQ(f.xy_summary[1], static_cast<float>(wide(static_cast<float>(1.0 / 9.0)) * wide(a11)));
}

TEST(TraplFit, CubicKeepsAllTermsNearZero) {
  const double truth[4] = {2.0, 3.0, -0.5, 0.01};
  Fit f(15, identity, [&](double x) {
    return truth[0] + truth[1] * x + truth[2] * x * x + truth[3] * x * x * x;
  });
  f.run(1, 15, 3);
  EXPECT_EQ(f.status, 0);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_NEAR(f.coef[k - 1], truth[k], 1.0e-4 * std::fabs(truth[k])) << k;
  }
  EXPECT_NEAR(f.intercept, truth[0], 1.0e-3);
  EXPECT_TRUE(f.console.lines.empty());
}

TEST(TraplFit, DropsTheCubicTermFarFromZero) {
  for (int centre : {100, 500}) {
    Fit f(centre + 7, identity, smooth_wave);
    f.run(centre - 7, centre + 7, 3);
    EXPECT_EQ(f.status, 1) << centre;
    EXPECT_EQ(f.coef[2], 0.0f) << centre;
    const double slope = wide(f.coef[0]) + 2.0 * wide(f.coef[1]) * centre;
    EXPECT_NEAR(slope, line_slope(f, centre - 7, centre + 7), 5.0e-5) << centre;
  }
}

TEST(TraplFit, EveryWindowCentredFromOneHundredDropsTheCubic) {
  Fit f(1014, identity, smooth_wave);
  for (int centre = 100; centre <= 1007; ++centre) {
    f.run(centre - 7, centre + 7, 3);
    ASSERT_EQ(f.status, 1) << centre;
    EXPECT_EQ(f.coef[2], 0.0f) << centre;
    const double slope = wide(f.coef[0]) + 2.0 * wide(f.coef[1]) * centre;
    EXPECT_NEAR(slope, line_slope(f, centre - 7, centre + 7), 5.0e-5) << centre;
  }
  EXPECT_TRUE(f.console.lines.empty());
}

TEST(TraplFit, DroppedCubicLeavesTheQuadraticFit) {
  // An exact parabola around x = 100: the quadratic fit reproduces it.
  Fit f(107, identity, [](double x) { return 0.5 + 0.25 * x - 0.002 * x * x; });
  f.run(93, 107, 3);
  EXPECT_EQ(f.status, 1);
  EXPECT_EQ(f.coef[2], 0.0f);
  EXPECT_NEAR(f.coef[0], 0.25, 2.0e-4);
  EXPECT_NEAR(f.coef[1], -0.002, 2.0e-6);
  for (int i = 93; i <= 107; ++i) EXPECT_NEAR(f.residual[i - 1], 0.0f, 1.0e-4) << i;
}

TEST(TraplFit, ReadsOnlyThePointsOfTheRun) {
  Fit f(40, identity, smooth_wave);
  Fit reference = f;
  for (int i = 1; i <= 40; ++i) {
    if (i < 10 || i > 24) f.xs[i - 1] = f.ys[i - 1] = kNan;
  }
  f.run(10, 24, 3);
  reference.run(10, 24, 3);
  EXPECT_EQ(f.status, 0);
  EXPECT_EQ(f.coef, reference.coef);
  EXPECT_EQ(f.intercept, reference.intercept);
  for (float v : f.coef) EXPECT_FALSE(std::isnan(v));
  for (int i = 1; i <= 40; ++i) {
    if (i < 10 || i > 24) {
      EXPECT_EQ(f.residual[i - 1], kUnset) << i;
    } else {
      EXPECT_TRUE(std::isfinite(f.residual[i - 1])) << i;
    }
  }
  // A run from point 1 with FIRST below 1: nothing before the array is read,
  // and nothing after LAST.
  Fit g(20, identity, smooth_wave);
  for (int i = 13; i <= 20; ++i) g.xs[i - 1] = g.ys[i - 1] = kNan;
  g.run(-4, 12, 3);
  EXPECT_EQ(g.status, 0);
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(std::isfinite(g.coef[k]));
  EXPECT_TRUE(std::isfinite(g.intercept));
}

// --- warnings ---------------------------------------------------------------

TEST(TraplWarnings, WarnsOfANearlyConstantX) {
  // 4000^2 * 1.0e-6 = 16 is not below the variance 11 of 3995..4005.
  Fit f(11, [](int i) { return 3994.0 + i; }, [](double x) { return 3.0 + 0.25 * x; });
  f.run(1, 11, 1);
  const std::vector<std::string> expected = {"", kXWarning};
  EXPECT_EQ(f.console.lines, expected);
  EXPECT_EQ(f.status, 0);
  EXPECT_NEAR(f.coef[0], 0.25, 1.0e-6);
}

TEST(TraplWarnings, NoXWarningForWindowsCentredUpTo1007) {
  Fit f(1014, identity, smooth_wave);
  for (int centre = 8; centre <= 1007; ++centre) {
    f.run(centre - 7, centre + 7, 3);
    ASSERT_TRUE(f.console.lines.empty()) << centre << ": " << f.console.lines.back();
  }
}

TEST(TraplWarnings, WarnsOfANearlyConstantY) {
  // Sum of squares about 0.001^2 * 280, against 1008^2 * 1.0e-6, about 1.
  Fit f(15, identity, [](double x) { return 1000.0 + 0.001 * x; });
  f.run(1, 15, 1);
  const std::vector<std::string> expected = {"", kYWarning};
  EXPECT_EQ(f.console.lines, expected);
  EXPECT_EQ(f.status, 0);
  EXPECT_NEAR(f.coef[0], line_slope(f, 1, 15), 1.0e-8);
  EXPECT_NEAR(f.coef[0], 0.001, 1.0e-5);
}

TEST(TraplWarnings, NearlyConstantYIsJudgedBySumOfSquares) {
  // Sum of squares 0.1^2 * 280 = 2.8 is above 1008^2 * 1.0e-6, about 1.02;
  // the variance 0.2 is below it.
  Fit f(15, identity, [](double x) { return 1000.0 + 0.1 * x; });
  f.run(1, 15, 1);
  EXPECT_GT(f.xy_summary[2] * f.xy_summary[2] * kRankTolerance, f.xy_summary[3]);
  EXPECT_TRUE(f.console.lines.empty());
  EXPECT_NEAR(f.coef[0], 0.1, 1.0e-5);
}

TEST(TraplWarnings, GivesBothWarningsXFirst) {
  Fit f(11, [](int i) { return 3994.0 + i; },
        [](double x) { return 1000.0 + 0.002 * std::fmod(x, 2.0); });
  f.run(1, 11, 1);
  const std::vector<std::string> expected = {"", kXWarning, "", kYWarning};
  EXPECT_EQ(f.console.lines, expected);
  EXPECT_EQ(f.status, 0);
}

// --- not positive definite ----------------------------------------------------

TEST(TraplFit, MatrixNotPositiveDefiniteKeepsThePreviousResults) {
  // Quartics and higher over short runs away from x = 0 leave late pivots at
  // the size of the single-precision rounding of the normal matrix; some of
  // them fall below -tolerance.
  int refused = 0;
  for (int degree = 4; degree <= 8; ++degree) {
    for (int centre = 8; centre <= 200; ++centre) {
      Fit f(centre + 7, identity, smooth_wave);
      f.run(centre - 7, centre + 7, degree);
      if (f.status != -2) continue;
      ++refused;
      const std::vector<std::string> expected = {"", kNotPositiveDefinite};
      EXPECT_EQ(f.console.lines, expected);
      expect_untouched(f);
      EXPECT_NE(f.xy_summary[0], kUnset);  // computed before the factorisation
    }
  }
  EXPECT_GT(refused, 0);
}

// --- statistics -----------------------------------------------------------------

TEST(TraplStatistics, ExactLineHasNoResidual) {
  Fit f(15, identity, [](double x) { return 1.0 + 2.0 * x; });
  f.run(1, 15, 1);
  for (float r : f.residual) EXPECT_NEAR(r, 0.0f, 1.0e-5f);
  EXPECT_EQ(f.fit_summary[0], 15.0f);
  EXPECT_EQ(f.fit_summary[1], 13.0f);
  EXPECT_NEAR(f.fit_summary[2], 0.0f, 1.0e-6f);
  EXPECT_FLOAT_EQ(f.fit_summary[3], f.fit_summary[4]);
  EXPECT_FLOAT_EQ(f.fit_summary[4], 4.0f * 280.0f);  // sum of (y - 17)^2
  EXPECT_FLOAT_EQ(f.fit_summary[7], 1.0f);
  EXPECT_FLOAT_EQ(f.mult_corr[0], 1.0f);
  EXPECT_NEAR(f.coef_se[0], 0.0f, 1.0e-5f);
}

TEST(TraplStatistics, LineThroughScatterMatchesTheTextbook) {
  // y = 1 + 0.5 x plus a fixed scatter; compare with the closed forms.
  const double scatter[12] = {0.3, -0.2, 0.5, -0.4, 0.1, 0.0, -0.6, 0.2, 0.4, -0.1, -0.3, 0.25};
  Fit f(12, identity, [&](double x) { return 1.0 + 0.5 * x + scatter[static_cast<int>(x) - 1]; });
  f.run(1, 12, 1);
  ASSERT_EQ(f.status, 0);
  const double n = 12.0;
  double mx = 0, my = 0;
  for (int i = 0; i < 12; ++i) {
    mx += static_cast<double>(f.xs[i]) / n;
    my += static_cast<double>(f.ys[i]) / n;
  }
  double sxx = 0, sxy = 0, syy = 0;
  for (int i = 0; i < 12; ++i) {
    const double dx = static_cast<double>(f.xs[i]) - mx;
    const double dy = static_cast<double>(f.ys[i]) - my;
    sxx += dx * dx;
    sxy += dx * dy;
    syy += dy * dy;
  }
  const double b = sxy / sxx;
  const double a = my - b * mx;
  const double rss = syy - b * sxy;
  const double s2 = rss / (n - 2);
  EXPECT_NEAR(f.coef[0], b, 1.0e-6);
  EXPECT_NEAR(f.intercept, a, 1.0e-5);
  for (int i = 0; i < 12; ++i) {
    const double r = static_cast<double>(f.ys[i]) - a - b * static_cast<double>(f.xs[i]);
    EXPECT_NEAR(f.residual[i], r, 1.0e-5) << i;
  }
  EXPECT_EQ(f.fit_summary[1], 10.0f);
  EXPECT_NEAR(f.fit_summary[2], rss, 1.0e-4 * rss);
  EXPECT_NEAR(f.fit_summary[3], syy - rss, 1.0e-4 * syy);
  EXPECT_NEAR(f.fit_summary[4], syy, 1.0e-5 * syy);
  EXPECT_NEAR(f.fit_summary[5], s2, 1.0e-4 * s2);
  EXPECT_NEAR(f.fit_summary[6], std::sqrt(s2), 1.0e-4 * std::sqrt(s2));
  EXPECT_NEAR(f.fit_summary[7], 1.0 - rss / syy, 1.0e-5);
  EXPECT_NEAR(f.fit_summary[8], (syy - rss) / s2, 1.0e-3 * (syy - rss) / s2);
  EXPECT_NEAR(f.coef_se[0], std::sqrt(s2 / sxx), 1.0e-4 * std::sqrt(s2 / sxx));
  const double r = sxy / std::sqrt(sxx * syy);
  EXPECT_NEAR(f.xy_summary[4], r, 1.0e-5);
  EXPECT_NEAR(f.mult_corr[0], std::fabs(r), 1.0e-5);
}

TEST(TraplStatistics, MultipleCorrelationGrowsWithTheDegree) {
  // y = x^2: a straight line explains part of it, the quadratic all of it.
  Fit f(15, identity, [](double x) { return x * x; });
  f.run(1, 15, 2);
  ASSERT_EQ(f.status, 0);
  EXPECT_NEAR(f.mult_corr[0], f.xy_summary[4], 1.0e-5);
  EXPECT_LT(f.mult_corr[0], 1.0f);
  EXPECT_NEAR(f.mult_corr[1], 1.0f, 1.0e-6f);
  EXPECT_NEAR(f.fit_summary[7], 1.0f, 1.0e-5f);
}

TEST(TraplStatistics, DroppedTermHasNoStandardError) {
  Fit f(107, identity, smooth_wave);
  f.run(93, 107, 3);
  ASSERT_EQ(f.status, 1);
  EXPECT_EQ(f.coef_se[2], 0.0f);
  EXPECT_GT(f.coef_se[0], 0.0f);
  EXPECT_GT(f.coef_se[1], 0.0f);
  EXPECT_EQ(f.fit_summary[1], 15.0f - 1.0f - 2.0f);  // two terms kept
}

}  // namespace
}  // namespace telmor
