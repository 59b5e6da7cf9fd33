// The radix selection gives what std::nth_element gives, for every k, and
// the value below it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "timing/order_statistic.h"

namespace telmor {
namespace {

std::vector<double> values_of_kind(int kind, std::mt19937_64& random) {
  std::normal_distribution<double> normal(0.0, 1e-3);
  std::uniform_int_distribution<int> small(-3, 3);
  std::vector<double> values(kind == 3 ? 1 : 1001);
  for (double& v : values) {
    switch (kind) {
      case 0: v = normal(random); break;                          // a lead's derivative
      case 1: v = small(random); break;                            // many equal values, zeros of both signs
      case 2: v = std::ldexp(normal(random), -1060); break;        // subnormals
      default: v = -std::numeric_limits<double>::infinity(); break;
    }
  }
  if (kind == 1) values[7] = -0.0;
  if (kind == 0) values[3] = std::numeric_limits<double>::max();
  return values;
}

TEST(KthSmallest, IsTheValueNthElementPutsAtK) {
  std::mt19937_64 random(5);
  std::vector<std::uint64_t> keys;
  for (int kind = 0; kind < 4; ++kind) {
    const std::vector<double> values = values_of_kind(kind, random);
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t k = 0; k < values.size(); ++k) {
      const double got = kth_smallest(values, k, keys);
      EXPECT_EQ(got, sorted[k]) << "kind " << kind << " k " << k;
      if (k > 0) {
        const auto [below, kth] = kth_and_below(values, k, keys);
        EXPECT_EQ(below, sorted[k - 1]) << "kind " << kind << " k " << k;
        EXPECT_EQ(kth, sorted[k]) << "kind " << kind << " k " << k;
      }
    }
  }
}

}  // namespace
}  // namespace telmor
