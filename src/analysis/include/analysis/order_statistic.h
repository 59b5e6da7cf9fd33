// The k-th smallest of many values in linear time: a radix selection on the
// values' bits, for the medians of whole leads that every analysis takes.
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

}  // namespace telmor
