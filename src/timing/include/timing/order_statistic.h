// The k-th smallest of many values in linear time: a radix selection on the
// values' bits, for the medians of whole leads that every analysis takes, and
// the one median of the analyses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace telmor {

// The k-th smallest (0-based) of values, none of them NaN: the value
// std::nth_element puts at position k. keys is scratch for the caller to keep.
double kth_smallest(std::span<const double> values, std::size_t k, std::vector<std::uint64_t>& keys);

// The (k - 1)-th and the k-th smallest (k >= 1) in one selection.
std::pair<double, double> kth_and_below(std::span<const double> values, std::size_t k,
                                        std::vector<std::uint64_t>& keys);

// The median of values (none of them NaN; NaN when there are none): the
// middle one, or the mean of the middle two, (lower + upper) / 2 in double.
double median_of(std::span<const double> values, std::vector<std::uint64_t>& keys);
double median_of(std::span<const double> values);

}  // namespace telmor
