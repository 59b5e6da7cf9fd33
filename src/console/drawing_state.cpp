// The drawing frame set after the beat search.
#include "console/drawing_state.h"

#include <cmath>
#include <limits>

namespace telmor {

void set_frame(DrawingState& d) {
  d.frame_x0 = 0.0f;
  d.frame_y0 = 0.1f;
  d.frame_x1 = 0.6f;
  d.frame_y1 = 0.9f;
  d.frame_ymid = (d.frame_y1 + d.frame_y0) / 2.0f;
  d.mark2_y = {d.frame_y0, d.frame_y1};
  d.mark_y = {d.frame_y0, d.frame_y1};
  d.xscale_4000 = (d.frame_x1 - d.frame_x0) / 4000.0f;
  d.yscale = (d.frame_y1 - d.frame_y0) / (d.amp_max * 2.0f);
  // A subnormal amplitude would make the scale infinite, and the curve NaN.
  if (std::isinf(d.yscale)) d.yscale = std::numeric_limits<float>::max();
  d.mark_n = 2;
  d.mark2_n = 2;
  d.curve_n = 1000;
}

}  // namespace telmor
