// The map panels: interpolated colours, isochrones, arrows and electrodes.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "base/number_text.h"
#include "base/viridis.h"
#include "figures/map_view.h"
#include "plot_text.h"

namespace telmor {
namespace {

constexpr double kTitleHeight = 24.0;
constexpr double kColourBarWidth = 70.0;
constexpr int kSubdivisions = 12;  // each triangle filled as 12 x 12 flat pieces

void set_colour(cairo_t* cr, const Rgb& c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

struct Range {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  double fraction(double v) const { return high > low ? (v - low) / (high - low) : 0.5; }
};

void fill_triangles(cairo_t* cr, const MapView& view, const ScalarMap& map, const Range& range) {
  constexpr double n = kSubdivisions;
  for (const Triangle& t : map.triangles) {
    PointMm p[3];
    double v[3];
    for (int k = 0; k < 3; ++k) {
      p[k] = map.points[static_cast<std::size_t>(t[static_cast<std::size_t>(k)])];
      v[k] = map.values[static_cast<std::size_t>(t[static_cast<std::size_t>(k)])];
    }
    // The point and value at barycentric steps (i, j) from corner 0.
    const auto at = [&](double i, double j, double& x, double& y, double& value) {
      x = view.to_x(p[0].x_mm + i / n * (p[1].x_mm - p[0].x_mm) + j / n * (p[2].x_mm - p[0].x_mm));
      y = view.to_y(p[0].y_mm + i / n * (p[1].y_mm - p[0].y_mm) + j / n * (p[2].y_mm - p[0].y_mm));
      value = v[0] + i / n * (v[1] - v[0]) + j / n * (v[2] - v[0]);
    };
    const auto piece = [&](double i0, double j0, double i1, double j1, double i2, double j2) {
      double x[3], y[3], value[3];
      at(i0, j0, x[0], y[0], value[0]);
      at(i1, j1, x[1], y[1], value[1]);
      at(i2, j2, x[2], y[2], value[2]);
      cairo_move_to(cr, x[0], y[0]);
      cairo_line_to(cr, x[1], y[1]);
      cairo_line_to(cr, x[2], y[2]);
      cairo_close_path(cr);
      set_colour(cr, viridis(range.fraction((value[0] + value[1] + value[2]) / 3.0)));
      // A thin outline of the same colour closes the seams between pieces.
      cairo_fill_preserve(cr);
      cairo_set_line_width(cr, 0.6);
      cairo_stroke(cr);
    };
    for (int i = 0; i < kSubdivisions; ++i) {
      for (int j = 0; i + j < kSubdivisions; ++j) {
        piece(i, j, i + 1, j, i, j + 1);
        if (i + j + 1 < kSubdivisions) piece(i + 1, j, i + 1, j + 1, i, j + 1);
      }
    }
  }
}

void draw_isolines(cairo_t* cr, const MapView& view, const ScalarMap& map, double step_ms) {
  if (!(step_ms > 0.0)) return;
  cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.6);
  cairo_set_line_width(cr, 0.8);
  for (const IsoSegment& s : isolines(map, step_ms, 200)) {
    cairo_move_to(cr, view.to_x(s.a.x_mm), view.to_y(s.a.y_mm));
    cairo_line_to(cr, view.to_x(s.b.x_mm), view.to_y(s.b.y_mm));
  }
  cairo_stroke(cr);
}

// How far from (x, y), inside area, the way along (ux, uy) leaves it.
double room_along(const PanelRect& area, double x, double y, double ux, double uy) {
  double room = std::numeric_limits<double>::infinity();
  if (ux > 0.0) room = std::min(room, (area.x + area.width - x) / ux);
  if (ux < 0.0) room = std::min(room, (area.x - x) / ux);
  if (uy > 0.0) room = std::min(room, (area.y + area.height - y) / uy);
  if (uy < 0.0) room = std::min(room, (area.y - y) / uy);
  return std::max(room, 0.0);
}

// Arrows from each electrode along its velocity, the fastest 0.6 of the
// shortest distance between two electrodes, all shortened alike where one
// would leave the map's area (into the panel below, say); flagged ones in red.
// Returns the arrows' length per m/s (0 when none was drawn).
double draw_arrows(cairo_t* cr, const MapView& view, const PanelRect& area, const BeatMap& map,
                   std::span<const CvVector> arrows) {
  double spacing = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < map.electrodes.size(); ++i) {
    for (std::size_t j = i + 1; j < map.electrodes.size(); ++j) {
      const PointMm a = map.electrodes[i].position;
      const PointMm b = map.electrodes[j].position;
      spacing = std::min(spacing, std::hypot(a.x_mm - b.x_mm, a.y_mm - b.y_mm) * view.scale);
    }
  }
  double fastest = 0.0;
  for (const CvVector& v : arrows) fastest = std::max(fastest, v.speed_m_s);
  if (!std::isfinite(spacing) || !(fastest > 0.0)) return 0.0;
  const auto electrode_of = [&](const CvVector& v) {
    return std::find_if(map.electrodes.begin(), map.electrodes.end(),
                        [&](const ElectrodeTimes& t) { return t.lead == v.lead; });
  };
  double per_speed = 0.6 * spacing / fastest;  // arrow length per m/s
  for (const CvVector& v : arrows) {
    const auto e = electrode_of(v);
    if (e == map.electrodes.end() || !(v.speed_m_s > 0.0)) continue;
    const double room = room_along(area, view.to_x(e->position.x_mm), view.to_y(e->position.y_mm),
                                   v.vx_mm_ms / v.speed_m_s, v.vy_mm_ms / v.speed_m_s);
    per_speed = std::min(per_speed, room / v.speed_m_s);
  }
  cairo_set_line_width(cr, 1.5);
  for (const CvVector& v : arrows) {
    const auto e = electrode_of(v);
    if (e == map.electrodes.end() || !(v.speed_m_s > 0.0)) continue;
    const double length = per_speed * v.speed_m_s;
    const double ux = v.vx_mm_ms / v.speed_m_s;
    const double uy = v.vy_mm_ms / v.speed_m_s;
    const double x0 = view.to_x(e->position.x_mm);
    const double y0 = view.to_y(e->position.y_mm);
    const double x1 = x0 + length * ux;
    const double y1 = y0 + length * uy;
    const double head = std::min(6.0, 0.4 * length);
    if (v.flag == CvFlag::none) {
      cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    } else {
      cairo_set_source_rgb(cr, 0.85, 0.1, 0.1);
    }
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x1 - head * (ux - 0.5 * uy), y1 - head * (uy + 0.5 * ux));
    cairo_line_to(cr, x1 - head * (ux + 0.5 * uy), y1 - head * (uy - 0.5 * ux));
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  return per_speed;
}

// An arrow with its ends' ticks: the scale bar (ticks) or the speed key (a head).
void draw_key(cairo_t* cr, double x, double y, double length, bool head, const std::string& label) {
  cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
  cairo_set_line_width(cr, 1.5);
  cairo_move_to(cr, x, y);
  cairo_line_to(cr, x + length, y);
  if (head) {
    cairo_stroke(cr);
    const double h = std::min(6.0, 0.4 * length);
    cairo_move_to(cr, x + length, y);
    cairo_line_to(cr, x + length - h, y - 0.5 * h);
    cairo_line_to(cr, x + length - h, y + 0.5 * h);
    cairo_close_path(cr);
    cairo_fill(cr);
  } else {
    cairo_move_to(cr, x, y - 4.0);
    cairo_line_to(cr, x, y + 4.0);
    cairo_move_to(cr, x + length, y - 4.0);
    cairo_line_to(cr, x + length, y + 4.0);
    cairo_stroke(cr);
  }
  draw_text(cr, x + length + 6.0, y + 4.0, label, 10.0);
}

void draw_colour_bar(cairo_t* cr, const PanelRect& bar, const Range& range, const MapPanelNotes& notes) {
  if (!(range.high >= range.low)) return;
  constexpr int kSteps = 64;
  const double h = bar.height / kSteps;
  for (int k = 0; k < kSteps; ++k) {
    // The highest value at the top.
    set_colour(cr, viridis((kSteps - k - 0.5) / kSteps));
    cairo_rectangle(cr, bar.x, bar.y + k * h, 14.0, h + 0.5);
    cairo_fill(cr);
  }
  cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
  draw_text(cr, bar.x + 18.0, bar.y + 4.0, format_fixed(range.high - notes.offset_ms, 1) + " ms", 10.0);
  draw_text(cr, bar.x + 18.0, bar.y + bar.height, format_fixed(range.low - notes.offset_ms, 1) + " ms", 10.0);
  if (!notes.bar_note.empty()) draw_text(cr, bar.x, bar.y + bar.height + 14.0, notes.bar_note, 9.0);
}

}  // namespace

double round_length(double most) {
  if (!(most > 0.0) || !std::isfinite(most)) return 1.0;
  const double power = std::pow(10.0, std::floor(std::log10(most)));
  for (const double m : {5.0, 2.0}) {
    if (m * power <= most) return m * power;
  }
  return power;
}

Rgb viridis(double t) {
  const Rgb8 c = viridis_rgb(t);
  return {c.r / 255.0, c.g / 255.0, c.b / 255.0};
}

MapView map_view(const PanelRect& panel, std::span<const ElectrodeTimes> electrodes) {
  MapView view;
  if (electrodes.empty()) return view;
  Range x;
  Range y;
  for (const ElectrodeTimes& e : electrodes) {
    x.low = std::min(x.low, e.position.x_mm);
    x.high = std::max(x.high, e.position.x_mm);
    y.low = std::min(y.low, e.position.y_mm);
    y.high = std::max(y.high, e.position.y_mm);
  }
  const double width = std::max(panel.width - 2.0 * kMapMargin, 1.0);
  const double height = std::max(panel.height - 2.0 * kMapMargin, 1.0);
  const double dx = x.high - x.low;
  const double dy = y.high - y.low;
  if (dx > 0.0 && dy > 0.0) {
    view.scale = std::min(width / dx, height / dy);
  } else if (dx > 0.0 || dy > 0.0) {
    view.scale = dx > 0.0 ? width / dx : height / dy;
  }
  view.x_px = panel.x + 0.5 * panel.width - view.scale * 0.5 * (x.low + x.high);
  view.y_px = panel.y + 0.5 * panel.height - view.scale * 0.5 * (y.low + y.high);
  return view;
}

// How the maps of recovery mark each electrode's T wave beside its lead.
std::string_view t_wave_sign(TPolarity polarity) {
  switch (polarity) {
    case TPolarity::positive:
      return "+";
    case TPolarity::negative:
      return "\u2212";
    case TPolarity::biphasic:
      return "\u00b1";
    case TPolarity::none:
      break;
  }
  return "";
}

void draw_electrodes(cairo_t* cr, const MapView& view, std::span<const ElectrodeTimes> electrodes,
                     double ElectrodeTimes::*time, bool t_waves, std::span<const std::string> labels) {
  cairo_save(cr);
  cairo_set_line_width(cr, 1.5);
  for (const ElectrodeTimes& e : electrodes) {
    const double x = view.to_x(e.position.x_mm);
    const double y = view.to_y(e.position.y_mm);
    const bool gap = !std::isfinite(e.*time);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, kElectrodeRadius, 0.0, 2.0 * 3.141592653589793);
    if (gap) {
      cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
    } else {
      cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    }
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_stroke(cr);
    if (gap) {
      const double d = kElectrodeRadius * 0.7;
      cairo_move_to(cr, x - d, y - d);
      cairo_line_to(cr, x + d, y + d);
      cairo_move_to(cr, x - d, y + d);
      cairo_line_to(cr, x + d, y - d);
      cairo_stroke(cr);
    }
    // The channel's label where the recording names it, else the lead.
    const auto k = static_cast<std::size_t>(e.lead - 1);
    const std::string name = k < labels.size() && !labels[k].empty() ? labels[k] : format_integer(e.lead);
    draw_text(cr, x + kElectrodeRadius + 2.0, y - kElectrodeRadius - 1.0,
              name + (t_waves ? std::string(t_wave_sign(e.polarity)) : std::string()), 10.0);
  }
  cairo_restore(cr);
}

void draw_map_panel(cairo_t* cr, const PanelRect& panel, const char* title, const BeatMap& map,
                    double ElectrodeTimes::*time, double step_ms, std::span<const CvVector> arrows,
                    std::span<const std::string> labels, const MapPanelNotes& notes) {
  cairo_save(cr);
  cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
  draw_text(cr, panel.x + 8.0, panel.y + 16.0, title, 13.0);
  const PanelRect area{panel.x, panel.y + kTitleHeight, panel.width - kColourBarWidth,
                       panel.height - kTitleHeight};
  const MapView view = map_view(area, map.electrodes);
  const ScalarMap values = times_map(map, time);
  Range range;
  for (const double v : values.values) {
    range.low = std::min(range.low, v);
    range.high = std::max(range.high, v);
  }
  fill_triangles(cr, view, values, range);
  draw_isolines(cr, view, values, step_ms);
  const double per_speed = draw_arrows(cr, view, area, map, arrows);
  // Maps of a time that rests on RT mark each electrode's T wave: RT's
  // timing against repolarisation differs with its polarity.
  const bool t_waves = time != &ElectrodeTimes::at_ms &&
                       std::any_of(map.electrodes.begin(), map.electrodes.end(),
                                   [](const ElectrodeTimes& e) { return e.polarity != TPolarity::none; });
  // Its legend on the title's line, at the right of the map's area.
  cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
  if (t_waves)
    draw_text(cr, panel.x + std::max(8.0, panel.width - kColourBarWidth - 220.0), panel.y + 16.0,
              notes.t_wave_legend, 10.0);
  draw_electrodes(cr, view, map.electrodes, time, t_waves, labels);
  // The scale of the map and of its arrows, in the margin below the map.
  const double key_y = area.y + area.height - 10.0;
  if (view.scale > 0.0 && !map.electrodes.empty()) {
    const double mm = round_length(120.0 / view.scale);
    draw_key(cr, area.x + 10.0, key_y, mm * view.scale, false, format_fixed(mm, mm < 1.0 ? 1 : 0) + " mm");
  }
  if (per_speed > 0.0) {
    const double speed = round_length(60.0 / per_speed);
    draw_key(cr, area.x + 0.5 * area.width, key_y, speed * per_speed, true,
             format_fixed(speed, speed < 1.0 ? (speed < 0.1 ? 2 : 1) : 0) + " m/s");
  }
  draw_colour_bar(cr,
                  {area.x + area.width + 8.0, area.y + kMapMargin, kColourBarWidth - 8.0,
                   std::max(area.height - 2.0 * kMapMargin, 10.0)},
                  range, notes);
  cairo_restore(cr);
}

}  // namespace telmor
