// The figure of one recording: four panels, drawn to any cairo surface, and
// its SVG and PNG files written durably.
#include "figures/recording_figure.h"

#include <cairo-svg.h>

#include <string>
#include <vector>

#include "base/number_text.h"
#include "figures/map_view.h"
#include "plot_panels.h"
#include "plot_text.h"
#include "files/file_replace.h"

namespace telmor {
namespace {

constexpr double kHeaderHeight = 30.0;

cairo_status_t append_bytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

std::string escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string svg_text_elements(const std::vector<PlacedText>& placed) {
  std::string out = "<g font-family=\"" + std::string(kFigureFont) + ", sans-serif\" fill=\"black\">\n";
  for (const PlacedText& t : placed) {
    out += "<text x=\"" + format_fixed(t.x, 2) + "\" y=\"" + format_fixed(t.y, 2) + "\" font-size=\"" +
           format_fixed(t.size, 1) + "\" xml:space=\"preserve\">" + escaped(t.text) + "</text>\n";
  }
  return out + "</g>\n";
}

}  // namespace

FigureData figure_data(std::string recording, const BeatTable& table, const ElectrodeLayout& layout,
                       int beat, double step_ms) {
  FigureData figure;
  figure.recording = std::move(recording);
  figure.map = beat_map(table, layout, beat == 0 ? middle_beat(table) : beat);
  figure.cv = conduction_velocity(figure.map, CvMethod::surface);
  figure.isochrone_step_ms = step_ms;
  figure.restitution = restitution(table);
  figure.dispersion = dispersion(table);
  return figure;
}

void draw_figure(cairo_t* cr, const FigureData& figure, double width, double height) {
  cairo_save(cr);
  cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
  cairo_rectangle(cr, 0.0, 0.0, width, height);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
  std::string header = figure.recording;
  if (figure.map.beat > 0) {
    header += "  " + figure.texts.beat + " " + format_integer(figure.map.beat) + "  " + figure.texts.at + " " +
              format_integer(figure.map.beat_ms) + " ms";
  }
  draw_text(cr, 10.0, 20.0, header, 15.0);

  const double w = 0.5 * width;
  const double h = 0.5 * (height - kHeaderHeight);
  const double top = kHeaderHeight;
  const FigureTexts& t = figure.texts;
  MapPanelNotes times;  // AT and RT: after the beat, unless asked otherwise
  times.t_wave_legend = t.t_wave_legend;
  if (figure.times_after_beat && figure.map.beat > 0) {
    times.offset_ms = figure.map.beat_ms;
    times.bar_note = t.after_beat;
  }
  MapPanelNotes intervals;
  intervals.t_wave_legend = t.t_wave_legend;
  switch (figure.first_map) {
    case MarkQuantity::at:
      draw_map_panel(cr, {0.0, top, w, h}, t.at_map.c_str(), figure.map, &ElectrodeTimes::at_ms,
                     figure.isochrone_step_ms, figure.cv, figure.labels, times);
      break;
    case MarkQuantity::rt:
      draw_map_panel(cr, {0.0, top, w, h}, t.rt_map.c_str(), figure.map, &ElectrodeTimes::rt_ms, 0.0, figure.cv,
                     figure.labels, times);
      break;
    case MarkQuantity::ari:
      draw_map_panel(cr, {0.0, top, w, h}, t.ari_map_cv.c_str(), figure.map, &ElectrodeTimes::ari_ms, 0.0,
                     figure.cv, figure.labels, intervals);
      break;
  }
  // The ARI map once: beside an ARI map the activation.
  if (figure.first_map == MarkQuantity::ari) {
    draw_map_panel(cr, {w, top, w, h}, t.at_map_plain.c_str(), figure.map, &ElectrodeTimes::at_ms,
                   figure.isochrone_step_ms, {}, figure.labels, times);
  } else {
    draw_map_panel(cr, {w, top, w, h}, t.ari_map.c_str(), figure.map, &ElectrodeTimes::ari_ms, 0.0, {},
                   figure.labels, intervals);
  }
  draw_restitution_panel(cr, {0.0, top + h, w, h}, figure.restitution, t);
  draw_dispersion_panel(cr, {w, top + h, w, h}, figure.dispersion, t);
  cairo_restore(cr);
}

std::string figure_svg(const FigureData& figure) {
  std::string bytes;
  cairo_surface_t* surface =
      cairo_svg_surface_create_for_stream(append_bytes, &bytes, kFigureWidth, kFigureHeight);
  cairo_t* cr = cairo_create(surface);
  std::vector<PlacedText> placed;
  {
    const TextSink text(placed);
    draw_figure(cr, figure, kFigureWidth, kFigureHeight);
  }
  const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_finish(surface);  // the SVG's last bytes come out here
  const bool finished = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  if (!drawn || !finished) return {};
  // The text as text elements, on top of the drawing, before the SVG's end.
  const std::size_t end = bytes.rfind("</svg>");
  if (end == std::string::npos) return {};
  bytes.insert(end, svg_text_elements(placed));
  return bytes;
}

std::string figure_png(const FigureData& figure) {
  std::string bytes;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kFigureWidth, kFigureHeight);
  cairo_t* cr = cairo_create(surface);
  draw_figure(cr, figure, kFigureWidth, kFigureHeight);
  bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  ok = ok && cairo_surface_write_to_png_stream(surface, append_bytes, &bytes) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok ? bytes : std::string();
}

std::error_code write_figure_files(const FigureData& figure, const std::filesystem::path& svg,
                                   const std::filesystem::path& png) {
  const std::string svg_bytes = figure_svg(figure);
  const std::string png_bytes = figure_png(figure);
  if (svg_bytes.empty() || png_bytes.empty()) return std::make_error_code(std::errc::io_error);
  if (const std::error_code e = replace_file_contents(svg, svg_bytes)) return e;
  return replace_file_contents(png, png_bytes);
}

}  // namespace telmor
