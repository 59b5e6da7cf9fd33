// What the synthetic recordings are made of: a small deterministic random
// generator (the same on every machine) and the Gaussian bump the waves are
// built from, with its slope.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

namespace telmor::synthetic {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Small deterministic generator, so the sample is the same on every machine.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  double uniform() {  // [0, 1)
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<double>(state_ >> 11) * 0x1.0p-53;
  }
  double gaussian() {  // Box-Muller, mean 0, standard deviation 1
    const double u = 1.0 - uniform();  // (0, 1]: a logarithm exists
    return std::sqrt(-2.0 * std::log(u)) * std::cos(kTwoPi * uniform());
  }

 private:
  std::uint64_t state_;
};

inline double bump(double t, double centre, double width) {
  const double u = (t - centre) / width;
  return std::exp(-u * u);
}

inline double bump_slope(double t, double centre, double width) {
  const double u = (t - centre) / width;
  return -2.0 * u / width * std::exp(-u * u);
}

}  // namespace telmor::synthetic
