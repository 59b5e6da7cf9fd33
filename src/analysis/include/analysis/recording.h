// A recording of any size: leads × samples of 32-bit reals at 1 kHz, held
// lead by lead, so that one lead's samples form one contiguous list.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace telmor {

struct Recording {
  int lead_count = 0;
  int sample_count = 0;
  std::vector<float> values;  // lead j, sample i (both 1-based) at [(j - 1) * sample_count + (i - 1)]

  Recording() = default;
  // Zeros.
  Recording(int leads, int samples)
      : lead_count(leads),
        sample_count(samples),
        values(static_cast<std::size_t>(leads) * static_cast<std::size_t>(samples), 0.0f) {}

  std::size_t index(int lead, int sample) const {
    return static_cast<std::size_t>(lead - 1) * static_cast<std::size_t>(sample_count) +
           static_cast<std::size_t>(sample - 1);
  }
  float& at(int lead, int sample) { return values[index(lead, sample)]; }
  float at(int lead, int sample) const { return values[index(lead, sample)]; }
  std::span<const float> lead(int j) const {
    return {values.data() + index(j, 1), static_cast<std::size_t>(sample_count)};
  }
};

}  // namespace telmor
