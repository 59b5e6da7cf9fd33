// The figure files of a generated recording: the SVG parses as XML, the PNG
// decodes at the figure's size with the map's colours in it, and a failed
// write leaves nothing behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "figures/figure_texts.h"
#include "figures/recording_figure.h"
#include "support/beat_tables.h"
#include "support/test_files.h"

namespace telmor {
namespace {

// Ten beats on a 4 x 5 grid of 1 mm: a planar wave at 0.5 m/s along +x,
// ARI 200 + 0.3 DI.
BeatTable generated_table() {
  std::vector<std::int32_t> beats;
  for (int k = 0; k < 10; ++k) beats.push_back(1000 + 600 * k + (k % 3) * 80);
  BeatTable t = test::empty_beat_table(beats, 20);
  for (int lead = 1; lead <= 20; ++lead) {
    double rt_before = 0.0;
    for (int k = 1; k <= 10; ++k) {
      const double at = beats[static_cast<std::size_t>(k - 1)] + 10.0 + ((lead - 1) % 5) / 0.5;
      const double ari = k == 1 ? 250.0 : 200.0 + 0.3 * (at - rt_before);
      test::set_mark(test::cell_of(t, lead, k).at, at);
      test::set_mark(test::cell_of(t, lead, k).rt, at + ari);
      rt_before = at + ari;
    }
  }
  return t;
}

struct PngImage {
  cairo_surface_t* surface = nullptr;
  explicit PngImage(const std::filesystem::path& file)
      : surface(cairo_image_surface_create_from_png(file.string().c_str())) {}
  ~PngImage() { cairo_surface_destroy(surface); }
};

bool parses_as_xml(const std::filesystem::path& file) {
  const std::string command = "python3 -c \"import xml.dom.minidom,sys; xml.dom.minidom.parse(sys.argv[1])\" '" +
                              file.string() + "'";
  return std::system(command.c_str()) == 0;
}

TEST(FigureFiles, TheSvgParsesAndThePngDecodes) {
  const BeatTable table = generated_table();
  const FigureData figure = figure_data("generated", table, grid_layout(4, 5, 1.0).layout);
  EXPECT_EQ(figure.map.beat, 5);
  EXPECT_EQ(figure.cv.size(), 20u);
  test::ScratchDir dir;
  ASSERT_FALSE(write_figure_files(figure, dir / "generated.svg", dir / "generated.png"));
  EXPECT_TRUE(parses_as_xml(dir / "generated.svg"));

  const PngImage png(dir / "generated.png");
  ASSERT_EQ(cairo_surface_status(png.surface), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(png.surface), kFigureWidth);
  EXPECT_EQ(cairo_image_surface_get_height(png.surface), kFigureHeight);
  // The colours of the AT map's earliest and latest times are in the picture
  // (the colour bar's end pieces lie 1/128 of the scale inside its ends).
  const unsigned char* data = cairo_image_surface_get_data(png.surface);
  const int stride = cairo_image_surface_get_stride(png.surface);
  bool low = false;
  bool high = false;
  for (int y = 0; y < kFigureHeight; ++y) {
    for (int x = 0; x < kFigureWidth; ++x) {
      const unsigned char* p = data + y * stride + 4 * x;  // B, G, R on a little-endian machine
      const auto near = [&](int r, int g, int b) {
        return std::abs(p[2] - r) <= 6 && std::abs(p[1] - g) <= 6 && std::abs(p[0] - b) <= 6;
      };
      low = low || near(68, 1, 84);
      high = high || near(253, 231, 37);
    }
  }
  EXPECT_TRUE(low);
  EXPECT_TRUE(high);
}

// Names a file gave, with a terminal's escapes, bytes that are no UTF-8 and
// XML's own characters: the SVG is still XML, the PNG still drawn whole.
TEST(FigureFiles, HostileNamesAreShownNotObeyed) {
  const BeatTable table = generated_table();
  FigureData figure = figure_data("rec\x1b]0;owned\x07<&>", table, grid_layout(4, 5, 1.0).layout);
  figure.labels.assign(20, "E\x01\xff<b>\x1b[31m");
  test::ScratchDir dir;
  ASSERT_FALSE(write_figure_files(figure, dir / "hostile.svg", dir / "hostile.png"));
  EXPECT_TRUE(parses_as_xml(dir / "hostile.svg"));
  const std::string svg = test::read_whole_file(dir / "hostile.svg");
  EXPECT_EQ(svg.find('\x1b'), std::string::npos);
  EXPECT_NE(svg.find("E\\x01\xef\xbf\xbd&lt;b&gt;\\x1B[31m"), std::string::npos);
  const PngImage png(dir / "hostile.png");
  EXPECT_EQ(cairo_surface_status(png.surface), CAIRO_STATUS_SUCCESS);
}

TEST(FigureFiles, AFigureWithoutElectrodesOrBeatsIsStillAFigure) {
  const BeatTable empty = test::empty_beat_table({}, 3);
  const FigureData figure = figure_data("empty", empty, ElectrodeLayout{});
  EXPECT_EQ(figure.map.beat, 0);
  test::ScratchDir dir;
  ASSERT_FALSE(write_figure_files(figure, dir / "empty.svg", dir / "empty.png"));
  EXPECT_TRUE(parses_as_xml(dir / "empty.svg"));
  const PngImage png(dir / "empty.png");
  EXPECT_EQ(cairo_surface_status(png.surface), CAIRO_STATUS_SUCCESS);
}

TEST(FigureFiles, AMissingFolderIsReportedAndLeavesNothing) {
  const FigureData figure = figure_data("r", generated_table(), grid_layout(4, 5, 1.0).layout);
  test::ScratchDir dir;
  EXPECT_EQ(write_figure_files(figure, dir / "no" / "r.svg", dir / "no" / "r.png"),
            std::errc::no_such_file_or_directory);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(FigureFiles, TheDrawingFitsAnyCairoSurface) {
  // The desktop draws the same figure at its own size.
  const FigureData figure = figure_data("r", generated_table(), grid_layout(4, 5, 1.0).layout, 2);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 300, 200);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1.0, 0.0, 0.0);
  draw_figure(cr, figure, 300.0, 200.0);
  // The state comes back: the red source is still set.
  double r = 0.0, g = 0.0, b = 0.0, a = 0.0;
  EXPECT_EQ(cairo_pattern_get_rgba(cairo_get_source(cr), &r, &g, &b, &a), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(r, 1.0);
  EXPECT_EQ(cairo_status(cr), CAIRO_STATUS_SUCCESS);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  EXPECT_EQ(figure.map.beat, 2);
}

// The texts of an SVG, in the order drawn.
std::vector<std::string> svg_texts(const std::string& svg) {
  std::vector<std::string> texts;
  for (std::size_t at = svg.find("<text "); at != std::string::npos; at = svg.find("<text ", at + 1)) {
    const std::size_t from = svg.find('>', at) + 1;
    texts.push_back(svg.substr(from, svg.find("</text>", from) - from));
  }
  return texts;
}

bool holds(const std::vector<std::string>& texts, const std::string& part) {
  for (const std::string& t : texts) {
    if (t.find(part) != std::string::npos) return true;
  }
  return false;
}

// Text stays text in the SVG (a drawing program edits it), in the window's
// words where asked; the AT colour bar counts from the beat; the maps carry
// an mm scale bar and a speed key; the ARI map is shown once.
TEST(FigureFiles, TextStaysTextWithScalesAndTimesAfterTheBeat) {
  const BeatTable table = generated_table();
  FigureData figure = figure_data("日本語の記録", table, grid_layout(4, 5, 1.0).layout);
  const std::string svg = figure_svg(figure);
  const std::vector<std::string> texts = svg_texts(svg);
  EXPECT_TRUE(holds(texts, "日本語の記録"));
  EXPECT_TRUE(holds(texts, "Activation time, isochrones and conduction velocity"));
  EXPECT_TRUE(holds(texts, "after the beat"));
  EXPECT_TRUE(holds(texts, " mm"));
  EXPECT_TRUE(holds(texts, " m/s"));
  EXPECT_NE(svg.find("font-family=\"IPAGothic"), std::string::npos);
  // Lead 1 activates 10 ms after each beat, lead 5 18 ms after: the bar's ends.
  EXPECT_TRUE(holds(texts, "10.0 ms"));
  EXPECT_TRUE(holds(texts, "18.0 ms"));
  figure.times_after_beat = false;
  const std::string at_beat = std::to_string(figure.map.beat_ms + 10) + ".0 ms";
  EXPECT_TRUE(holds(svg_texts(figure_svg(figure)), at_beat)) << at_beat;
  // ARI chosen: once, beside the activation.
  figure.first_map = MarkQuantity::ari;
  figure.texts = japanese_figure_texts();
  const std::vector<std::string> ari = svg_texts(figure_svg(figure));
  int ari_titles = 0;
  for (const std::string& t : ari) ari_titles += t.starts_with("ARI（活性化回復間隔）");
  EXPECT_EQ(ari_titles, 1);
  EXPECT_TRUE(holds(ari, "活性化時間と等時線"));
}

}  // namespace
}  // namespace telmor
