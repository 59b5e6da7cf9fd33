// The frame's scales around the chart: the time ruler's ticks line up with
// the chart's columns at any size, the amplitude bar's value, and the lead
// strip whose click moves a pass to the window there.
#include <QAction>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "correction/mark_correction.h"
#include "gui/chart_ruler.h"
#include "gui/lead_strip_view.h"
#include "support/gui_test_support.h"
#include "support/pass_record.h"

namespace telmor {
namespace {

using test::click;
using test::on_chart;
using test::wait_until;

TEST(RulerTicks, EveryHundredMsLabelledEveryFiveHundredOverTheChartsTimes) {
  struct Case {
    TimeAxis axis;
    int first_ms, last_ms, labelled;
  };
  const Case cases[] = {
      // The overview: 0 to 4000 ms, 0.00015 of the width per ms.
      {{TimeAxis::Kind::whole_steps, 0, 0.0f, 0.00015f, 4000, 0.1f}, 0, 4000, 9},
      // d's window from 960 ms: its samples, the first whole 100 ms is 1000.
      {{TimeAxis::Kind::whole_steps, 960, 0.0f, 0.0006f, 1960, 0.1f}, 1000, 1900, 2},
      // A pass window from 1500 ms.
      {{TimeAxis::Kind::pass_window, 1500, 0.0f, 0.0f, 2500, 0.1f}, 1500, 2500, 3},
      // Text only: no ruler.
      {{}, 0, -100, 0},
  };
  for (const Case& c : cases) {
    const std::vector<RulerTick> ticks = ruler_ticks(c.axis);
    const int count = (c.last_ms - c.first_ms) / 100 + 1;
    ASSERT_EQ(static_cast<int>(ticks.size()), count) << c.axis.start_ms;
    if (ticks.empty()) continue;
    EXPECT_EQ(ticks.front().ms, c.first_ms);
    EXPECT_EQ(ticks.back().ms, c.last_ms);
    int labelled = 0;
    for (const RulerTick& tick : ticks) labelled += tick.labelled ? 1 : 0;
    EXPECT_EQ(labelled, c.labelled);
  }
  // Where the chart draws those times: 1000 ms of the overview at column
  // 150, of a pass window from 1500 ms at 2000 ms column 300.
  EXPECT_NEAR(ruler_ticks(cases[0].axis)[10].column, 150.0, 1e-3);
  EXPECT_NEAR(ruler_ticks(cases[2].axis)[5].column, 300.0, 1e-9);
}

TEST(ScaleBar, OneTwoOrFiveTimesAPowerOfTenFortyToAHundredPixelsHigh) {
  struct Case {
    float yscale;
    double amplitude;
  };
  // A unit is yscale × 300 logical pixels high.
  const Case cases[] = {{0.1f, 2.0}, {1.0f, 0.2}, {0.01f, 20.0}, {0.002f, 100.0},
                        {0.5f, 0.5}, {-0.1f, 2.0}, {0.0f, 0.0}};
  for (const Case& c : cases) {
    const double amplitude = scale_bar_amplitude(c.yscale);
    EXPECT_NEAR(amplitude, c.amplitude, c.amplitude * 1e-9) << c.yscale;
    if (amplitude == 0.0) continue;
    const double pixels = amplitude * std::abs(static_cast<double>(c.yscale)) * 300.0;
    EXPECT_GE(pixels, 40.0 - 1e-9);
    EXPECT_LE(pixels, 100.0 + 1e-9);
  }
}

struct ChartScales : test::DesktopTest {
  // x of a logical column of the chart, in the frame's coordinates.
  double frame_x_of_column(double column) const {
    const QRectF surface = canvas()->surface_rect();
    const QPointF in_canvas(surface.left() + column * surface.width() / ChartCanvas::kWidth, 0.0);
    return canvas()->mapTo(frame_.get(), in_canvas).x();
  }
  void resize_to(QSize size) {
    const double width_before = canvas()->surface_rect().width();
    frame_->resize(size);
    ASSERT_TRUE(wait_until([&] { return canvas()->surface_rect().width() != width_before; }));
    test::apply_posted();
  }
};

TEST_F(ChartScales, RulerTicksStandUnderTheirColumnsAtTwoFrameSizes) {
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.show_time_axis({TimeAxis::Kind::pass_window, 500, 0.0f, 0.0f, 1500, 0.25f});
    layer.wait_mouse_event(kLeftPress);
  });
  ASSERT_TRUE(wait_until([&] { return frame_->ruler()->tick_positions().size() == 11; }));
  std::vector<double> spacings;
  for (const QSize size : {QSize(800, 700), QSize(1800, 1200)}) {
    resize_to(size);
    const std::vector<double> xs = frame_->ruler()->tick_positions();
    ASSERT_EQ(xs.size(), 11u);
    for (std::size_t k = 0; k < xs.size(); ++k) {
      // Tick k is 500 + 100 k ms, which a pass window draws at column 60 k.
      const double in_frame = frame_->ruler()->mapTo(frame_.get(), QPointF(xs[k], 0.0)).x();
      EXPECT_NEAR(in_frame, frame_x_of_column(60.0 * static_cast<double>(k)), 0.01) << k;
    }
    spacings.push_back(xs[1] - xs[0]);
  }
  // The ticks spread with the chart.
  EXPECT_GT(spacings[1], spacings[0] * 1.5);
  // A unit of the curve is 75 logical pixels: the bar shows 1.
  EXPECT_EQ(frame_->amplitude_bar()->amplitude(), 1.0);
  EXPECT_NEAR(frame_->amplitude_bar()->bar_height(),
              75.0 * canvas()->surface_rect().height() / ChartCanvas::kHeight, 1e-9);
  click(canvas(), Qt::LeftButton, on_chart(*canvas(), QPoint(10, 10)));
  ASSERT_TRUE(program().wait_finished());
}

// A real pass over two leads of three seconds: a click on the strip at
// 2.2 s moves to the window of the pass's lead that holds it.
TEST_F(ChartScales, StripClickInAPassMovesToTheWindowThere) {
  auto record = std::make_unique<RunRecord>();
  DrawingState drawing;
  test::set_up_small_pass(*record, drawing);
  LeadStrip strip;
  strip.samples.assign(3000, 0.0f);
  strip.samples[999] = 1.0f;
  strip.beat_ms = {2000, 1000};
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.show_lead_strip(strip);
    correct_marks(layer, *record, drawing, MarkKind::at);
    layer.chart_read_line();
  });
  LeadStripView* view = frame_->strip();
  ASSERT_TRUE(wait_until([&] { return frame_->place_text() == QStringLiteral("誘導 1  0.0–1.0 s"); }));
  ASSERT_TRUE(view->has_strip());
  // The framed part is the window shown: 0 to 1000 ms of 3000.
  EXPECT_NEAR(view->shown_rect().left(), view->x_of(0), 1e-9);
  EXPECT_NEAR(view->shown_rect().right(), view->x_of(1000), 1e-9);
  click(view, Qt::LeftButton, QPointF(view->x_of(2200), 20));
  ASSERT_TRUE(wait_until([&] { return frame_->place_text() == QStringLiteral("誘導 1  1.5–2.5 s"); }));
  EXPECT_NEAR(view->shown_rect().left(), view->x_of(1500), 1e-9);
  // On the second lead, a click stays on it.
  frame_->pass_key_action(PassKey::page_down)->trigger();
  ASSERT_TRUE(wait_until([&] { return frame_->place_text() == QStringLiteral("誘導 2  0.0–1.0 s"); }));
  click(view, Qt::LeftButton, QPointF(view->x_of(900), 20));
  ASSERT_TRUE(wait_until([&] { return frame_->place_text() == QStringLiteral("誘導 2  0.5–1.5 s"); }));
  frame_->pass_key_action(PassKey::escape)->trigger();
  ASSERT_TRUE(wait_until([&] { return frame_->input().awaiting() == Awaiting::chart_line; }));
  test::apply_posted();
  // Outside a pass a click on the strip only says why it does nothing.
  click(view, Qt::LeftButton, QPointF(view->x_of(900), 20));
  EXPECT_TRUE(frame_->note_text().contains(QStringLiteral("修正中だけ")));
  ASSERT_TRUE(canvas()->send_reply(QStringLiteral("x")));
  ASSERT_TRUE(program().wait_finished());
}

}  // namespace
}  // namespace telmor
