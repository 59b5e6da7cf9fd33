// Text and axes shared by the figure's panels.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "figures/map_view.h"

namespace telmor {

// Text with its baseline starting at (x, y), in IPAGothic (a face with the
// Japanese of names and titles; fontconfig falls back where it is missing).
void draw_text(cairo_t* cr, double x, double y, const std::string& text, double size);

// Text as placed on the surface, for an SVG that keeps it as text.
struct PlacedText {
  double x = 0.0, y = 0.0;  // the baseline's start, in the surface's units
  double size = 0.0;
  std::string text;
};

// While one is alive on a thread, draw_text there records its text into
// placed instead of drawing glyphs (cairo's SVG would write outlines).
class TextSink {
 public:
  explicit TextSink(std::vector<PlacedText>& placed);
  ~TextSink();
  TextSink(const TextSink&) = delete;
  TextSink& operator=(const TextSink&) = delete;

 private:
  std::vector<PlacedText>* previous_;
};

// The font family the figures name, in SVG too.
inline constexpr const char* kFigureFont = "IPAGothic";

// Axes of a plot: data ranges mapped into a panel with ticks at round steps.
struct PlotAxes {
  PanelRect area;  // the plotting area inside the panel
  double x_low = 0.0, x_high = 1.0;
  double y_low = 0.0, y_high = 1.0;

  double to_x(double x) const { return area.x + (x - x_low) / (x_high - x_low) * area.width; }
  double to_y(double y) const { return area.y + area.height - (y - y_low) / (y_high - y_low) * area.height; }
};

// Round tick values (1, 2 or 5 times a power of ten apart) covering
// low..high with about count steps; low and high widened to the outer ticks.
std::vector<double> round_ticks(double& low, double& high, int count);

// Axes for the data ranges in panel (title on top, tick numbers and axis
// titles at the left and bottom), drawn with their frame and ticks.
PlotAxes draw_axes(cairo_t* cr, const PanelRect& panel, const char* title, const char* x_title,
                   const char* y_title, double x_low, double x_high, double y_low, double y_high);

}  // namespace telmor
