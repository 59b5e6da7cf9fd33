// Beats and scale at start-up; overview curve, beat sort and beat markers.
#include "driver/overview.h"

#include <algorithm>

#include "driver/beat_list.h"
#include "console/curve_drawing.h"

namespace telmor {

bool find_beats(RunRecord& r, DrawingState& d) {
  d.amp_max = overview_amplitude(r);
  search_beats(r);
  if (d.amp_max == 0.0f) return false;
  set_frame(d);
  return true;
}

void draw_overview(WindowLayer& layer, RunRecord& r, DrawingState& d) {
  layer.chart_clear();

  // A recording shorter than four seconds is drawn as far as it goes, so the
  // curve does not end in a stroke back to the left edge.
  const int points = std::min(kOverviewPoints, r.sample_count);
  for (int i = 1; i <= points; ++i) {
    d.plot_x[i - 1] = d.xscale_4000 * r.time_ms(i) + d.frame_x0;
    d.plot_y[i - 1] = clamp_to_chart(d.frame_ymid - d.yscale * r.wave(1, i));
  }
  gpl(layer, static_cast<std::int16_t>(points), d.plot_x.data(), d.plot_y.data());
  layer.show_time_axis(
      {TimeAxis::Kind::whole_steps, 0, d.frame_x0, d.xscale_4000, kOverviewPoints, d.yscale});

  sort_beats(r);
  // Beats after 4000 ms lie right of the curve; the surface clips them.
  for (int k = 1; k < kMaxRows && r.beat_ms(k) != 0; ++k) {
    const float x = static_cast<float>(r.beat_ms(k)) * d.xscale_4000 + d.frame_x0;
    d.mark_x = {x, x};
    gpl2(layer, d.mark_n, d.mark_x.data(), d.mark_y.data());
  }
  layer.show_lead_strip(lead_strip_of(r));
}

LeadStrip lead_strip_of(const RunRecord& r) {
  LeadStrip strip;
  const int samples = std::clamp(r.sample_count, 0, kMaxSamples);
  strip.samples.assign(r.wave_table[0].begin(), r.wave_table[0].begin() + samples);
  for (int k = 1; k <= kMaxRows && r.beat_ms(k) != 0; ++k) strip.beat_ms.push_back(r.beat_ms(k));
  return strip;
}

}  // namespace telmor
