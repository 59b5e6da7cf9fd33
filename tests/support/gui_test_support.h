// Helpers of the desktop tests: a program thread over the layer, polling the
// GUI until something has happened, and user input made of Qt events.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QString>
#include <QThread>
#include <QWidget>
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "console/window_layer.h"
#include "gui/chart_canvas.h"
#include "gui/frame_window.h"
#include "gui/input_queues.h"
#include "gui/qt_window_layer.h"

#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace telmor::test {

// Runs the GUI's event loop until ready() holds or limit has passed; says which.
inline bool wait_until(const std::function<bool()>& ready,
                       std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    if (ready()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    QThread::msleep(1);
  }
}

// Applies every event already posted to the GUI thread, without waiting:
// what the program posted before the state a test waited for is then shown.
inline void apply_posted() {
  QApplication::sendPostedEvents();
  QApplication::processEvents();
}

// Starts take on a thread of its own, as the program would, and returns once
// it blocks on the queues as what.
template <class Take>
auto blocked(InputQueues& input, Awaiting what, Take take) {
  auto result = std::async(std::launch::async, take);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (input.awaiting() != what && std::chrono::steady_clock::now() < deadline)
    std::this_thread::yield();
  EXPECT_EQ(input.awaiting(), what);
  return result;
}

inline std::future<std::string> chart_read(InputQueues& input) {
  return blocked(input, Awaiting::chart_line, [&input] { return input.take_chart_line(); });
}

// A stand-in for the program: body runs on a thread of its own, as the real
// program does, and how it ended is kept for the test.
class ProgramThread {
 public:
  ProgramThread(WindowLayer& layer, std::function<void(WindowLayer&)> body)
      : thread_([this, &layer, body = std::move(body)] {
          try {
            body(layer);
          } catch (const InputClosed&) {
            input_closed_ = true;
          } catch (const std::exception& error) {
            error_ = error.what();
            failed_ = true;
          } catch (...) {
            error_ = "an exception that is not a std::exception";
            failed_ = true;
          }
          finished_ = true;
        }) {}
  ~ProgramThread() { join(); }
  ProgramThread(const ProgramThread&) = delete;
  ProgramThread& operator=(const ProgramThread&) = delete;

  bool finished() const { return finished_; }
  bool input_closed() const { return input_closed_; }
  bool failed() const { return failed_; }
  // What the body threw; read only once it has finished.
  const std::string& error() const { return error_; }
  // Polls the GUI until the body has returned or thrown.
  bool wait_finished() {
    return wait_until([this] { return finished(); });
  }
  void join() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::atomic<bool> finished_ = false;
  std::atomic<bool> input_closed_ = false;
  std::atomic<bool> failed_ = false;
  std::string error_;  // written before failed_, read only after it
  std::thread thread_;
};

// A frame with its layer, shown offscreen, closed and joined at the end.
class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_ = std::make_unique<FrameWindow>();
    layer_ = std::make_unique<QtWindowLayer>(*frame_);
    frame_->show();
  }
  void TearDown() override {
    frame_->input().close();  // wakes a program still waiting
    if (program_) {
      program_->join();
      // A program body that threw anything but the end of input is a failure
      // of the test, whether or not the test looked.
      EXPECT_FALSE(program_->failed()) << "the program thread threw: " << program_->error();
    }
    program_.reset();
    layer_.reset();
    frame_.reset();
  }
  void run(std::function<void(WindowLayer&)> body) {
    program_ = std::make_unique<ProgramThread>(*layer_, std::move(body));
  }
  ProgramThread& program() { return *program_; }
  ChartCanvas* canvas() const { return frame_->canvas(); }

  std::unique_ptr<FrameWindow> frame_;
  std::unique_ptr<QtWindowLayer> layer_;
  std::unique_ptr<ProgramThread> program_;
};

// The middle of a logical chart pixel, in the canvas widget as it is scaled
// now. A scaled-down chart has no whole widget pixel for every logical one.
inline QPointF on_chart(const ChartCanvas& canvas, QPoint logical) {
  const QRectF surface = canvas.surface_rect();
  const double scale = surface.width() / ChartCanvas::kWidth;
  return surface.topLeft() + QPointF(logical.x() + 0.5, logical.y() + 0.5) * scale;
}

inline void send_mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPointF at) {
  const Qt::MouseButtons held =
      type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
  QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

inline void click(QWidget* widget, Qt::MouseButton button, QPointF at) {
  send_mouse(widget, QEvent::MouseButtonPress, button, at);
  send_mouse(widget, QEvent::MouseButtonRelease, button, at);
}

// What Qt delivers for a physical double-click: press, release, double-click, release.
inline void double_click(QWidget* widget, Qt::MouseButton button, QPointF at) {
  click(widget, button, at);
  send_mouse(widget, QEvent::MouseButtonDblClick, button, at);
  send_mouse(widget, QEvent::MouseButtonRelease, button, at);
}

inline void press_key(QWidget* widget, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &release);
}

// Text as one key press per character, then Enter when asked.
inline void type_text(QWidget* widget, const QString& text) {
  for (const QChar c : text) press_key(widget, 0, QString(c));
}

inline void type_line(QWidget* widget, const QString& text) {
  type_text(widget, text);
  press_key(widget, Qt::Key_Return, QStringLiteral("\r"));
}

}  // namespace telmor::test
