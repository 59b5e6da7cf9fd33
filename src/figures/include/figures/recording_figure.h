// The figure of one recording: the activation map of one beat (coloured by
// interpolation over the electrodes' triangles, isochrones, conduction
// velocity arrows, electrodes with their lead numbers, gaps marked), its
// ARI map, the restitution of ARI over DI per lead and the dispersion over
// the beats. One drawing code for the batch's SVG and PNG files and for any
// other cairo surface (the desktop's view of the same figure).
#pragma once

#include <cairo.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "figures/figure_texts.h"
#include "tissue/beat_maps.h"
#include "tissue/conduction_velocity.h"
#include "tissue/dispersion.h"
#include "tissue/restitution.h"

namespace telmor {

// What the figure shows, worked out once.
struct FigureData {
  std::string recording;
  MarkQuantity first_map = MarkQuantity::at;  // the second map always shows ARI
  BeatMap map;                 // the beat of the two maps
  std::vector<CvVector> cv;    // its velocities, drawn as arrows
  double isochrone_step_ms = 1.0;
  Restitution restitution;
  std::vector<BeatDispersion> dispersion;
  std::vector<std::string> labels;  // lead j's channel label at [j - 1], beside its electrode; "" for none
  FigureTexts texts;                // English unless told otherwise
  // AT and RT maps' colour bars in ms after the beat (false: from the
  // recording's start, as the tables hold them).
  bool times_after_beat = true;
};

// The figure of beat (0: the middle beat) with the surface method's
// velocities and isochrones every step_ms.
FigureData figure_data(std::string recording, const BeatTable& table, const ElectrodeLayout& layout,
                       int beat = 0, double step_ms = 1.0);

// The size the files are drawn at, in pixels (PNG) or points (SVG).
inline constexpr int kFigureWidth = 1200;
inline constexpr int kFigureHeight = 900;

// Draws the whole figure into cr over (0, 0)..(width, height) of its user
// space, white background included; leaves cr's state as it found it.
void draw_figure(cairo_t* cr, const FigureData& figure, double width, double height);

// The figure as the bytes of an SVG (its text kept as text elements, in the
// IPAGothic face, editable in a drawing program) and of a PNG file (kFigureWidth x
// kFigureHeight); empty when cairo fails.
std::string figure_svg(const FigureData& figure);
std::string figure_png(const FigureData& figure);

// Writes both files durably (each whole or not at all, see
// replace_file_contents), the SVG first; the first failure's reason (io_error
// when cairo could not draw), the files after it then not written.
std::error_code write_figure_files(const FigureData& figure, const std::filesystem::path& svg,
                                   const std::filesystem::path& png);

}  // namespace telmor
