// Times as whole milliseconds.
#include "timing/whole_ms.h"

#include <cmath>

namespace telmor {

bool whole_ms(float ms, std::int32_t& value) {
  // std::round takes halves away from zero; the comparisons also turn away NaN.
  const float rounded = std::round(ms);
  if (!(rounded >= static_cast<float>(kSmallestWholeMs) &&
        rounded <= static_cast<float>(kLargestWholeMs)))
    return false;
  value = static_cast<std::int32_t>(rounded);
  return true;
}

}  // namespace telmor
