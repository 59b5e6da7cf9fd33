// Radix selection: each pass counts the candidates by their next 11 bits,
// keeps those in the bucket that holds the k-th, and moves on to the next
// bits, so a selection reads its values a few times instead of partitioning
// them again and again.
#include "timing/order_statistic.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <optional>

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

namespace {

struct Selected {
  double kth = 0.0;
  double below = 0.0;  // the (k - 1)-th, when asked for
};

// The k-th smallest and, with with_below (k >= 1), the (k - 1)-th: while the
// bucket that holds the k-th is chosen, the largest key of the buckets below
// it is the (k - 1)-th as soon as the k-th is the first of its bucket; until
// then the (k - 1)-th shares its bucket too.
Selected select(std::span<const double> values, std::size_t k, bool with_below,
                std::vector<std::uint64_t>& keys) {
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
  std::optional<std::uint64_t> below;
  std::array<std::size_t, 1 << kDigitBits> buckets;
  for (; count > 1 && shift > -kDigitBits; shift -= kDigitBits) {
    const int at = std::max(shift, 0);
    buckets.fill(0);
    for (std::size_t i = 0; i < count; ++i) ++buckets[(keys[i] >> at) & kDigitMask];
    const bool below_here = with_below && !below && k > 0;
    std::size_t bucket = 0;
    while (k >= buckets[bucket]) k -= buckets[bucket++];
    // Only the chosen bucket's candidates go on; they are all equal in the
    // bits looked at so far. One left is the k-th.
    std::size_t kept = 0;
    if (below_here && k == 0) {
      std::uint64_t largest = 0;
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t digit = (keys[i] >> at) & kDigitMask;
        if (digit < bucket) largest = std::max(largest, keys[i]);
        if (digit == bucket) keys[kept++] = keys[i];
      }
      below = largest;
    } else {
      for (std::size_t i = 0; i < count; ++i) {
        if (((keys[i] >> at) & kDigitMask) == bucket) keys[kept++] = keys[i];
      }
    }
    count = kept;
  }
  // Several equal keys left: the (k - 1)-th is one of them.
  return {value_of(keys[0]), below ? value_of(*below) : value_of(keys[0])};
}

}  // namespace

double kth_smallest(std::span<const double> values, std::size_t k, std::vector<std::uint64_t>& keys) {
  return select(values, k, false, keys).kth;
}

std::pair<double, double> kth_and_below(std::span<const double> values, std::size_t k,
                                        std::vector<std::uint64_t>& keys) {
  const Selected s = select(values, k, true, keys);
  return {s.below, s.kth};
}

double median_of(std::span<const double> values, std::vector<std::uint64_t>& keys) {
  const std::size_t n = values.size();
  if (n == 0) return std::numeric_limits<double>::quiet_NaN();
  if (n % 2 == 1) return kth_smallest(values, n / 2, keys);
  const auto [lower, upper] = kth_and_below(values, n / 2, keys);
  return (lower + upper) / 2.0;
}

double median_of(std::span<const double> values) {
  std::vector<std::uint64_t> keys;
  return median_of(values, keys);
}

}  // namespace telmor
