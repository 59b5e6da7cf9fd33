// Electrode positions placed in a panel of a figure, and the drawing of one
// beat's map there: the parts that the figure and its tests share.
#pragma once

#include <cairo.h>

#include <span>
#include <string>
#include <vector>

#include "tissue/beat_maps.h"
#include "tissue/conduction_velocity.h"

namespace telmor {

struct PanelRect {
  double x = 0.0;
  double y = 0.0;
  double width = 0.0;
  double height = 0.0;
};

// A map panel leaves this much room (user units) on each side of the
// electrodes, for markers, numbers and arrows.
inline constexpr double kMapMargin = 30.0;

// Millimetres to the panel: one scale for x and y, the electrodes' bounding
// box as large as fits into the panel less kMapMargin on every side, centred
// in it; x to the right and y downwards, as an array's rows are numbered.
// A single electrode (or all in one point) lies at the centre.
struct MapView {
  double scale = 1.0;  // user units per mm
  double x_px = 0.0;   // where x_mm = 0 lies
  double y_px = 0.0;   // where y_mm = 0 lies

  double to_x(double x_mm) const { return x_px + scale * x_mm; }
  double to_y(double y_mm) const { return y_px + scale * y_mm; }
};

MapView map_view(const PanelRect& panel, std::span<const ElectrodeTimes> electrodes);

// The colour of t in 0..1 (clamped) on the viridis scale of the results
// view, as red, green and blue in 0..1.
struct Rgb {
  double r = 0.0;
  double g = 0.0;
  double b = 0.0;
};
Rgb viridis(double t);

// The electrodes: a white disc ringed in black at each position, a grey
// disc with a cross for a gap in time (NaN), the lead number beside it and,
// with t_waves, the sign of its T wave (+ positive, − negative, ± biphasic).
inline constexpr double kElectrodeRadius = 5.0;
void draw_electrodes(cairo_t* cr, const MapView& view, std::span<const ElectrodeTimes> electrodes,
                     double ElectrodeTimes::*time, bool t_waves = false,
                     std::span<const std::string> labels = {});

// What a map panel says besides its map: the colour bar's times less
// offset_ms (the beat's time: times after the beat) with bar_note under it,
// the T waves' legend, and the words of its mm scale bar and speed key.
struct MapPanelNotes {
  double offset_ms = 0.0;
  std::string bar_note;
  std::string t_wave_legend = "T wave: + positive, \u2212 negative, \u00b1 biphasic";
};

// One map panel: the title, the interpolated colours, isolines every
// step_ms (none when 0), the velocity arrows (none when empty) with a key
// of a round speed, the electrodes (named by labels, lead j's at [j - 1],
// where given), a scale bar of a round number of mm and a colour bar.
void draw_map_panel(cairo_t* cr, const PanelRect& panel, const char* title, const BeatMap& map,
                    double ElectrodeTimes::*time, double step_ms, std::span<const CvVector> arrows,
                    std::span<const std::string> labels = {}, const MapPanelNotes& notes = {});

// The largest round length (1, 2 or 5 times a power of ten) not above most,
// so at least 0.4 of it: the scale bar's mm, the speed key's m/s.
double round_length(double most);

}  // namespace telmor
