// The application frame: the console window, the chart window once the
// program opens it, the results view, and around them the menus, the keys of
// a correction pass and the status bar. It owns the input queues that both
// windows fill, enables only the input the program is waiting for, asks
// before unsaved tables would be lost, and applies the program's output.
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <QImage>
#include <QKeySequence>
#include <QList>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "gui/gui_ops.h"
#include "console/menu_letters.h"
#include "gui/input_queues.h"
#include "gui/maps_part.h"

class QAction;
class QMenu;
class QCloseEvent;
class QResizeEvent;
class QDockWidget;
class QLabel;
class QSplitter;

namespace telmor {

class AmplitudeBar;
class AnalysisMenu;
class ChartCanvas;
class ChartRuler;
class ConsolePane;
class LeadStripView;
class RecoveryKeeper;
class ResultsView;
struct RecoveryOffer;

// What the user does with a recovery file offered at start-up.
enum class RecoveryChoice { restore, discard, later };

class FrameWindow : public QMainWindow {
 public:
  explicit FrameWindow(QWidget* parent = nullptr);
  ~FrameWindow() override;

  InputQueues& input() { return input_; }

  // Applies the operations in order and repaints what they changed once.
  void apply(const GuiOpBatch& batch);

  ConsolePane* console() const { return console_; }
  ChartCanvas* canvas() const { return canvas_; }
  ChartRuler* ruler() const { return ruler_; }
  AmplitudeBar* amplitude_bar() const { return amplitude_bar_; }
  LeadStripView* strip() const { return strip_; }
  ResultsView* results_view() const { return results_view_; }
  QDockWidget* results_dock() const { return results_dock_; }
  // The maps dock; null in a build without the maps.
  MapsPart* maps() const { return maps_.get(); }
  bool chart_is_open() const;
  bool unsaved() const { return unsaved_; }

  // ファイル → 記録を開く…: file (asked for with a file dialog when empty),
  // the part to open chosen, handed to the program; unsaved tables are given
  // up only when the user says so.
  void ask_and_open_recording(QString file = {});
  // The part of file to open, chosen in the open dialog; null when cancelled.
  std::shared_ptr<const OpenRequest> ask_recording_part(const QString& file);

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
  // The name the export dialogs offer: recording + suffix
  // ("sample_results.csv"), or the suffix alone without its "_" before a
  // recording is known.
  QString export_name(const QString& suffix) const;
  // Where the export dialogs start: that name in the recording's folder (its
  // results file's) once a recording is known.
  QString export_path(const QString& suffix) const;
  // The chart image exported: a caption (recording, lead and window, or the
  // overview's span), the chart at its logical size, and the time ruler.
  QImage chart_image() const;
  QString chart_caption() const;

  // The question asked before unsaved tables are lost; tests answer it
  // without a dialog by setting it.
  std::function<ExitChoice()> ask_exit_choice;
  // Which pass an ARI cell starts (at or rt; none: not at all); tests answer
  // it without a dialog.
  std::function<std::optional<MarkKind>()> ask_ari_kind;

  // Review by exception: the flagged cell of lead and beat brought on show
  // (at the menu a pass of the view's kind starts there), the next or
  // previous flagged window of the pass, and the removal of a beat's marks.
  void review_cell(int lead, int beat);
  void walk_review(bool forward);
  // At the menu: the pass of the view's kind (AT, or RT when RT is shown)
  // started at the first (forward) or last flagged window.
  void start_review(bool forward);
  // The status bar's count of flagged windows, of the pass's kind or the view's.
  void update_review_count();
  void drop_beat(int beat);
  QString review_text() const;
  QAction* review_action(bool forward) const { return forward ? next_review_ : previous_review_; }
  QAction* undo_action() const { return undo_action_; }
  QAction* redo_action() const { return pass_key_action(PassKey::redo); }

  // The 解析 menu: the derivative the program prepares its signals with,
  // its settings and ranges suggested from the recording.
  AnalysisMenu* analysis_menu() const { return analysis_menu_; }
  // The menu's choice; read from the program's thread.
  AnalysisChoice analysis_choice() const;

  // The question asked when a save finds the results file changed, removed
  // or created elsewhere since the program last saw it; keeping the other's
  // file is the default. Tests answer it without a dialog by setting it.
  std::function<ChangedFileAnswer(const ChangedFile&)> ask_changed_file;

  // Edits that survive a crash: the recovery file kept beside the results
  // file while the tables are unsaved, and the question asked at start-up
  // when one is found (tests answer it without a dialog by setting it).
  RecoveryKeeper* recovery() const { return recovery_; }
  std::function<RecoveryChoice(const RecoveryOffer&)> ask_recovery_choice;
  // Writes the recovery file now if the tables wait for it: the program is
  // about to end without the frame (the display went away).
  void keep_recovery_now();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void apply_one(const GuiOp& op);
  void open_chart();
  // The chart (with its strip and ruler) keeps at least half the frame's
  // height while it is open: the docks below give way, then the console.
  void keep_chart_room();
  void close_chart();
  void build_menus();
  void build_correction_menu();
  void build_language_menu(QMenu* view);
  void build_view_menu();
  void add_letter_action(QMenu* menu, const MenuLetter& command);
  void add_pass_key_action(QMenu* menu, const QString& text, PassKey key, const QList<QKeySequence>& keys);
  void build_status_bar();
  void ask(const gui_op::Ask& ask);
  void stop_asking();
  void show_place(const Place& place);
  // Undo and redo enabled only with something to take back or bring again.
  void update_undo_redo();
  void build_review();
  void show_live_results(std::shared_ptr<const ResultsSnapshot> live);
  bool menu_waits() const;
  std::optional<MarkKind> choose_ari_kind();
  void undo();
  void show_note(const QString& note);
  void show_pointer(std::optional<QPoint> logical);
  void show_axis(const TimeAxis& axis);
  // A time picked on the strip: in a pass, its window of the pass's lead.
  void go_to_time(int ms);
  void show_unsaved(bool unsaved);
  // Once per results file, after its recording's overview: offers its
  // recovery file and passes a restore to the program at its menu.
  void offer_recovery(const std::filesystem::path& results_file);
  RecoveryChoice recovery_dialog(const RecoveryOffer& offer);
  void send_restore();
  void keep_tables(const std::shared_ptr<const ResultsSnapshot>& tables, bool at_once);
  void show_recording(const std::string& name);
  void answer_exit_question();
  void answer_changed_file_question(const ChangedFile& changed);
  ChangedFileAnswer changed_file_dialog(const ChangedFile& changed);
  ExitChoice exit_dialog();
  void show_help();
  void show_version();
  void ask_and_save_table();
  void ask_and_save_chart();

  InputQueues input_;
  QSplitter* splitter_;
  QWidget* chart_panel_;  // the strip, the chart, its ruler and scale bar
  ChartCanvas* canvas_;
  LeadStripView* strip_;
  ChartRuler* ruler_;
  AmplitudeBar* amplitude_bar_;
  ConsolePane* console_;
  ResultsView* results_view_;
  QDockWidget* results_dock_;
  std::unique_ptr<MapsPart> maps_;
  QLabel* place_label_;
  QLabel* time_label_;
  QLabel* note_label_;
  QLabel* unsaved_label_;
  QLabel* review_label_ = nullptr;
  QAction* next_review_ = nullptr;
  QAction* previous_review_ = nullptr;
  QAction* undo_action_ = nullptr;
  QMenu* correction_menu_ = nullptr;  // where the review actions join the pass keys
  std::vector<std::pair<char, QAction*>> letter_actions_;
  std::vector<std::pair<PassKey, QAction*>> pass_key_actions_;
  std::shared_ptr<const ResultsSnapshot> results_;
  TimeAxis axis_{};  // what a click on the chart's columns stores
  bool unsaved_ = false;
  AnalysisMenu* analysis_menu_ = nullptr;
  bool pass_waits_ = false;  // a correction pass waits for the mouse
  Place place_{};            // the pass window on show
  bool stopping_ = false;  // the program has ended: closing asks nothing
  bool docks_placed_ = false;  // the docks of the bottom have had their start height
  RecoveryKeeper* recovery_;
  std::filesystem::path recovery_looked_beside_;  // the results file whose recovery was offered
  std::shared_ptr<const RestoredTables> restore_;  // chosen, not yet taken by the program
};

}  // namespace telmor
