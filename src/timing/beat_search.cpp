// Beat search and the amplitude of the overview.
#include "timing/beat_search.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace telmor {
namespace {

constexpr float kMinStart = 9999.0f;
constexpr float kMaxStart = -9999.0f;

// The smallest value below kMinStart over samples from..to of the slope list
// and its sample, the earliest of equal ones, as one pass of the search finds
// it (position 0: none).
struct Lowest {
  float value = kMinStart;
  int position = 0;
};

Lowest lowest_in(const std::vector<float>& work, int from, int to) {
  Lowest lowest;
  for (int i = from; i <= to; ++i) {
    if (work[static_cast<std::size_t>(i - 1)] < lowest.value) {
      lowest.value = work[static_cast<std::size_t>(i - 1)];
      lowest.position = i;
    }
  }
  return lowest;
}

// The searched samples in stretches, each with its lowest value, so that a
// pass looks at the stretches' values and a blanking recomputes only the
// stretches it touched. The earliest stretch with the smallest value holds
// the earliest sample with it: the pass finds what a scan of every sample
// would.
class StretchMinima {
 public:
  StretchMinima(const std::vector<float>& work, int from, int to)
      : work_(work), from_(from), to_(to) {
    for (int start = from; start <= to; start += kStretch) {
      lowest_.push_back(lowest_in(work_, start, std::min(start + kStretch - 1, to)));
    }
  }
  Lowest lowest() const {
    Lowest best;
    for (const Lowest& stretch : lowest_) {
      if (stretch.value < best.value) best = stretch;
    }
    return best;
  }
  // After samples first..last changed.
  void update(int first, int last) {
    first = std::max(first, from_);
    last = std::min(last, to_);
    for (int s = (first - from_) / kStretch; first <= last && s <= (last - from_) / kStretch; ++s) {
      const int start = from_ + s * kStretch;
      lowest_[static_cast<std::size_t>(s)] = lowest_in(work_, start, std::min(start + kStretch - 1, to_));
    }
  }

 private:
  static constexpr int kStretch = 256;
  const std::vector<float>& work_;
  int from_, to_;
  std::vector<Lowest> lowest_;
};

}  // namespace

float overview_amplitude(std::span<const std::span<const float>> leads, int from, int to) {
  float amp_max = kMaxStart;
  for (int i = from; i <= to; ++i) {
    for (int j = 1; j <= 3; ++j) {
      const auto lead = static_cast<std::size_t>(j - 1);
      const auto sample = static_cast<std::size_t>(i - 1);
      const float v = lead < leads.size() && sample < leads[lead].size() ? leads[lead][sample] : 0.0f;
      amp_max = std::max(amp_max, std::fabs(v));
    }
  }
  return amp_max;
}

std::vector<int> find_beats(std::span<const float> deriv, float amp_ratio, int max_beats,
                            const BeatBlanking& blanking, double least_slope) {
  // Slope of the lead per second; found stretches are blanked to 0 in it.
  const int n = static_cast<int>(deriv.size());
  std::vector<float> beat_work(deriv.size());
  for (std::size_t i = 0; i < deriv.size(); ++i) beat_work[i] = deriv[i] * 1000.0f;

  float deriv_min = kMinStart;
  for (int i = 2; i <= n - 2; ++i) deriv_min = std::min(deriv_min, beat_work[static_cast<std::size_t>(i - 1)]);

  std::vector<int> found;
  // A pass whose steepest slope is not steeper than the threshold found no
  // beat: the search ends there, without recording it.
  float threshold = amp_ratio * deriv_min;
  if (least_slope > 0.0) threshold = std::min(threshold, static_cast<float>(-least_slope * 1000.0));
  if (!(deriv_min < threshold)) return found;
  StretchMinima minima(beat_work, blanking.margin, n - blanking.margin);
  while (static_cast<int>(found.size()) < max_beats) {
    const Lowest pass = minima.lowest();
    // (No sample below the start value at all is no beat either.)
    if (!(pass.value < threshold) || pass.position == 0) break;
    found.push_back(pass.position);
    const int from = std::max(pass.position - blanking.before, 1);
    const int to = std::min(pass.position + blanking.after, n);
    for (int i = from; i <= to; ++i) beat_work[static_cast<std::size_t>(i - 1)] = 0.0f;
    minima.update(from, to);
  }
  return found;
}

}  // namespace telmor
