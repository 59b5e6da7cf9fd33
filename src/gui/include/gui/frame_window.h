// The application frame: the console window, and the chart window once the
// program opens it. It owns the input queues that both fill, closes them when
// the user closes the frame, and applies the program's output batches.
#pragma once

#include <QMainWindow>

#include "gui/gui_ops.h"
#include "gui/input_queues.h"

class QCloseEvent;
class QScrollArea;
class QSplitter;

namespace telmor {

class ChartCanvas;
class ConsolePane;

class FrameWindow : public QMainWindow {
 public:
  explicit FrameWindow(QWidget* parent = nullptr);
  ~FrameWindow() override;

  InputQueues& input() { return input_; }

  // Applies the operations in order and repaints what they changed once.
  void apply(const GuiOpBatch& batch);

  ConsolePane* console() const { return console_; }
  ChartCanvas* canvas() const { return canvas_; }
  QScrollArea* chart_area() const { return chart_area_; }
  bool chart_is_open() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void apply_one(const GuiOp& op);
  void open_chart();
  void close_chart();

  InputQueues input_;
  QSplitter* splitter_;
  QScrollArea* chart_area_;
  ChartCanvas* canvas_;
  ConsolePane* console_;
};

}  // namespace telmor
