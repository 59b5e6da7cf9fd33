// The application frame: the console window, the chart window once the
// program opens it, the results view, and the menus around them. It owns the
// input queues that both windows fill, closes them when the user closes the
// frame, and applies the program's output batches.
#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>

#include "gui/gui_ops.h"
#include "gui/input_queues.h"

class QCloseEvent;
class QDockWidget;
class QScrollArea;
class QSplitter;

namespace telmor {

class ChartCanvas;
class ConsolePane;
class ResultsView;

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
  ResultsView* results_view() const { return results_view_; }
  QDockWidget* results_dock() const { return results_dock_; }
  bool chart_is_open() const;

  // The results table as the program last showed it at its menu, as CSV
  // (the summary columns of telmor-batch and where each mark came from); the
  // chart as it stands, as PNG. False, with the reason, when it cannot be written.
  bool save_table_csv(const QString& path, QString& reason) const;
  bool save_chart_image(const QString& path, QString& reason) const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void apply_one(const GuiOp& op);
  void open_chart();
  void close_chart();
  void build_menus();
  void ask_and_save_table();
  void ask_and_save_chart();

  InputQueues input_;
  QSplitter* splitter_;
  QScrollArea* chart_area_;
  ChartCanvas* canvas_;
  ConsolePane* console_;
  ResultsView* results_view_;
  QDockWidget* results_dock_;
  std::shared_ptr<const ResultsSnapshot> results_;
};

}  // namespace telmor
