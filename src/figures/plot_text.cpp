// Text, round ticks and framed axes of the plots.
#include "plot_text.h"

#include <cmath>
#include <utility>

#include "base/number_text.h"
#include "base/printable_text.h"

namespace telmor {
namespace {

thread_local std::vector<PlacedText>* text_sink = nullptr;

}  // namespace

TextSink::TextSink(std::vector<PlacedText>& placed) : previous_(std::exchange(text_sink, &placed)) {}

TextSink::~TextSink() { text_sink = previous_; }

void draw_text(cairo_t* cr, double x, double y, const std::string& raw, double size) {
  // A label a file gave is shown, never obeyed: valid UTF-8 (cairo stops
  // drawing at a string that is not) and no control character (which no XML
  // document may hold).
  const std::string text = escaped_controls(raw);
  if (text_sink != nullptr) {
    double dx = x, dy = y;
    cairo_user_to_device(cr, &dx, &dy);
    text_sink->push_back({dx, dy, size, text});
    return;
  }
  cairo_select_font_face(cr, kFigureFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text.c_str());
  cairo_new_path(cr);
}

std::vector<double> round_ticks(double& low, double& high, int count) {
  if (!std::isfinite(low) || !std::isfinite(high)) {
    low = 0.0;
    high = 1.0;
  }
  if (high <= low) {
    // One value: a unit either side of it.
    low -= 1.0;
    high += 1.0;
  }
  const double raw = (high - low) / count;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = power * 10.0;
  for (const double m : {1.0, 2.0, 5.0}) {
    if (raw <= m * power) {
      step = m * power;
      break;
    }
  }
  low = std::floor(low / step) * step;
  high = std::ceil(high / step) * step;
  std::vector<double> ticks;
  for (double k = std::round(low / step); k * step <= high + 0.5 * step; k += 1.0) ticks.push_back(k * step);
  return ticks;
}

PlotAxes draw_axes(cairo_t* cr, const PanelRect& panel, const char* title, const char* x_title,
                   const char* y_title, double x_low, double x_high, double y_low, double y_high) {
  PlotAxes axes;
  axes.area = {panel.x + 60.0, panel.y + 44.0, panel.width - 190.0, panel.height - 94.0};
  const std::vector<double> xs = round_ticks(x_low, x_high, 6);
  const std::vector<double> ys = round_ticks(y_low, y_high, 5);
  axes.x_low = x_low;
  axes.x_high = x_high;
  axes.y_low = y_low;
  axes.y_high = y_high;
  const double step_x = xs.size() > 1 ? xs[1] - xs[0] : 1.0;
  const double step_y = ys.size() > 1 ? ys[1] - ys[0] : 1.0;
  const auto decimals = [](double step) { return step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step))); };

  cairo_save(cr);
  cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
  draw_text(cr, panel.x + 8.0, panel.y + 16.0, title, 13.0);
  cairo_set_line_width(cr, 1.0);
  cairo_rectangle(cr, axes.area.x, axes.area.y, axes.area.width, axes.area.height);
  cairo_stroke(cr);
  for (const double x : xs) {
    const double px = axes.to_x(x);
    cairo_move_to(cr, px, axes.area.y + axes.area.height);
    cairo_line_to(cr, px, axes.area.y + axes.area.height + 4.0);
    cairo_stroke(cr);
    draw_text(cr, px - 10.0, axes.area.y + axes.area.height + 16.0, format_fixed(x, decimals(step_x)), 10.0);
  }
  for (const double y : ys) {
    const double py = axes.to_y(y);
    cairo_move_to(cr, axes.area.x - 4.0, py);
    cairo_line_to(cr, axes.area.x, py);
    cairo_stroke(cr);
    draw_text(cr, panel.x + 8.0, py + 3.0, format_fixed(y, decimals(step_y)), 10.0);
  }
  draw_text(cr, axes.area.x + 0.5 * axes.area.width - 30.0, axes.area.y + axes.area.height + 34.0, x_title,
            11.0);
  draw_text(cr, panel.x + 8.0, axes.area.y - 10.0, y_title, 11.0);
  cairo_restore(cr);
  return axes;
}

}  // namespace telmor
