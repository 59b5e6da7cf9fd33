// The viridis colour scale, one for the results view and the figures, so
// that a time has the same colour on the desktop and in a saved figure.
#pragma once

namespace telmor {

struct Rgb8 {
  int r = 0;
  int g = 0;
  int b = 0;
};

// The colour of t in 0..1 (below 0 and NaN: 0; above 1: 1): matplotlib's
// table at t = 0, 1/8, ..., 1, interpolated linearly, each channel rounded
// to a whole 0..255.
Rgb8 viridis_rgb(double t);

}  // namespace telmor
