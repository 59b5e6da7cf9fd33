// Overview curve, beat sort and beat markers.
#include "driver/overview.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "console/curve_drawing.h"

namespace telmor {

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

void draw_overview(WindowLayer& layer, RunRecord& r) {
  layer.chart_clear();

  // A recording shorter than four seconds is drawn as far as it goes, so the
  // curve does not end in a stroke back to the left edge.
  const int points = std::min(kOverviewPoints, r.sample_count);
  for (int i = 1; i <= points; ++i) {
    r.plot_x[i - 1] = r.xscale_4000 * r.time_ms(i) + r.frame_x0;
    r.plot_y[i - 1] = clamp_to_chart(r.frame_ymid - r.yscale * r.wave(1, i));
  }
  gpl(layer, static_cast<std::int16_t>(points), r.plot_x.data(), r.plot_y.data());

  sort_beats(r);
  // Beats after 4000 ms lie right of the curve; the surface clips them.
  for (int k = 1; k < kMaxRows && r.beat_ms(k) != 0; ++k) {
    const float x = static_cast<float>(r.beat_ms(k)) * r.xscale_4000 + r.frame_x0;
    r.mark_x = {x, x};
    gpl2(layer, r.mark_n, r.mark_x.data(), r.mark_y.data());
  }
}

}  // namespace telmor
