// The application frame and the GUI-thread half of every program operation.
#include "gui/frame_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "base/number_text.h"
#include "gui/chart_canvas.h"
#include "gui/console_pane.h"
#include "gui/results_view.h"

namespace telmor {
namespace {

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};

QString from_utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

FrameWindow::FrameWindow(QWidget* parent)
    : QMainWindow(parent),
      splitter_(new QSplitter(Qt::Vertical, this)),
      canvas_(new ChartCanvas(input_, splitter_)),
      console_(new ConsolePane(input_, splitter_)),
      results_view_(new ResultsView),
      results_dock_(new QDockWidget(QStringLiteral("結果表"), this)) {
  show_recording("");
  canvas_->hide();  // until the program opens the chart
  splitter_->addWidget(canvas_);
  splitter_->addWidget(console_);
  splitter_->setChildrenCollapsible(false);
  // A larger frame gives the chart most of its extra room.
  splitter_->setStretchFactor(0, 3);
  splitter_->setStretchFactor(1, 1);
  setCentralWidget(splitter_);
  results_dock_->setObjectName(QStringLiteral("results"));
  results_dock_->setWidget(results_view_);  // takes ownership

  addDockWidget(Qt::BottomDockWidgetArea, results_dock_);
  canvas_->on_unread = [this](const QString& why) { show_note(why); };
  canvas_->on_pointer = [this](std::optional<QPoint> at) { show_pointer(at); };
  console_->on_unread = [this](const QString& why) { show_note(why); };
  console_->send_to_chart = [this](const QString& line) {
    const bool taken = canvas_->send_reply(line);
    if (taken) stop_asking();
    return taken;
  };
  build_menus();
  build_status_bar();
  stop_asking();
  resize(1100, 1000);
  console_->setFocus();
}

FrameWindow::~FrameWindow() {
  // The child widgets refer to input_, which as a member goes before QWidget
  // would delete them: delete them first.
  delete splitter_;
}

bool FrameWindow::chart_is_open() const { return !canvas_->isHidden(); }

void FrameWindow::apply(const GuiOpBatch& batch) {
  for (const GuiOp& op : batch) apply_one(op);
  canvas_->finish_batch();
}

void FrameWindow::apply_one(const GuiOp& op) {
  std::visit(Overloaded{
                 [this](const gui_op::ConsoleLine& o) { console_->write_line(from_utf8(o.text)); },
                 [this](const gui_op::ChartOpen&) { open_chart(); },
                 [this](const gui_op::ChartLine& o) { canvas_->write_row(from_utf8(o.text)); },
                 [this](const gui_op::ChartClear&) { canvas_->clear(); },
                 [this](const gui_op::ChartClose&) { close_chart(); },
                 [this](const gui_op::Segment& o) {
                   canvas_->draw_segment(o.colour, o.x0, o.y0, o.x1, o.y1);
                 },
                 [this](const gui_op::SetCursor& o) {
                   canvas_->set_cross_cursor(o.cursor == Cursor::cross);
                 },
                 [this](const gui_op::Stop&) {
                   stopping_ = true;
                   close();
                 },
                 [this](const gui_op::Results& o) {
                   results_ = o.results;
                   results_view_->show_results(o.results);
                   show_recording(o.results->recording);
                 },
                 [this](const gui_op::Ask& o) { ask(o); },
                 [this](const gui_op::Place& o) { show_place(o.place); },
                 [this](const gui_op::Note& o) { show_note(from_utf8(o.text)); },
                 [this](const gui_op::TimeAxis& o) {
                   axis_ = o.axis;
                   time_label_->clear();  // until the pointer moves on the new chart
                 },
                 [this](const gui_op::Unsaved& o) { show_unsaved(o.unsaved); },
                 [this](const gui_op::AskExit&) {
                   // After this batch: a dialog's event loop must not apply
                   // a later batch in the middle of this one.
                   QTimer::singleShot(0, this, [this] { answer_exit_question(); });
                 },
             },
             op);
}

void FrameWindow::open_chart() {
  canvas_->clear();
  canvas_->show();
  // The chart gets its natural height where there is room, the console the
  // rest, at least a few lines.
  const int room = splitter_->height() - splitter_->handleWidth();
  const int chart_height = std::min(ChartCanvas::kHeight, std::max(room - 150, room / 2));
  splitter_->setSizes({chart_height, std::max(room - chart_height, 80)});
  activateWindow();
  canvas_->setFocus(Qt::OtherFocusReason);
}

void FrameWindow::close_chart() {
  canvas_->hide();
  console_->setFocus(Qt::OtherFocusReason);
}

void FrameWindow::ask(const gui_op::Ask& ask) {
  using What = gui_op::Ask::What;
  stop_asking();
  switch (ask.what) {
    case What::console_line:
      console_->set_asker(ConsolePane::Asker::console);
      if (!canvas_->hasFocus()) console_->setFocus(Qt::OtherFocusReason);
      break;
    case What::chart_line:
      console_->set_asker(ConsolePane::Asker::chart);
      canvas_->set_asking(true);
      for (const auto& [letter, action] : letter_actions_) action->setEnabled(ask.menu);
      break;
    case What::mouse:
      console_->set_asker(ConsolePane::Asker::mouse);
      for (const auto& [key, action] : pass_key_actions_) action->setEnabled(ask.pass_keys);
      break;
  }
}

void FrameWindow::stop_asking() {
  console_->set_asker(ConsolePane::Asker::nobody);
  canvas_->set_asking(false);
  for (const auto& [letter, action] : letter_actions_) action->setEnabled(false);
  for (const auto& [key, action] : pass_key_actions_) action->setEnabled(false);
}

QAction* FrameWindow::letter_action(char letter) const {
  for (const auto& [l, action] : letter_actions_) {
    if (l == letter) return action;
  }
  return nullptr;
}

QAction* FrameWindow::pass_key_action(PassKey key) const {
  for (const auto& [k, action] : pass_key_actions_) {
    if (k == key) return action;
  }
  return nullptr;
}

void FrameWindow::build_status_bar() {
  place_label_ = new QLabel(this);
  time_label_ = new QLabel(this);
  note_label_ = new QLabel(this);
  unsaved_label_ = new QLabel(QStringLiteral("未保存の変更があります"), this);
  unsaved_label_->hide();
  // Room for "誘導 20  29.5–30.5 s" and "30000 ms" so that the fields do not jump.
  place_label_->setMinimumWidth(160);
  time_label_->setMinimumWidth(90);
  statusBar()->addWidget(place_label_);
  statusBar()->addWidget(time_label_);
  statusBar()->addWidget(note_label_, 1);
  statusBar()->addPermanentWidget(unsaved_label_);
}

QString FrameWindow::place_text() const { return place_label_->text(); }
QString FrameWindow::pointer_time_text() const { return time_label_->text(); }
QString FrameWindow::note_text() const { return note_label_->text(); }

void FrameWindow::show_place(const Place& place) {
  if (place.lead == 0) {
    place_label_->clear();
    canvas_->set_lead_label(QString());
    return;
  }
  // The lead alone beside the curves; the window is in the caption already.
  const QString lead = QStringLiteral("誘導 ") + QString::number(place.lead);
  place_label_->setText(lead + QStringLiteral("  ") +
                        from_utf8(format_fixed(place.start_ms / 1000.0, 1)) + QStringLiteral("–") +
                        from_utf8(format_fixed(place.end_ms / 1000.0, 1)) + QStringLiteral(" s"));
  canvas_->set_lead_label(lead);
}

void FrameWindow::show_note(const QString& note) { note_label_->setText(note); }

void FrameWindow::show_pointer(std::optional<QPoint> logical) {
  if (!logical || axis_.kind == TimeAxis::Kind::none || !chart_is_open()) {
    time_label_->clear();
    return;
  }
  // The very conversion the program applies to a click at that column.
  time_label_->setText(from_utf8(click_time_text(axis_, logical->x())));
}

void FrameWindow::show_unsaved(bool unsaved) {
  unsaved_ = unsaved;
  unsaved_label_->setVisible(unsaved);
  setWindowModified(unsaved);
}

void FrameWindow::show_recording(const std::string& name) {
  // [*] shows the unsaved mark where the platform puts it.
  setWindowTitle(name.empty() ? QStringLiteral("TELMOR[*]")
                              : QStringLiteral("TELMOR — ") + from_utf8(name) +
                                    QStringLiteral("[*]"));
}

void FrameWindow::answer_exit_question() {
  const ExitChoice choice = ask_exit_choice ? ask_exit_choice() : exit_dialog();
  input_.answer_exit(choice);
}

void FrameWindow::closeEvent(QCloseEvent* event) {
  if (!stopping_ && unsaved_ && !input_.is_closed()) {
    const ExitChoice choice = ask_exit_choice ? ask_exit_choice() : exit_dialog();
    if (choice == ExitChoice::cancel) {
      event->ignore();
      return;
    }
    if (choice == ExitChoice::save) {
      // The program leaves what it is doing, saves, and ends the run, which
      // closes the frame; should the save fail, it is back at its menu.
      input_.request_save_and_close();
      event->ignore();
      return;
    }
  }
  // Wakes a program waiting for input; its read throws InputClosed.
  input_.close();
  event->accept();
}

}  // namespace telmor
