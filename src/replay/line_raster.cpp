// Clipped Bresenham rasterisation: find the on-surface run of steps, then walk only that run.
#include "replay/line_raster.h"

#include <cstdlib>

namespace telmor {

namespace {

using Int = std::int64_t;

// A line described along its major axis.
struct Axes {
  Int major0 = 0, minor0 = 0;    // start end
  Int major_sign = 1, minor_sign = 1;
  Int run = 0, rise = 0;         // |major extent| >= |minor extent|
  Int major_size = 0, minor_size = 0;  // box extent along each axis
  bool x_major = true;
};

Axes axes_of(int x0, int y0, int x1, int y1, int width, int height) {
  const Int dx = Int{x1} - x0;
  const Int dy = Int{y1} - y0;
  Axes a;
  a.x_major = std::llabs(dx) >= std::llabs(dy);
  const Int dmajor = a.x_major ? dx : dy;
  const Int dminor = a.x_major ? dy : dx;
  a.major0 = a.x_major ? x0 : y0;
  a.minor0 = a.x_major ? y0 : x0;
  a.major_sign = dmajor < 0 ? -1 : 1;
  a.minor_sign = dminor < 0 ? -1 : 1;
  a.run = std::llabs(dmajor);
  a.rise = std::llabs(dminor);
  a.major_size = a.x_major ? width : height;
  a.minor_size = a.x_major ? height : width;
  return a;
}

// Numerator and denominator of the minor offset at step i: the offset is
// floor(numerator / denominator), which rounds i * rise / run to nearest with
// a half rounded down.
Int offset_numerator(const Axes& a, Int i) { return 2 * i * a.rise + a.run - 1; }
Int offset_denominator(const Axes& a) { return 2 * a.run; }

Int minor_offset(const Axes& a, Int i) {
  if (a.run == 0) return 0;
  return offset_numerator(a, i) / offset_denominator(a);  // numerator >= 0
}

// The range of step offsets k for which start + sign * k lies in [0, size).
void offsets_inside(Int start, Int sign, Int size, Int& low, Int& high) {
  if (sign > 0) {
    low = -start;
    high = size - 1 - start;
  } else {
    low = start - (size - 1);
    high = start;
  }
}

}  // namespace

LineSteps clip_line_steps(int x0, int y0, int x1, int y1, int width, int height) {
  const Axes a = axes_of(x0, y0, x1, y1, width, height);
  LineSteps steps;
  steps.count = a.run + 1;

  Int low = 0, high = 0;
  offsets_inside(a.major0, a.major_sign, a.major_size, low, high);
  Int first = low > 0 ? low : 0;
  Int last = high < a.run ? high : a.run;
  if (first > last) return steps;

  // The minor offset never decreases with the step, so the steps whose minor
  // coordinate is on the box are a run found by two binary searches.
  Int minor_low = 0, minor_high = 0;
  offsets_inside(a.minor0, a.minor_sign, a.minor_size, minor_low, minor_high);
  if (minor_offset(a, first) > minor_high || minor_offset(a, last) < minor_low) return steps;
  {
    Int lo = first, hi = last;  // first step with offset >= minor_low
    while (lo < hi) {
      const Int mid = lo + (hi - lo) / 2;
      if (minor_offset(a, mid) >= minor_low) hi = mid; else lo = mid + 1;
    }
    first = lo;
  }
  {
    Int lo = first, hi = last;  // last step with offset <= minor_high
    while (lo < hi) {
      const Int mid = lo + (hi - lo + 1) / 2;
      if (minor_offset(a, mid) <= minor_high) lo = mid; else hi = mid - 1;
    }
    last = lo;
  }
  steps.first = first;
  steps.last = last;
  return steps;
}

void rasterise_line(int x0, int y0, int x1, int y1, int width, int height,
                    const std::function<void(int, int)>& plot) {
  const LineSteps steps = clip_line_steps(x0, y0, x1, y1, width, height);
  if (steps.last < steps.first) return;
  const Axes a = axes_of(x0, y0, x1, y1, width, height);

  // Error term as the walk from step 0 would have it at the first visible step.
  Int offset = 0, remainder = 0;
  const Int denominator = a.run == 0 ? 1 : offset_denominator(a);
  if (a.run != 0) {
    const Int numerator = offset_numerator(a, steps.first);
    offset = numerator / denominator;
    remainder = numerator % denominator;
  }
  for (Int i = steps.first; i <= steps.last; ++i) {
    const Int major = a.major0 + a.major_sign * i;
    const Int minor = a.minor0 + a.minor_sign * offset;
    if (a.x_major) {
      plot(static_cast<int>(major), static_cast<int>(minor));
    } else {
      plot(static_cast<int>(minor), static_cast<int>(major));
    }
    remainder += 2 * a.rise;
    if (remainder >= denominator) {  // 2 * rise <= denominator: at most one carry
      remainder -= denominator;
      ++offset;
    }
  }
}

void draw_line(ChartSurface& surface, int x0, int y0, int x1, int y1, Rgb colour) {
  rasterise_line(x0, y0, x1, y1, ChartSurface::kWidth, ChartSurface::kHeight,
                 [&surface, colour](int x, int y) { surface.set_pixel(x, y, colour); });
}

}  // namespace telmor
