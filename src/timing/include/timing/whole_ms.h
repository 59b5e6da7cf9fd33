// A time as the whole milliseconds the results file writes it.
#pragma once

#include <cstdint>

namespace telmor {

// The widest whole-ms values that fit the results file's time columns with
// their point.
inline constexpr std::int32_t kLargestWholeMs = 9'999'999;
inline constexpr std::int32_t kSmallestWholeMs = -999'999;

// The whole milliseconds a time is written as: the nearest, halves away from
// zero (12.5 gives 13, -2.5 gives -3). Returns false, value untouched, when
// that does not fit the field or the time is not finite.
bool whole_ms(float ms, std::int32_t& value);

}  // namespace telmor
