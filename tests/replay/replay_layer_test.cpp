// The replay layer's transcript, drawing state and draw log.
#include "replay/replay_layer.h"

#include <gtest/gtest.h>

#include "support/replay_harness.h"

namespace telmor {
namespace {

using test::ReplayHarness;

TEST(ReplayLayer, TranscriptFormats) {
  ReplayHarness h("console 3\nconsole\nchart   y , n\npress left 10 20\n");
  std::string first, empty, reply;
  MouseEvent click;
  ASSERT_EQ(h.run([&](WindowLayer& layer) {
              layer.console_write("banner");
              first = layer.console_read_line();
              empty = layer.console_read_line();
              layer.chart_open();
              layer.chart_write("menu");
              reply = layer.chart_read_line();
              layer.chart_clear();
              click = layer.wait_mouse_event(kLeftPress);
              layer.chart_close();
              layer.program_stop();
            }),
            0);
  EXPECT_EQ(first, "3");
  EXPECT_EQ(empty, "");
  EXPECT_EQ(reply, "  y , n");
  EXPECT_EQ(click.event, kLeftPress);
  EXPECT_EQ(click.x, 10);
  EXPECT_EQ(click.y, 20);
  EXPECT_EQ(h.transcript.str(),
            "console> banner\n"
            "console< 3\n"
            "console< \n"
            "chart: open\n"
            "chart> menu\n"
            "chart<   y , n\n"
            "chart: clear\n"
            "chart: mouse 1 10 20\n"
            "chart: close\n");
  EXPECT_TRUE(h.layer.program_stopped());
  EXPECT_TRUE(h.layer.unused_directives().empty());
}

TEST(ReplayLayer, WrittenLinesAreKeptExactly) {
  ReplayHarness h("");
  h.layer.console_write("  3.5  trailing  ");
  h.layer.chart_write("");
  h.layer.console_write("\xE3\x81\x82");
  EXPECT_EQ(h.transcript.str(), "console>   3.5  trailing  \nchart> \nconsole> \xE3\x81\x82\n");
}

TEST(ReplayLayer, ChartTextRowsRestartAtClear) {
  ReplayHarness h("chart x\n");
  h.layer.chart_open();
  h.layer.chart_write("one");
  h.layer.chart_write("two");
  EXPECT_EQ(h.layer.chart_text_rows(), 2);
  h.layer.chart_read_line();
  EXPECT_EQ(h.layer.chart_text_rows(), 3);  // the typed line is echoed
  h.layer.chart_clear();
  EXPECT_EQ(h.layer.chart_text_rows(), 0);
}

TEST(ReplayLayer, ColourAndPositionReturnThePreviousValues) {
  ReplayHarness h("");
  EXPECT_EQ(h.layer.set_color_rgb(0x0000FF), 0u);
  EXPECT_EQ(h.layer.set_color_rgb(0xF00000), 0x0000FFu);
  const PixelPoint start = h.layer.move_to(5, 6);
  EXPECT_EQ(start.x, 0);
  EXPECT_EQ(start.y, 0);
  const PixelPoint previous = h.layer.move_to(-7, 300);
  EXPECT_EQ(previous.x, 5);
  EXPECT_EQ(previous.y, 6);
  h.layer.line_to(40, 41);
  EXPECT_EQ(h.layer.position().x, 40);
  EXPECT_EQ(h.layer.position().y, 41);
}

TEST(ReplayLayer, CursorReturnsThePreviousOne) {
  ReplayHarness h("");
  EXPECT_EQ(h.layer.set_mouse_cursor(Cursor::cross), Cursor::arrow);
  EXPECT_EQ(h.layer.set_mouse_cursor(Cursor::arrow), Cursor::cross);
}

TEST(ReplayLayer, LinesDrawInTheCurrentColourFromTheCurrentPosition) {
  ReplayHarness h("");
  h.layer.set_color_rgb(0x0000FF);  // red
  h.layer.move_to(10, 10);
  h.layer.line_to(20, 10);
  h.layer.line_to(20, 15);  // goes on from (20, 10), still red
  const ChartSurface& s = h.layer.surface();
  EXPECT_EQ(s.pixel(10, 10), (Rgb{255, 0, 0}));
  EXPECT_EQ(s.pixel(20, 10), (Rgb{255, 0, 0}));
  EXPECT_EQ(s.pixel(20, 15), (Rgb{255, 0, 0}));
  EXPECT_EQ(s.pixel(9, 10), ChartSurface::kBackground);
  EXPECT_EQ(s.pixel(20, 16), ChartSurface::kBackground);
  EXPECT_EQ(s.pixel(15, 12), ChartSurface::kBackground);
}

TEST(ReplayLayer, ClearErasesButKeepsColourAndPosition) {
  ReplayHarness h("");
  h.layer.set_color_rgb(0xF00000);
  h.layer.move_to(0, 0);
  h.layer.line_to(100, 0);
  EXPECT_EQ(h.layer.surface().pixel(50, 0), (Rgb{0, 0, 0xF0}));
  h.layer.chart_clear();
  EXPECT_EQ(h.layer.surface().pixel(50, 0), ChartSurface::kBackground);
  h.layer.line_to(100, 10);  // from (100, 0), in blue
  EXPECT_EQ(h.layer.surface().pixel(100, 5), (Rgb{0, 0, 0xF0}));
  EXPECT_EQ(h.layer.surface().pixel(50, 0), ChartSurface::kBackground);
}

TEST(ReplayLayer, DrawLogOneLinePerLineTo) {
  ReplayHarness h("");
  h.layer.move_to(-5, 7);
  h.layer.line_to(100, 7);  // black by default
  h.layer.set_color_rgb(0x0000FF);
  h.layer.line_to(100, -32768);
  h.layer.set_color_rgb(0xF00000);
  h.layer.move_to(1, 2);
  h.layer.line_to(32767, 2);
  h.layer.set_color_rgb(0x0FFFFF00);
  h.layer.line_to(32767, 2);
  EXPECT_EQ(h.draw_log.str(),
            "line -5 7 100 7 000000\n"
            "line 100 7 100 -32768 FF0000\n"
            "line 1 2 32767 2 0000F0\n"
            "line 32767 2 32767 2 00FFFF\n");
  EXPECT_EQ(h.transcript.str(), "");
}

TEST(ReplayLayer, WorksWithoutADrawLog) {
  std::ostringstream transcript;
  ReplayLayer layer(parse_session_script(""), transcript);
  layer.line_to(3, 0);
  EXPECT_EQ(layer.surface().pixel(3, 0), (Rgb{0, 0, 0}));
}

}  // namespace
}  // namespace telmor
