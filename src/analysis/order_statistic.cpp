// Radix selection: each pass counts the candidates by their next 11 bits,
// keeps those in the bucket that holds the k-th, and moves on to the next
// bits, so a selection reads its values a few times instead of partitioning
// them again and again.
#include "analysis/order_statistic.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>

namespace telmor {
namespace {

constexpr int kDigitBits = 11;
constexpr std::uint64_t kDigitMask = (1u << kDigitBits) - 1;

// The order of doubles as the order of unsigned integers: negative values
// have all their bits flipped, the others their sign bit set.
std::uint64_t ordered_key(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
}

double value_of(std::uint64_t key) {
  return std::bit_cast<double>((key >> 63) != 0 ? key & ~(std::uint64_t{1} << 63) : ~key);
}

}  // namespace

double kth_smallest(std::span<const double> values, std::size_t k, std::vector<std::uint64_t>& keys) {
  keys.resize(values.size());
  std::uint64_t low = ~std::uint64_t{0}, high = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    keys[i] = ordered_key(values[i]);
    low = std::min(low, keys[i]);
    high = std::max(high, keys[i]);
  }
  // The bits above the highest one in which the values differ sort nothing.
  int shift = 64 - std::countl_zero(low ^ high) - kDigitBits;
  std::size_t count = keys.size();
  std::array<std::size_t, 1 << kDigitBits> buckets;
  for (; count > 1 && shift > -kDigitBits; shift -= kDigitBits) {
    const int at = std::max(shift, 0);
    buckets.fill(0);
    for (std::size_t i = 0; i < count; ++i) ++buckets[(keys[i] >> at) & kDigitMask];
    std::size_t bucket = 0;
    while (k >= buckets[bucket]) k -= buckets[bucket++];
    // Only the chosen bucket's candidates go on; they are all equal in the
    // bits looked at so far. One left is the k-th.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count; ++i) {
      if (((keys[i] >> at) & kDigitMask) == bucket) keys[kept++] = keys[i];
    }
    count = kept;
  }
  return value_of(keys[0]);
}

double largest_below(std::span<const double> values, double upper, std::size_t k) {
  std::size_t below = 0;
  double largest = -std::numeric_limits<double>::infinity();
  for (const double v : values) {
    // Without branches: half the values lie below, in no order a
    // processor could guess.
    const bool under = v < upper;
    below += under;
    largest = under && v > largest ? v : largest;
  }
  return below >= k ? largest : upper;
}

}  // namespace telmor
