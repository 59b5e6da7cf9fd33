// One-pixel Bresenham lines clipped to a rectangle without walking the off-surface part.
#pragma once

#include <cstdint>
#include <functional>

#include "replay/chart_surface.h"
#include "replay/colour.h"

namespace telmor {

// The pixels of a line from (x0, y0) to (x1, y1), both ends included, are
// numbered by steps 0..n along the major axis (the one with the larger
// extent; x on a tie), n = that extent. At step i the minor coordinate has
// moved by i * minor / major rounded to nearest, an exact half rounded back
// toward the start. A zero-length line is the one pixel at step 0.
struct LineSteps {
  std::int64_t count = 0;  // n + 1
  std::int64_t first = 0;  // first step on the box
  std::int64_t last = -1;  // last step on the box; last < first when none is
};

// The steps of the line whose pixels lie in [0, width) x [0, height). The
// on-box steps of a straight line are one unbroken run.
LineSteps clip_line_steps(int x0, int y0, int x1, int y1, int width, int height);

// Calls plot(x, y) for every pixel of the line that lies in the box, from the
// start end onwards; the work is proportional to the pixels plotted.
void rasterise_line(int x0, int y0, int x1, int y1, int width, int height,
                    const std::function<void(int, int)>& plot);

// Draws the line on the surface in one colour.
void draw_line(ChartSurface& surface, int x0, int y0, int x1, int y1, Rgb colour);

}  // namespace telmor
