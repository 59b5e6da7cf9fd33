// The chart canvas on the GUI thread alone: pixels, text rows, keys and mouse codes.
#include "gui/chart_canvas.h"

#include <gtest/gtest.h>

#include <future>
#include <optional>
#include <string>
#include <vector>

#include "support/gui_test_support.h"

namespace telmor {
namespace {

using test::click;
using test::double_click;
using test::press_key;
using test::send_mouse;
using test::type_line;
using test::type_text;

const QRgb kWhite = qRgb(255, 255, 255);

bool all_white(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != kWhite) return false;
    }
  }
  return true;
}

TEST(ChartCanvas, SurfaceHoldsTheWholeChartOnWhite) {
  InputQueues input;
  ChartCanvas canvas(input);
  EXPECT_GE(canvas.image().width(), 1001);
  EXPECT_GE(canvas.image().height(), 351);
  EXPECT_EQ(canvas.sizeHint(), canvas.image().size());
  EXPECT_TRUE(all_white(canvas.image()));
}

TEST(ChartCanvas, ColourIsBlueGreenRedFromHighToLowByte) {
  InputQueues input;
  ChartCanvas canvas(input);
  canvas.draw_segment(0x0000FF, 0, 10, 20, 10);
  canvas.draw_segment(0xF00000, 0, 11, 20, 11);
  canvas.draw_segment(0x00FFFF, 0, 12, 20, 12);
  canvas.draw_segment(0x0FFFFF00, 0, 13, 20, 13);  // the top byte carries nothing
  canvas.finish_batch();
  EXPECT_EQ(canvas.image().pixel(5, 10), qRgb(255, 0, 0));
  EXPECT_EQ(canvas.image().pixel(5, 11), qRgb(0, 0, 240));
  EXPECT_EQ(canvas.image().pixel(5, 12), qRgb(255, 255, 0));
  EXPECT_EQ(canvas.image().pixel(5, 13), qRgb(0, 255, 255));
}

TEST(ChartCanvas, LineIsOnePixelWideWithBothEnds) {
  InputQueues input;
  ChartCanvas canvas(input);
  canvas.draw_segment(0, 300, 50, 300, 250);
  canvas.finish_batch();
  const QImage& image = canvas.image();
  for (int y = 50; y <= 250; ++y) ASSERT_EQ(image.pixel(300, y), qRgb(0, 0, 0)) << y;
  EXPECT_EQ(image.pixel(300, 49), kWhite);
  EXPECT_EQ(image.pixel(300, 251), kWhite);
  EXPECT_EQ(image.pixel(299, 150), kWhite);
  EXPECT_EQ(image.pixel(301, 150), kWhite);
}

TEST(ChartCanvas, ZeroLengthLineSetsOnePixel) {
  InputQueues input;
  ChartCanvas canvas(input);
  canvas.draw_segment(0, 7, 8, 7, 8);
  canvas.finish_batch();
  EXPECT_EQ(canvas.image().pixel(7, 8), qRgb(0, 0, 0));
  EXPECT_EQ(canvas.image().pixel(8, 8), kWhite);
}

TEST(ChartCanvas, LinesOutsideTheSurfaceAreClipped) {
  InputQueues input;
  ChartCanvas canvas(input);
  canvas.draw_segment(0, -32768, 100, 32767, 100);
  canvas.draw_segment(0, 5, -500, 5, 32767);
  canvas.finish_batch();
  EXPECT_EQ(canvas.image().pixel(0, 100), qRgb(0, 0, 0));
  EXPECT_EQ(canvas.image().pixel(ChartCanvas::kWidth - 1, 100), qRgb(0, 0, 0));
  EXPECT_EQ(canvas.image().pixel(5, 0), qRgb(0, 0, 0));
  EXPECT_EQ(canvas.image().pixel(5, ChartCanvas::kHeight - 1), qRgb(0, 0, 0));
}

TEST(ChartCanvas, ClearErasesGraphicsAndTextRows) {
  InputQueues input;
  ChartCanvas canvas(input);
  canvas.draw_segment(0x0000FF, 0, 0, 1023, 383);
  canvas.write_row(QStringLiteral("誘導  1の  0.0-  1.0secを解析します。"));
  canvas.finish_batch();
  canvas.clear();
  canvas.finish_batch();
  EXPECT_TRUE(all_white(canvas.image()));
  EXPECT_TRUE(canvas.rows().empty());
  EXPECT_TRUE(all_white(canvas.snapshot()));
}

TEST(ChartCanvas, TextRowsShowOnTopOfTheGraphics) {
  InputQueues input;
  ChartCanvas canvas(input);
  canvas.write_row(QStringLiteral("メニュー"));
  canvas.finish_batch();
  EXPECT_TRUE(all_white(canvas.image()));  // the graphics hold no text
  EXPECT_FALSE(all_white(canvas.snapshot()));
}

TEST(ChartCanvas, OldestRowsGiveWayWhenTheChartIsFull) {
  InputQueues input;
  ChartCanvas canvas(input);
  for (int i = 0; i < 200; ++i) canvas.write_row(QString::number(i));
  ASSERT_FALSE(canvas.rows().empty());
  EXPECT_LT(canvas.rows().size(), 200u);
  EXPECT_EQ(canvas.rows().back(), QStringLiteral("199"));
}

// A chart at its logical size whose program waits for a typed line.
struct AskedCanvas : ::testing::Test {
  InputQueues input;
  ChartCanvas canvas{input};
  std::future<std::string> reply = test::chart_read(input);
  AskedCanvas() { canvas.set_asking(true); }
};

TEST_F(AskedCanvas, TypedReplyIsEchoedAndSentOnEnter) {
  canvas.write_row(QStringLiteral("prompt"));
  type_text(&canvas, QStringLiteral("yx"));
  press_key(&canvas, Qt::Key_Backspace);
  type_text(&canvas, QStringLiteral("はい"));
  EXPECT_EQ(canvas.typed(), QStringLiteral("yはい"));
  press_key(&canvas, Qt::Key_Return, QStringLiteral("\r"));
  EXPECT_EQ(reply.get(), "yはい");
  ASSERT_EQ(canvas.rows().size(), 2u);
  EXPECT_EQ(canvas.rows()[1], QStringLiteral("yはい"));
  EXPECT_TRUE(canvas.typed().isEmpty());
  EXPECT_FALSE(canvas.asking());  // one line per question
}

TEST_F(AskedCanvas, ControlKeysTypeNothing) {
  press_key(&canvas, Qt::Key_Tab, QStringLiteral("\t"));
  press_key(&canvas, Qt::Key_Escape, QStringLiteral("\x1b"));
  press_key(&canvas, Qt::Key_Backspace);  // nothing to take back
  press_key(&canvas, Qt::Key_Enter, QStringLiteral("\r"));
  EXPECT_EQ(reply.get(), "");
}

TEST(ChartCanvas, TypingWhenNoReplyIsAskedForIsDroppedAndSaid) {
  InputQueues input;
  ChartCanvas canvas(input);
  QString said;
  canvas.on_unread = [&](const QString& why) { said = why; };
  type_line(&canvas, QStringLiteral("q"));
  EXPECT_TRUE(canvas.typed().isEmpty());
  EXPECT_TRUE(canvas.rows().empty());  // no echo of a line nobody reads
  EXPECT_FALSE(said.isEmpty());
  EXPECT_FALSE(canvas.send_reply(QStringLiteral("s")));
  auto reply = test::chart_read(input);
  canvas.set_asking(true);
  EXPECT_TRUE(canvas.send_reply(QStringLiteral("s")));
  EXPECT_EQ(reply.get(), "s");
}

// A chart shown at its logical size: widget pixels are logical pixels.
struct ShownCanvas : ::testing::Test {
  InputQueues input;
  ChartCanvas canvas{input};
  ShownCanvas() { canvas.resize(ChartCanvas::kWidth, ChartCanvas::kHeight); }
};

TEST_F(ShownCanvas, ButtonsGiveTheirCodes) {
  click(&canvas, Qt::LeftButton, QPoint(10, 20));
  click(&canvas, Qt::RightButton, QPoint(30, 40));
  click(&canvas, Qt::MiddleButton, QPoint(1, 1));  // no code of its own
  const int all = 0x7F;
  EXPECT_EQ(input.take_mouse_event(all).event, kLeftPress);
  EXPECT_EQ(input.take_mouse_event(all).event, kLeftRelease);
  const MouseEvent right = input.take_mouse_event(all);
  EXPECT_EQ(right.event, kRightPress);
  EXPECT_EQ(right.x, 30);
  EXPECT_EQ(right.y, 40);
  EXPECT_EQ(input.take_mouse_event(all).event, kRightRelease);
  click(&canvas, Qt::LeftButton, QPoint(2, 3));
  EXPECT_EQ(input.take_mouse_event(all).x, 2);  // the middle button left nothing
}

TEST_F(ShownCanvas, DoubleClickIsPressThenDoubleClick) {
  double_click(&canvas, Qt::LeftButton, QPoint(5, 5));
  double_click(&canvas, Qt::RightButton, QPoint(6, 6));
  const int presses_and_doubles = kLeftPress + kLeftDouble + kRightPress + kRightDouble;
  EXPECT_EQ(input.take_mouse_event(presses_and_doubles).event, kLeftPress);
  EXPECT_EQ(input.take_mouse_event(presses_and_doubles).event, kLeftDouble);
  EXPECT_EQ(input.take_mouse_event(presses_and_doubles).event, kRightPress);
  EXPECT_EQ(input.take_mouse_event(presses_and_doubles).event, kRightDouble);
}

TEST_F(ShownCanvas, DraggingReportsMoves) {
  send_mouse(&canvas, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(1, 1));
  QMouseEvent move(QEvent::MouseMove, QPointF(40, 50), QPointF(canvas.mapToGlobal(QPoint(40, 50))),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&canvas, &move);
  const MouseEvent got = input.take_mouse_event(kMouseMove);
  EXPECT_EQ(got.x, 40);
  EXPECT_EQ(got.y, 50);
}

// Right presses at these times (ms): each pair closer than the system's
// double-click interval arrives as press then double-click.
std::vector<int> right_codes(ChartCanvas& canvas, InputQueues& input, std::vector<int> times) {
  bool second = false;
  for (const int t : times) {
    const QPoint at(50, 50);
    const QPointF global = canvas.mapToGlobal(QPointF(at));
    QMouseEvent press(second ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, QPointF(at),
                      global, Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    press.setTimestamp(static_cast<quint64>(t));
    QApplication::sendEvent(&canvas, &press);
    second = !second;
  }
  std::vector<int> codes;
  for (std::size_t i = 0; i < times.size(); ++i)
    codes.push_back(input.take_mouse_event(kRightPress + kRightDouble).event);
  return codes;
}

TEST_F(ShownCanvas, QuickRightClicksStepOnAndAFastDoubleClickGoesBack) {
  EXPECT_EQ(right_codes(canvas, input, {1000, 1250, 1500, 1750}),
            (std::vector<int>{kRightPress, kRightPress, kRightPress, kRightPress}));
  EXPECT_EQ(right_codes(canvas, input, {5000, 5000 + ChartCanvas::kRightDoubleMs}),
            (std::vector<int>{kRightPress, kRightDouble}));
}

TEST(ChartCanvas, ScaledCanvasMapsPointsToLogicalPixelsAndPaintsSharp) {
  InputQueues input;
  ChartCanvas canvas(input);
  canvas.draw_segment(0, 300, 50, 300, 250);
  canvas.finish_batch();
  struct Case {
    QSize size;
    QPointF at;
    std::optional<QPoint> logical;
  };
  const Case cases[] = {
      {{2048, 768}, {601.0, 101.9}, QPoint(300, 50)},
      {{512, 192}, {150.4, 25.0}, QPoint(300, 50)},
      {{512, 192}, {511.9, 191.9}, QPoint(1023, 383)},
      // Wider than the aspect: the surface is centred across, paper beside it.
      {{1224, 384}, {100.0 + 300.0, 50.0}, QPoint(300, 50)},
      {{1224, 384}, {50.0, 50.0}, std::nullopt},
  };
  for (const Case& c : cases) {
    canvas.resize(c.size);
    EXPECT_EQ(canvas.logical_pixel(c.at), c.logical) << c.size.width() << " " << c.at.x();
  }
  canvas.resize(2048, 768);
  const QImage painted = canvas.grab().toImage();
  // Twice as large, the line is still one pixel wide, at twice the column.
  EXPECT_EQ(painted.pixelColor(600, 300), QColor(Qt::black));
  EXPECT_EQ(painted.pixelColor(602, 300), QColor(Qt::white));
  EXPECT_EQ(painted.pixelColor(598, 300), QColor(Qt::white));
}

TEST(ChartCanvas, CrossCursorWhenAsked) {
  InputQueues input;
  ChartCanvas canvas(input);
  canvas.set_cross_cursor(true);
  EXPECT_EQ(canvas.cursor().shape(), Qt::CrossCursor);
  canvas.set_cross_cursor(false);
  EXPECT_EQ(canvas.cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace telmor
