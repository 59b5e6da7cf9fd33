// Beat search and overview scale.
#include "driver/find_beats.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace telmor {
namespace {

constexpr int kMargin = 100;        // samples at each end never searched
constexpr int kBlankBefore = 100;   // ms blanked before a found beat
constexpr int kBlankAfter = 200;    // and after it
constexpr float kMinStart = 9999.0f;
constexpr float kMaxStart = -9999.0f;

void set_frame(RunRecord& r) {
  r.frame_x0 = 0.0f;
  r.frame_y0 = 0.1f;
  r.frame_x1 = 0.6f;
  r.frame_y1 = 0.9f;
  r.frame_ymid = (r.frame_y1 + r.frame_y0) / 2.0f;
  r.mark2_y = {r.frame_y0, r.frame_y1};
  r.mark_y = {r.frame_y0, r.frame_y1};
  r.xscale_4000 = (r.frame_x1 - r.frame_x0) / 4000.0f;
  r.yscale = (r.frame_y1 - r.frame_y0) / (r.amp_max * 2.0f);
  // A subnormal amplitude would make the scale infinite, and the curve NaN.
  if (std::isinf(r.yscale)) r.yscale = std::numeric_limits<float>::max();
  r.mark_n = 2;
  r.mark2_n = 2;
  r.curve_n = 1000;
}

}  // namespace

bool find_beats(RunRecord& r) {
  // The bounds are fixed: leads the file did not fill hold zeros.
  r.amp_max = kMaxStart;
  for (int i = 100; i <= 1000; ++i) {
    for (int j = 1; j <= 3; ++j) r.amp_max = std::max(r.amp_max, std::fabs(r.wave(j, i)));
  }

  // Slope of lead 1 per second; found stretches are blanked to 0 in it.
  const int n = r.sample_count;
  std::vector<float> beat_work(static_cast<std::size_t>(std::max(n, 0)));
  for (int i = 1; i <= n; ++i) beat_work[i - 1] = r.deriv(1, i) * 1000.0f;

  float deriv_min = kMinStart;
  for (int i = 2; i <= n - 2; ++i) deriv_min = std::min(deriv_min, beat_work[i - 1]);

  r.beat_found_list.fill(0.0f);
  float pass_min = deriv_min;
  int position = 0;
  // The test looks at the pass just made, after its position was recorded;
  // the first test compares deriv_min itself.
  for (int k = 1; k < kMaxRows && pass_min < r.amp_ratio * deriv_min; ++k) {
    pass_min = kMinStart;
    for (int i = kMargin; i <= n - kMargin; ++i) {
      if (beat_work[i - 1] < pass_min) {
        pass_min = beat_work[i - 1];
        position = i;
      }
    }
    r.beat_found(k) = static_cast<float>(position);
    const int from = std::max(position - kBlankBefore, 1);
    const int to = std::min(position + kBlankAfter, n);
    for (int i = from; i <= to; ++i) beat_work[i - 1] = 0.0f;
  }

  if (r.amp_max == 0.0f) return false;
  set_frame(r);
  return true;
}

}  // namespace telmor
