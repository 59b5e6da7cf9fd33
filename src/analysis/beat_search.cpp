// Beat search and the amplitude of the overview.
#include "analysis/beat_search.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace telmor {
namespace {

constexpr int kMargin = 100;        // samples at each end never searched
constexpr int kBlankBefore = 100;   // ms blanked before a found beat
constexpr int kBlankAfter = 200;    // and after it
constexpr float kMinStart = 9999.0f;
constexpr float kMaxStart = -9999.0f;

}  // namespace

float overview_amplitude(const RunRecord& r) {
  float amp_max = kMaxStart;
  for (int i = 100; i <= 1000; ++i) {
    for (int j = 1; j <= 3; ++j) amp_max = std::max(amp_max, std::fabs(r.wave(j, i)));
  }
  return amp_max;
}

void search_beats(RunRecord& r) {
  // Slope of lead 1 per second; found stretches are blanked to 0 in it.
  const int n = r.sample_count;
  std::vector<float> beat_work(static_cast<std::size_t>(std::max(n, 0)));
  for (int i = 1; i <= n; ++i) beat_work[i - 1] = r.deriv(1, i) * 1000.0f;

  float deriv_min = kMinStart;
  for (int i = 2; i <= n - 2; ++i) deriv_min = std::min(deriv_min, beat_work[i - 1]);

  r.beat_found_list.fill(0.0f);
  // A pass whose steepest slope is not steeper than the threshold found no
  // beat: the search ends there, without recording it.
  const float threshold = r.amp_ratio * deriv_min;
  if (!(deriv_min < threshold)) return;
  for (int k = 1; k < kMaxRows; ++k) {
    float pass_min = kMinStart;
    int position = 0;
    for (int i = kMargin; i <= n - kMargin; ++i) {
      if (beat_work[i - 1] < pass_min) {
        pass_min = beat_work[i - 1];
        position = i;
      }
    }
    // (No sample below the start value at all is no beat either.)
    if (!(pass_min < threshold) || position == 0) return;
    r.beat_found(k) = static_cast<float>(position);
    const int from = std::max(position - kBlankBefore, 1);
    const int to = std::min(position + kBlankAfter, n);
    for (int i = from; i <= to; ++i) beat_work[i - 1] = 0.0f;
  }
}

void sort_beats(RunRecord& r) {
  std::array<float, kMaxRows> beat_sort = r.beat_found_list;
  for (int m = 1; m <= kMaxRows; ++m) {
    std::int32_t best = 0;
    int taken = 0;
    for (int k = 1; k <= kMaxRows; ++k) {
      if (static_cast<float>(best) <= beat_sort[k - 1]) {
        best = static_cast<std::int32_t>(std::trunc(beat_sort[k - 1]));
        taken = k;
      }
    }
    r.beat_ms(m) = best;
    if (taken > 0) beat_sort[taken - 1] = 0.0f;
  }
}

}  // namespace telmor
