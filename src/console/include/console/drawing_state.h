// The drawing state that the chart's curves and marker lines share from one
// command to the next: the frame in normalised chart coordinates (x from 0 at
// the left, y from 0 at the top), the vertical scale, and the point buffers
// handed to gpl and gpl2. The program flow owns one for the whole run; the
// overview, the range window and the correction windows draw with it, and a
// correction pass leaves its last window's scale in it for later overviews.
#pragma once

#include <array>
#include <cstdint>

namespace telmor {

inline constexpr int kOverviewPoints = 4000;  // samples drawn in the overview
inline constexpr int kExcerptPoints = 1000;   // samples drawn in a one-second window

struct DrawingState {
  // Frame: curves span x frame_x0..frame_x1, marker lines y frame_y0..frame_y1,
  // a curve's zero line lies at frame_ymid.
  float frame_x0 = 0.0f;
  float frame_x1 = 0.0f;
  float frame_y0 = 0.0f;
  float frame_y1 = 0.0f;
  float frame_ymid = 0.0f;
  float xscale_4000 = 0.0f;  // x per ms in the overview
  float amp_max = 0.0f;      // largest |amplitude| the vertical scale is made for
  float yscale = 0.0f;       // y per amplitude unit

  // Buffers of the curve and marker routines.
  std::array<float, kOverviewPoints> plot_x{};
  std::array<float, kOverviewPoints> plot_y{};
  std::int16_t curve_n = 0;  // points of a one-second excerpt
  std::array<std::array<float, kExcerptPoints>, 3> win3_table{};
  std::int16_t mark_n = 0;
  std::array<float, 2> mark_x{};
  std::array<float, 2> mark_y{};
  std::int16_t mark2_n = 0;
  std::array<float, 2> mark2_x{};
  std::array<float, 2> mark2_y{};

  // 1-based: column 1..3, position 1..1000.
  float& win3(int column, int i) { return win3_table[column - 1][i - 1]; }
  float win3(int column, int i) const { return win3_table[column - 1][i - 1]; }
};

// Sets the frame and the marker constants once the amplitude is known, in
// this order: x0 0, y0 0.1, x1 0.6, y1 0.9, ymid their middle, both marker
// lines from y0 to y1, 4000 ms across x0..x1, yscale so that +-amp_max spans
// y0..y1 (held at the largest float when amp_max is so small that it would
// be infinite), two points per marker line and 1000 per excerpt.
void set_frame(DrawingState& drawing);

}  // namespace telmor
