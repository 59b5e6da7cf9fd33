// Restitution scatter and dispersion lines.
#include "plot_panels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "base/number_text.h"
#include "plot_text.h"

namespace telmor {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// matplotlib's ten categorical colours, lead by lead.
constexpr std::array<std::array<double, 3>, 10> kSeries = {{
    {0.122, 0.467, 0.706}, {1.000, 0.498, 0.055}, {0.173, 0.627, 0.173}, {0.839, 0.153, 0.157},
    {0.580, 0.404, 0.741}, {0.549, 0.337, 0.294}, {0.890, 0.467, 0.761}, {0.498, 0.498, 0.498},
    {0.737, 0.741, 0.133}, {0.090, 0.745, 0.812},
}};

void series_colour(cairo_t* cr, int index) {
  const auto& c = kSeries[static_cast<std::size_t>(index) % kSeries.size()];
  cairo_set_source_rgb(cr, c[0], c[1], c[2]);
}

void legend_entry(cairo_t* cr, const PlotAxes& axes, int row, int colour, const std::string& text) {
  const double x = axes.area.x + axes.area.width + 12.0;
  const double y = axes.area.y + 8.0 + 14.0 * row;
  series_colour(cr, colour);
  cairo_rectangle(cr, x, y - 7.0, 8.0, 8.0);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
  draw_text(cr, x + 12.0, y, text, 10.0);
}

}  // namespace

void draw_restitution_panel(cairo_t* cr, const PanelRect& panel, const Restitution& restitution,
                            const FigureTexts& texts) {
  double x_low = kInfinity, x_high = -kInfinity, y_low = kInfinity, y_high = -kInfinity;
  for (const RestitutionPoint& p : restitution.points) {
    if (!std::isfinite(p.di_ms) || !std::isfinite(p.ari_ms)) continue;
    x_low = std::min(x_low, p.di_ms);
    x_high = std::max(x_high, p.di_ms);
    y_low = std::min(y_low, p.ari_ms);
    y_high = std::max(y_high, p.ari_ms);
  }
  cairo_save(cr);
  const PlotAxes axes =
      draw_axes(cr, panel, texts.restitution.c_str(), texts.di_axis.c_str(), texts.ari_axis.c_str(), x_low, x_high,
                y_low, y_high);
  cairo_rectangle(cr, axes.area.x, axes.area.y, axes.area.width, axes.area.height);
  cairo_clip(cr);
  for (const RestitutionPoint& p : restitution.points) {
    if (!std::isfinite(p.di_ms) || !std::isfinite(p.ari_ms)) continue;
    series_colour(cr, p.lead - 1);
    cairo_new_sub_path(cr);
    cairo_arc(cr, axes.to_x(p.di_ms), axes.to_y(p.ari_ms), 2.5, 0.0, 2.0 * 3.141592653589793);
    cairo_fill(cr);
  }
  cairo_set_line_width(cr, 1.2);
  for (const RestitutionSlope& s : restitution.slopes) {
    series_colour(cr, s.lead - 1);
    cairo_move_to(cr, axes.to_x(axes.x_low), axes.to_y(s.intercept + s.slope * axes.x_low));
    cairo_line_to(cr, axes.to_x(axes.x_high), axes.to_y(s.intercept + s.slope * axes.x_high));
    cairo_stroke(cr);
  }
  cairo_reset_clip(cr);
  // The legend names each lead that has points, with its slope when fitted.
  int row = 0;
  int last = 0;
  for (const RestitutionPoint& p : restitution.points) {
    if (p.lead == last || !std::isfinite(p.di_ms) || !std::isfinite(p.ari_ms)) continue;
    last = p.lead;
    std::string text = texts.lead + " " + format_integer(p.lead);
    for (const RestitutionSlope& s : restitution.slopes) {
      if (s.lead == p.lead) text += "  " + format_fixed(s.slope, 2);
    }
    legend_entry(cr, axes, row++, p.lead - 1, text);
  }
  cairo_restore(cr);
}

void draw_dispersion_panel(cairo_t* cr, const PanelRect& panel, std::span<const BeatDispersion> beats,
                           const FigureTexts& texts) {
  struct Series {
    const char* name;
    double BeatDispersion::*value;
  };
  const Series kLines[] = {{texts.total_activation.c_str(), &BeatDispersion::total_activation_ms},
                               {"RT SD", &BeatDispersion::rt_sd_ms},
                               {"RT IQR", &BeatDispersion::rt_iqr_ms},
                               {"ARI SD", &BeatDispersion::ari_sd_ms},
                               {"ARI IQR", &BeatDispersion::ari_iqr_ms}};
  double y_low = kInfinity, y_high = -kInfinity;
  for (const BeatDispersion& d : beats) {
    for (const Series& s : kLines) {
      if (!std::isfinite(d.*s.value)) continue;
      y_low = std::min(y_low, d.*s.value);
      y_high = std::max(y_high, d.*s.value);
    }
  }
  y_low = std::min(y_low, 0.0);  // spreads from zero up
  const double x_high = beats.empty() ? 1.0 : beats.back().beat;
  cairo_save(cr);
  const PlotAxes axes = draw_axes(cr, panel, texts.dispersion.c_str(), texts.beat.c_str(), "ms", 1.0,
                                  std::max(x_high, 2.0), y_low, y_high);
  cairo_set_line_width(cr, 1.5);
  for (std::size_t k = 0; k < std::size(kLines); ++k) {
    series_colour(cr, static_cast<int>(k));
    bool drawing = false;
    for (const BeatDispersion& d : beats) {
      const double v = d.*kLines[k].value;
      if (!std::isfinite(v)) {
        drawing = false;  // a beat without the value breaks the line
        continue;
      }
      const double x = axes.to_x(d.beat);
      const double y = axes.to_y(v);
      if (drawing) {
        cairo_line_to(cr, x, y);
      } else {
        cairo_move_to(cr, x, y);
      }
      drawing = true;
    }
    cairo_stroke(cr);
    for (const BeatDispersion& d : beats) {
      const double v = d.*kLines[k].value;
      if (!std::isfinite(v)) continue;
      cairo_new_sub_path(cr);
      cairo_arc(cr, axes.to_x(d.beat), axes.to_y(v), 2.0, 0.0, 2.0 * 3.141592653589793);
      cairo_fill(cr);
    }
    legend_entry(cr, axes, static_cast<int>(k), static_cast<int>(k), kLines[k].name);
  }
  cairo_restore(cr);
}

}  // namespace telmor
