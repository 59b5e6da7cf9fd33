// What the frame's strip above the chart shows: lead 1 over the whole
// recording with every beat, so that the user sees where the chart's part lies.
#pragma once

#include <cstdint>
#include <vector>

namespace telmor {

struct LeadStrip {
  std::vector<float> samples;         // lead 1, one value per ms from 1 ms
  std::vector<std::int32_t> beat_ms;  // every beat, whole ms, latest first
  bool operator==(const LeadStrip&) const = default;
};

}  // namespace telmor
