// The application frame: the console window, the chart window once the
// program opens it, the results view, and around them the menus, the keys of
// a correction pass and the status bar. It owns the input queues that both
// windows fill, enables only the input the program is waiting for, asks
// before unsaved tables would be lost, and applies the program's output.
#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "gui/gui_ops.h"
#include "gui/input_queues.h"

class QAction;
class QCloseEvent;
class QDockWidget;
class QLabel;
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
  ResultsView* results_view() const { return results_view_; }
  QDockWidget* results_dock() const { return results_dock_; }
  bool chart_is_open() const;
  bool unsaved() const { return unsaved_; }

  // The menu command of a letter (s, o, d, c, a, r, x) and the actions of a
  // pass's keys, by the key they stand for.
  QAction* letter_action(char letter) const;
  QAction* pass_key_action(PassKey key) const;
  // The status bar's fields: place of a pass, time under the pointer, last note.
  QString place_text() const;
  QString pointer_time_text() const;
  QString note_text() const;

  // The results table as the program last showed it at its menu, as CSV
  // (the summary columns of telmor-batch and where each mark came from); the
  // chart as it stands, as PNG. False, with the reason, when it cannot be written.
  bool save_table_csv(const QString& path, QString& reason) const;
  bool save_chart_image(const QString& path, QString& reason) const;

  // The question asked before unsaved tables are lost; tests answer it
  // without a dialog by setting it.
  std::function<ExitChoice()> ask_exit_choice;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void apply_one(const GuiOp& op);
  void open_chart();
  void close_chart();
  void build_menus();
  void build_status_bar();
  void ask(const gui_op::Ask& ask);
  void stop_asking();
  void show_place(const Place& place);
  void show_note(const QString& note);
  void show_pointer(std::optional<QPoint> logical);
  void show_unsaved(bool unsaved);
  void show_recording(const std::string& name);
  void answer_exit_question();
  ExitChoice exit_dialog();
  void show_help();
  void show_version();
  void ask_and_save_table();
  void ask_and_save_chart();

  InputQueues input_;
  QSplitter* splitter_;
  ChartCanvas* canvas_;
  ConsolePane* console_;
  ResultsView* results_view_;
  QDockWidget* results_dock_;
  QLabel* place_label_;
  QLabel* time_label_;
  QLabel* note_label_;
  QLabel* unsaved_label_;
  std::vector<std::pair<char, QAction*>> letter_actions_;
  std::vector<std::pair<PassKey, QAction*>> pass_key_actions_;
  std::shared_ptr<const ResultsSnapshot> results_;
  TimeAxis axis_{};  // what a click on the chart's columns stores
  bool unsaved_ = false;
  bool stopping_ = false;  // the program has ended: closing asks nothing
};

}  // namespace telmor
