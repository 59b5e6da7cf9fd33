// A recording of any size: leads × samples of 32-bit reals, held lead by lead
// so that one lead's samples form one contiguous list, with its sampling rate
// and what is known of its channels and its origin.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace telmor {

// The rate of a text recording, which states none: one sample per ms.
inline constexpr double kTextRateHz = 1000.0;

struct Recording {
  int lead_count = 0;
  int sample_count = 0;
  double rate_hz = kTextRateHz;
  std::vector<float> values;  // lead j, sample i (both 1-based) at [(j - 1) * sample_count + (i - 1)]
  // Per lead, where the file names them (empty otherwise): the channel's
  // label ("V1", "E12") and the unit of its values ("mV").
  std::vector<std::string> labels;
  std::vector<std::string> units;
  std::string source;  // where the samples came from: a file's path, or empty

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
  // The value of lead j at sample i (both 1-based).
  float& value(int lead, int sample) { return values[index(lead, sample)]; }
  float value(int lead, int sample) const { return values[index(lead, sample)]; }
  std::span<const float> lead(int j) const {
    return {values.data() + index(j, 1), static_cast<std::size_t>(sample_count)};
  }
};

}  // namespace telmor
