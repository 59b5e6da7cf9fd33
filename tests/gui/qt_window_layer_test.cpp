// The desktop layer end to end: a stand-in program on its own thread, the
// frame on the GUI thread, the user played by Qt events.
#include "gui/qt_window_layer.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <mutex>
#include <semaphore>
#include <string>
#include <vector>

#include "gui/chart_canvas.h"
#include "gui/console_pane.h"
#include "support/gui_test_support.h"

namespace telmor {
namespace {

using test::click;
using test::double_click;
using test::DesktopTest;
using test::type_line;
using test::wait_until;

constexpr int kCorrectionMask = kLeftPress + kRightPress + kRightDouble;  // 41

// Mouse events as the program received them, readable from the test thread.
class ReceivedEvents {
 public:
  void add(const MouseEvent& event) {
    const std::lock_guard lock(mutex_);
    events_.push_back(event);
  }
  std::size_t size() const {
    const std::lock_guard lock(mutex_);
    return events_.size();
  }
  MouseEvent at(std::size_t i) const {
    const std::lock_guard lock(mutex_);
    return events_.at(i);
  }

 private:
  mutable std::mutex mutex_;
  std::vector<MouseEvent> events_;
};

using LayerTest = DesktopTest;

TEST_F(LayerTest, ConsoleShowsWrittenLinesAndReadsATypedOne) {
  std::string typed;
  run([&](WindowLayer& layer) {
    layer.console_write("ファイル名を入力して下さい");
    typed = layer.console_read_line();
  });
  QPlainTextEdit* view = frame_->console()->view();
  ASSERT_TRUE(wait_until([&] { return frame_->console()->asker() == ConsolePane::Asker::console; }));
  QLineEdit* editor = frame_->console()->editor();
  type_line(editor, QStringLiteral("abc  3"));
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ(typed, "abc  3");
  EXPECT_EQ(view->toPlainText(), QStringLiteral("ファイル名を入力して下さい\nabc  3"));
  EXPECT_TRUE(editor->text().isEmpty());
}

TEST_F(LayerTest, ConsoleLineTypedBeforeTheQuestionIsDroppedAndSaid) {
  std::string typed;
  type_line(frame_->console()->editor(), QStringLiteral("first"));
  EXPECT_TRUE(frame_->note_text().contains(QStringLiteral("first")));
  run([&](WindowLayer& layer) { typed = layer.console_read_line(); });
  ASSERT_TRUE(wait_until([&] { return frame_->console()->asker() == ConsolePane::Asker::console; }));
  type_line(frame_->console()->editor(), QStringLiteral("second"));
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ(typed, "second");
  EXPECT_EQ(frame_->console()->view()->toPlainText(), QStringLiteral("second"));
}

TEST_F(LayerTest, ChartShowsOnlyOnceOpenedAndTakesTheFocus) {
  EXPECT_FALSE(frame_->chart_is_open());
  std::binary_semaphore go_on(0);
  run([&](WindowLayer& layer) {
    layer.chart_open();
    go_on.acquire();
    layer.chart_close();
  });
  ASSERT_TRUE(wait_until([&] { return frame_->chart_is_open(); }));
  EXPECT_TRUE(canvas()->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), canvas());
  go_on.release();
  ASSERT_TRUE(program().wait_finished());
  ASSERT_TRUE(wait_until([&] { return !frame_->chart_is_open(); }));
}

TEST_F(LayerTest, ChartReplyIsEchoedBelowThePromptAndRead) {
  std::string reply;
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.chart_write("コマンドを入力して下さい");
    reply = layer.chart_read_line();
  });
  ASSERT_TRUE(wait_until([&] { return canvas()->asking(); }));
  type_line(canvas(), QStringLiteral("d"));
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ(reply, "d");
  ASSERT_EQ(canvas()->rows().size(), 2u);
  EXPECT_EQ(canvas()->rows()[0], QStringLiteral("コマンドを入力して下さい"));
  EXPECT_EQ(canvas()->rows()[1], QStringLiteral("d"));
}

TEST_F(LayerTest, LineIsDrawnInTheColourSet) {
  std::uint32_t first_previous = 1;
  std::uint32_t second_previous = 0;
  PixelPoint moved_from;
  run([&](WindowLayer& layer) {
    layer.chart_open();
    first_previous = layer.set_color_rgb(0x0000FF);
    layer.move_to(10, 20);
    layer.line_to(200, 20);
    moved_from = layer.move_to(600, 50);
    second_previous = layer.set_color_rgb(0xF00000);
    layer.line_to(600, 250);
  });
  ASSERT_TRUE(program().wait_finished());
  ASSERT_TRUE(wait_until([&] { return canvas()->image().pixel(600, 250) == qRgb(0, 0, 240); }));
  EXPECT_EQ(first_previous, 0u);
  EXPECT_EQ(second_previous, 0x0000FFu);
  EXPECT_EQ(moved_from.x, 200);
  EXPECT_EQ(moved_from.y, 20);
  const QImage& image = canvas()->image();
  EXPECT_EQ(image.pixel(10, 20), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(100, 20), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(200, 20), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(100, 21), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(600, 150), qRgb(0, 0, 240));
  // The move drew nothing.
  EXPECT_EQ(image.pixel(400, 35), qRgb(255, 255, 255));
}

TEST_F(LayerTest, ColourWithoutASetIsTheOneSetLast) {
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.set_color_rgb(0x0FFFFF00);
    layer.move_to(0, 10);
    layer.line_to(50, 10);
    layer.move_to(0, 11);
    layer.line_to(50, 11);
  });
  ASSERT_TRUE(program().wait_finished());
  ASSERT_TRUE(wait_until([&] { return canvas()->image().pixel(25, 11) == qRgb(0, 255, 255); }));
}

TEST_F(LayerTest, ClearErasesTextAndGraphicsAndRestartsTheRows) {
  std::binary_semaphore go_on(0);
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.chart_write("overview");
    layer.set_color_rgb(0x0000FF);
    layer.move_to(0, 100);
    layer.line_to(1000, 100);
    go_on.acquire();
    layer.chart_clear();
    layer.chart_write("after");
  });
  ASSERT_TRUE(wait_until([&] { return canvas()->image().pixel(500, 100) == qRgb(255, 0, 0); }));
  go_on.release();
  ASSERT_TRUE(program().wait_finished());
  ASSERT_TRUE(wait_until([&] { return canvas()->image().pixel(500, 100) == qRgb(255, 255, 255); }));
  EXPECT_EQ(canvas()->rows(), std::vector<QString>{QStringLiteral("after")});
}

TEST_F(LayerTest, LongCurveReachesTheGuiInFewBatches) {
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.set_color_rgb(0xF00000);
    layer.move_to(0, 150);
    for (int i = 1; i <= 4000; ++i) {
      layer.line_to(static_cast<std::int16_t>(i / 4), static_cast<std::int16_t>(150 + i % 50));
    }
  });
  // The GUI thread does not run while the program draws, so one batch takes it all.
  program().join();
  EXPECT_EQ(layer_->batch_count(), 1u);
  ASSERT_TRUE(wait_until([&] { return canvas()->image().pixel(1000, 150) == qRgb(0, 0, 240); }));
}

TEST_F(LayerTest, CrossCursorShowsOverTheChart) {
  Cursor first = Cursor::cross;
  Cursor second = Cursor::arrow;
  run([&](WindowLayer& layer) {
    layer.chart_open();
    first = layer.set_mouse_cursor(Cursor::cross);
    second = layer.set_mouse_cursor(Cursor::cross);
  });
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ(first, Cursor::arrow);
  EXPECT_EQ(second, Cursor::cross);
  ASSERT_TRUE(wait_until([&] { return canvas()->cursor().shape() == Qt::CrossCursor; }));
}

TEST_F(LayerTest, RightDoubleClickAnswersTwoWaitsEvenWhenTheSecondStartsLate) {
  ReceivedEvents received;
  std::binary_semaphore redrawn(0);
  run([&](WindowLayer& layer) {
    layer.chart_open();
    received.add(layer.wait_mouse_event(kCorrectionMask));
    redrawn.acquire();  // still drawing the next window when the double-click comes
    received.add(layer.wait_mouse_event(kCorrectionMask));
  });
  ASSERT_TRUE(wait_until([&] { return frame_->chart_is_open(); }));
  double_click(canvas(), Qt::RightButton, test::on_chart(*canvas(), QPoint(120, 80)));
  ASSERT_TRUE(wait_until([&] { return received.size() == 1; }));
  test::apply_posted();  // the double-click's events reach the queue while the program draws
  redrawn.release();
  ASSERT_TRUE(program().wait_finished());
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received.at(0).event, kRightPress);
  EXPECT_EQ(received.at(1).event, kRightDouble);
  EXPECT_EQ(received.at(1).x, 120);
  EXPECT_EQ(received.at(1).y, 80);
}

TEST_F(LayerTest, EventOutsideTheMaskIsDropped) {
  ReceivedEvents received;
  std::binary_semaphore go_on(0);
  run([&](WindowLayer& layer) {
    layer.chart_open();
    received.add(layer.wait_mouse_event(kLeftPress));
    go_on.acquire();
    received.add(layer.wait_mouse_event(kLeftPress + kRightPress));
  });
  ASSERT_TRUE(wait_until([&] { return frame_->chart_is_open(); }));
  click(canvas(), Qt::RightButton, test::on_chart(*canvas(), QPoint(1, 1)));
  click(canvas(), Qt::LeftButton, test::on_chart(*canvas(), QPoint(5, 6)));
  ASSERT_TRUE(wait_until([&] { return received.size() == 1; }));
  go_on.release();
  click(canvas(), Qt::LeftButton, test::on_chart(*canvas(), QPoint(7, 8)));
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ(received.at(0).x, 5);
  EXPECT_EQ(received.at(0).y, 6);
  // Not the right press made before the first wait ended.
  EXPECT_EQ(received.at(1).event, kLeftPress);
  EXPECT_EQ(received.at(1).x, 7);
}

TEST_F(LayerTest, ClicksMadeBeforeATypedReplyAnswerNoLaterWait) {
  ReceivedEvents received;
  std::binary_semaphore go_on(0);
  std::atomic<bool> replied = false;
  run([&](WindowLayer& layer) {
    layer.chart_open();
    go_on.acquire();
    layer.chart_read_line();
    replied = true;
    received.add(layer.wait_mouse_event(kLeftPress));
  });
  ASSERT_TRUE(wait_until([&] { return frame_->chart_is_open(); }));
  click(canvas(), Qt::LeftButton, test::on_chart(*canvas(), QPoint(11, 11)));
  go_on.release();
  ASSERT_TRUE(wait_until([&] { return canvas()->asking(); }));
  type_line(canvas(), QStringLiteral("y"));
  ASSERT_TRUE(wait_until([&] { return replied.load(); }));
  click(canvas(), Qt::LeftButton, test::on_chart(*canvas(), QPoint(22, 22)));
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ(received.at(0).x, 22);
}

TEST_F(LayerTest, ClosingTheWindowEndsABlockedRead) {
  std::atomic<bool> reading = false;
  run([&](WindowLayer& layer) {
    reading = true;
    layer.console_read_line();
  });
  ASSERT_TRUE(wait_until([&] { return frame_->input().awaiting() == Awaiting::console_line; }));
  frame_->close();
  ASSERT_TRUE(program().wait_finished());
  EXPECT_TRUE(program().input_closed());
}

TEST_F(LayerTest, ClosingTheWindowEndsAMouseWait) {
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.wait_mouse_event(kCorrectionMask);
  });
  ASSERT_TRUE(wait_until([&] { return frame_->chart_is_open(); }));
  frame_->close();
  ASSERT_TRUE(program().wait_finished());
  EXPECT_TRUE(program().input_closed());
}

TEST_F(LayerTest, ProgramStopClosesTheFrame) {
  run([&](WindowLayer& layer) {
    layer.console_write("end");
    layer.program_stop();
  });
  ASSERT_TRUE(program().wait_finished());
  ASSERT_TRUE(wait_until([&] { return !frame_->isVisible(); }));
  EXPECT_TRUE(frame_->input().is_closed());
}

TEST_F(LayerTest, DoubleClickThroughTheWindowSystemIsPressThenDouble) {
  ReceivedEvents received;
  run([&](WindowLayer& layer) {
    layer.chart_open();
    received.add(layer.wait_mouse_event(kCorrectionMask));
    received.add(layer.wait_mouse_event(kCorrectionMask));
  });
  ASSERT_TRUE(wait_until([&] { return frame_->input().awaiting() == Awaiting::mouse; }));
  test::apply_posted();  // the chart's layout, so that the point lands on the canvas
  const QPoint in_window = canvas()->mapTo(frame_.get(), test::on_chart(*canvas(), QPoint(30, 30)).toPoint());
  QTest::mouseDClick(frame_->windowHandle(), Qt::RightButton, Qt::NoModifier, in_window);
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ(received.at(0).event, kRightPress);
  EXPECT_EQ(received.at(1).event, kRightDouble);
}

}  // namespace
}  // namespace telmor
