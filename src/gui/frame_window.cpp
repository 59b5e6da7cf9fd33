// The application frame and the GUI-thread half of every program operation.
#include "console/drawing_state.h"
#include "gui/frame_window.h"

#include "gui/analysis_menu.h"
#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QDockWidget>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <optional>

#include "base/number_text.h"
#include "gui/chart_canvas.h"
#include "gui/chart_ruler.h"
#include "gui/console_pane.h"
#include "gui/lead_strip_view.h"
#include "gui/dock_content.h"
#include "gui/recovery_keeper.h"
#include "gui/results_view.h"
#include "gui/typed_keys.h"
#include "gui/frame_language.h"

namespace telmor {
namespace {

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};

QString from_utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The height the docks of the bottom start with: several leads of the results view.
constexpr int kDockHeight = 320;


}  // namespace

FrameWindow::FrameWindow(QWidget* parent)
    : QMainWindow(parent),
      splitter_(new QSplitter(Qt::Vertical, this)),
      chart_panel_(new QWidget(splitter_)),
      canvas_(new ChartCanvas(input_, chart_panel_)),
      strip_(new LeadStripView(chart_panel_)),
      ruler_(new ChartRuler([this] { return canvas_->surface_rect(); }, chart_panel_)),
      amplitude_bar_(new AmplitudeBar([this] { return canvas_->surface_rect(); }, chart_panel_)),
      console_(new ConsolePane(input_, splitter_)),
      results_view_(new ResultsView),
      results_dock_(new QDockWidget(ui("結果表"), this)),
      maps_(make_maps_part(this)),
      recovery_(new RecoveryKeeper(this))
{
  show_recording("");
  // The ruler spans exactly the chart's column, so that the chart's surface
  // rectangle places its ticks.
  auto* grid = new QGridLayout(chart_panel_);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  grid->addWidget(strip_, 0, 0);
  grid->addWidget(canvas_, 1, 0);
  grid->addWidget(amplitude_bar_, 1, 1);
  grid->addWidget(ruler_, 2, 0);
  grid->setRowStretch(1, 1);
  chart_panel_->hide();  // until the program opens the chart
  splitter_->addWidget(chart_panel_);
  splitter_->addWidget(console_);
  splitter_->setChildrenCollapsible(false);
  // A larger frame gives the chart most of its extra room.
  splitter_->setStretchFactor(0, 3);
  splitter_->setStretchFactor(1, 1);
  setCentralWidget(splitter_);
  results_dock_->setObjectName(QStringLiteral("results"));
  results_dock_->setWidget(yielding(results_view_));  // takes ownership

  addDockWidget(Qt::BottomDockWidgetArea, results_dock_);
  if (maps_) {
    // Beside the results view, as a tab of the same place.
    addDockWidget(Qt::BottomDockWidgetArea, maps_->dock());
    tabifyDockWidget(results_dock_, maps_->dock());
    results_dock_->raise();
  }
  // What is typed in a view answers the question that waits.
  auto* typed = new TypedKeysToInput(console_->editor(), this);
  typed->watch(results_view_);
  if (maps_) typed->watch(maps_->view());
  canvas_->on_unread = [this](const QString& why) { show_note(why); };
  // A new command clears what the status bar said of the last one.
  canvas_->on_sent = [this] {
    if (menu_waits()) show_note(QString());
  };
  canvas_->on_pointer = [this](std::optional<QPoint> at) { show_pointer(at); };
  strip_->on_pick = [this](int ms) { go_to_time(ms); };
  console_->on_unread = [this](const QString& why) { show_note(why); };
  recovery_->on_failure = [this](const std::string& why) {
    show_note(ui("回復ファイルを書けません: ") + from_utf8(why));
  };
  console_->send_to_chart = [this](const QString& line) {
    const bool taken = canvas_->send_reply(line);
    if (taken) stop_asking();
    return taken;
  };
  build_menus();
  build_status_bar();
  build_review();
  stop_asking();
  resize(1100, 1000);
  console_->setFocus();
}

FrameWindow::~FrameWindow() {
  // The child widgets refer to input_, which as a member goes before QWidget
  // would delete them: delete them first.
  delete splitter_;
}

bool FrameWindow::chart_is_open() const { return !chart_panel_->isHidden(); }

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
                   recovery_->flush();  // tables the program ended without saving
                   stopping_ = true;
                   close();
                 },
                 [this](const gui_op::Results& o) {
                   results_ = o.results;
                   // The views leave out the false beats dropped at the menu.
                   const auto shown = o.results->dropped_beats.empty()
                                          ? o.results
                                          : std::make_shared<const ResultsSnapshot>(without_dropped_beats(*o.results));
                   results_view_->show_results(shown);
                   // The bar's unit: the one every lead's values share, if any.
                   const std::vector<std::string>& units = o.results->units;
                   const bool shared = !units.empty() && std::all_of(units.begin(), units.end(),
                                                                     [&](const std::string& u) { return u == units.front(); });
                   amplitude_bar_->set_unit(shared ? from_utf8(units.front()) : QString());
                   show_recording(o.results->recording);
                   // The end of a pass, or a change at the menu: kept at once.
                   recovery_->set_results_file(o.results->results_file);
                   keep_tables(o.results, true);
                   const std::filesystem::path file = o.results->results_file;
                   QTimer::singleShot(0, this, [this, file] { offer_recovery(file); });
                   if (maps_) maps_->show_results(shown);
                 },
                 [this](const gui_op::Ask& o) { ask(o); },
                 [this](const gui_op::Place& o) { show_place(o.place); },
                 [this](const gui_op::Note& o) { show_note(from_utf8(o.text)); },
                 [this](const gui_op::TimeAxis& o) { show_axis(o.axis); },
                 [this](const gui_op::Strip& o) { strip_->set_strip(o.strip); },
                 [this](const gui_op::LiveResults& o) {
                   show_live_results(o.results);
                   keep_tables(o.results, false);
                 },
                 [this](const gui_op::Unsaved& o) { show_unsaved(o.unsaved); },
                 [this](const gui_op::AskRanges& o) {
                   QTimer::singleShot(0, this, [this, b = o.suggested] { analysis_menu_->answer_ranges_question(b); });
                 },
                 [this](const gui_op::AskChangedFile& o) {
                   QTimer::singleShot(0, this, [this, c = o.changed] { answer_changed_file_question(c); });
                 },
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
  chart_panel_->show();
  // The chart gets its natural height (with its strip and ruler) where there
  // is room, the console the rest, at least a few lines.
  const int room = splitter_->height() - splitter_->handleWidth();
  const int natural = ChartCanvas::kHeight + strip_->height() + ruler_->height();
  const int chart_height = std::min(natural, std::max(room - 150, room / 2));
  splitter_->setSizes({chart_height, std::max(room - chart_height, 80)});
  // The docks below start with room for several leads, once (a height the
  // user gave them stays); they give way where the chart would lose its room.
  if (!docks_placed_) resizeDocks({results_dock_}, {kDockHeight}, Qt::Vertical);
  docks_placed_ = true;
  keep_chart_room();
  activateWindow();
  canvas_->setFocus(Qt::OtherFocusReason);
}

void FrameWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // After the layout has placed the docks at the new size.
  QTimer::singleShot(0, this, [this] { keep_chart_room(); });
}

void FrameWindow::keep_chart_room() {
  if (!chart_is_open()) return;
  // Half the frame, and no more than the chart with its strip and ruler needs.
  const int natural = ChartCanvas::kHeight + strip_->height() + ruler_->height();
  const int want = std::min(height() / 2, natural);
  const int short_by = want - chart_panel_->height();
  if (short_by <= 0) return;
  // The docks of the bottom give way first, down to a few rows.
  QList<QDockWidget*> docks;
  QList<int> heights;
  QList<QDockWidget*> bottom{results_dock_};
  if (maps_) bottom.append(maps_->dock());
  for (QDockWidget* dock : bottom) {
    const int height = std::max(dock->height() - short_by, dock->minimumSizeHint().height());
    if (dock->isVisible() && !dock->isFloating() &&
        dockWidgetArea(dock) == Qt::BottomDockWidgetArea && height < dock->height()) {
      docks.append(dock);
      heights.append(height);
    }
  }
  if (!docks.isEmpty()) {
    resizeDocks(docks, heights, Qt::Vertical);
    // The central part grows once the layout has run: measure again then.
    QTimer::singleShot(0, this, [this] { keep_chart_room(); });
    return;
  }
  // Then the console, which keeps a few lines.
  const int room = splitter_->height() - splitter_->handleWidth();
  const int chart = std::min(std::max(want, splitter_->sizes().value(0)), std::max(room - 80, 0));
  splitter_->setSizes({chart, room - chart});
}

void FrameWindow::close_chart() {
  chart_panel_->hide();
  console_->setFocus(Qt::OtherFocusReason);
}

void FrameWindow::ask(const gui_op::Ask& ask) {
  using What = gui_op::Ask::What;
  stop_asking();
  // What the program draws once it has asked (d's pick on the overview) is
  // the user's doing, and shown wherever it lies.
  canvas_->leave_out_right_of(std::nullopt);
  switch (ask.what) {
    case What::console_line:
      console_->set_asker(ConsolePane::Asker::console);
      if (!canvas_->hasFocus()) console_->setFocus(Qt::OtherFocusReason);
      break;
    case What::chart_line:
      console_->set_asker(ConsolePane::Asker::chart);
      canvas_->set_asking(true);
      for (const auto& [letter, action] : letter_actions_) action->setEnabled(ask.menu);
      undo_action_->setEnabled(ask.menu && results_ && results_->undo_steps > 0);
      analysis_menu_->line_asked(ask.menu);
      // F3 at the menu starts a review at the first flagged window.
      next_review_->setEnabled(ask.menu);
      previous_review_->setEnabled(ask.menu);
      if (ask.menu) send_restore();
      break;
    case What::mouse:
      console_->set_asker(ConsolePane::Asker::mouse);
      for (const auto& [key, action] : pass_key_actions_) action->setEnabled(ask.pass_keys);
      pass_waits_ = ask.pass_keys;
      update_undo_redo();
      next_review_->setEnabled(ask.pass_keys);
      previous_review_->setEnabled(ask.pass_keys);
      break;
  }
}

void FrameWindow::stop_asking() {
  console_->set_asker(ConsolePane::Asker::nobody);
  canvas_->set_asking(false);
  pass_waits_ = false;
  for (QAction* action : {next_review_, previous_review_, undo_action_}) {
    if (action != nullptr) action->setEnabled(false);
  }
  if (analysis_menu_ != nullptr) analysis_menu_->stop_asking();
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
  unsaved_label_ = new QLabel(ui("未保存の変更があります"), this);
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
  place_ = place;
  update_undo_redo();
  results_view_->show_place(place);
  if (place.lead == 0) {
    review_label_->clear();
    place_label_->clear();
    canvas_->set_lead_label(QString());
    return;
  }
  // The lead alone beside the curves; the window is in the caption already.
  const QString lead = ui("誘導 ") + QString::number(place.lead);
  place_label_->setText(lead + QStringLiteral("  ") +
                        from_utf8(format_fixed(place.start_ms / 1000.0, 1)) + QStringLiteral("–") +
                        from_utf8(format_fixed(place.end_ms / 1000.0, 1)) + QStringLiteral(" s"));
  canvas_->set_lead_label(lead);
}

void FrameWindow::update_undo_redo() {
  // At the menu the drops made there decide (see ask).
  if (!pass_waits_) return;
  undo_action_->setEnabled(place_.can_undo);
  redo_action()->setEnabled(place_.can_redo);
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

void FrameWindow::show_axis(const TimeAxis& axis) {
  axis_ = axis;
  // The overview: its beat markers follow, and end where its curve ends.
  if (axis.kind == TimeAxis::Kind::whole_steps && axis.start_ms == 0 && axis.end_ms == kOverviewPoints)
    canvas_->leave_out_right_of(static_cast<int>(std::ceil(column_of_ms(axis, axis.end_ms))));
  time_label_->clear();  // until the pointer moves on the new chart
  ruler_->set_axis(axis);
  amplitude_bar_->set_axis(axis);
  strip_->set_shown(axis);
}

void FrameWindow::go_to_time(int ms) {
  if (!pass_waits_) {
    show_note(ui("帯のクリックで窓を移れるのは修正中だけです"));
    return;
  }
  MouseEvent go;
  go.event = kPassKey;
  go.key = PassKey::go_to;
  go.to_ms = ms;
  input_.push_mouse_event(go);
}

void FrameWindow::show_unsaved(bool unsaved) {
  unsaved_ = unsaved;
  // Saved, loaded, or every change taken back: nothing to recover.
  if (!unsaved) recovery_->drop();
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
  if (choice == ExitChoice::discard) recovery_->drop();
  input_.answer_exit(choice);
}

void FrameWindow::closeEvent(QCloseEvent* event) {
  if (!stopping_ && unsaved_ && !input_.is_closed()) {
    const ExitChoice choice = ask_exit_choice ? ask_exit_choice() : exit_dialog();
    if (choice == ExitChoice::cancel) {
      event->ignore();
      return;
    }
    if (choice == ExitChoice::discard) recovery_->drop();
    if (choice == ExitChoice::save) {
      // The program leaves what it is doing, saves, and ends the run, which
      // closes the frame; should the save fail, it is back at its menu.
      input_.request_save_and_close();
      event->ignore();
      return;
    }
  }
  recovery_->flush();
  // Wakes a program waiting for input; its read throws InputClosed.
  input_.close();
  event->accept();
}

}  // namespace telmor
