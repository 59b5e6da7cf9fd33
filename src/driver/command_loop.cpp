// Command loop: redraw, menu prompt, dispatch from the menu's letters, exit.
#include "driver/command_loop.h"

#include <memory>
#include <string>
#include <variant>

#include "console/menu_letters.h"
#include "console/reply_read.h"
#include "base/number_text.h"
#include "correction/beat_drop.h"
#include "correction/mark_correction.h"
#include "driver/drive_path.h"
#include "driver/overview.h"
#include "driver/recognition_commands.h"
#include "driver/beat_list.h"
#include "driver/record_preparation.h"
#include "record/results_snapshot.h"
#include "record/text_rules.h"
#include "files/file_seen_now.h"
#include "session/session_marks.h"
#include "driver/results_dialogues.h"

namespace telmor {
namespace {

// d picks its beat on the overview: when the chart does not show it, d
// first redraws it as the command loop does (which also rebuilds the beats).
Resume pick_ranges(Session& s) {
  if (!s.overview_shown) {
    draw_overview(s.layer, s.record, s.drawing);
    s.overview_shown = true;
  }
  return pick_recognition_ranges(s.layer, s.record, s.drawing, s.beat_pick);
}
Resume detect(Session& s) { return detect_at_rt(s.layer, s.record, s.beat_pick.selected_beat_ms); }

// A correction pass ends with the offer to save what it changed.
Resume correct(Session& s, MarkKind kind) {
  s.overview_shown = false;
  correct_marks(s.layer, s.record, s.drawing, kind);
  save_results(s.layer, s.record, s.results_file);
  return Resume::menu;
}

Resume save(Session& s) {
  save_results(s.layer, s.record, s.results_file);
  return Resume::menu;
}
Resume load(Session& s) {
  load_results(s.layer, s.record, s.results_file);
  return Resume::menu;
}
// With unsaved changes the user is asked first (where the window layer can
// ask); a save that fails keeps the program at its menu.
Resume leave(Session& s) {
  if (!s.record.results_unsaved) return Resume::exit;
  switch (s.layer.confirm_exit()) {
    case ExitChoice::save:
      return write_results(s.layer, s.record, s.results_file) ? Resume::exit : Resume::menu;
    case ExitChoice::cancel:
      return Resume::menu;
    case ExitChoice::discard:
      break;
  }
  return Resume::exit;
}

Resume run_command(MenuAction action, Session& s) {
  switch (action) {
    case MenuAction::ranges:
      return pick_ranges(s);
    case MenuAction::detect:
      return detect(s);
    case MenuAction::correct_at:
      return correct(s, MarkKind::at);
    case MenuAction::correct_rt:
      return correct(s, MarkKind::rt);
    case MenuAction::save:
      return save(s);
    case MenuAction::load:
      return load(s);
    case MenuAction::exit:
      return leave(s);
  }
  return Resume::redraw;
}

// A change asked for at the menu, and what the status bar says of it.
// The frame's analysis choices changed at the menu: the signals are
// differentiated again or the beats found again where what they rest on
// changed; the rest is c's, the next time it runs.
std::string analysis_note(Session& s, RunRecord& r) {
  const AnalysisChoice before = analysis_choice_of(r);
  const AnalysisChoice choice = s.layer.analysis_choice();
  take_analysis_choice(choice, r);
  std::string note;
  if (choice.kind != before.kind || choice.rt_smooth_points != before.rt_smooth_points) {
    differentiate(r, s.layer);  // the fits' messages to the console, as at start-up
    note = choice.kind == Estimator::legacy
               ? std::string("微分を仕様どおりの計算（legacy）にしました")
               : "微分を中心化3次（RT用 " + format_integer(choice.rt_smooth_points) + " ms）にしました";
  }
  if (choice.kind != before.kind || choice.blank_before_ms != before.blank_before_ms ||
      choice.blank_after_ms != before.blank_after_ms) {
    search_beats(r);
    int beats = 0;
    while (beats < kMaxRows && r.beat_found_list[static_cast<std::size_t>(beats)] != 0.0f) ++beats;
    note += (note.empty() ? "" : "。") + std::string("拍を探し直しました（") + format_integer(beats) + " 拍）";
  }
  if (note.empty()) note = "RTの窓の設定を変えました";
  return note + "。次の c から使われます";
}

// A step of the history, on the heap: its tables are over a hundred kB,
// more than a thread's stack should hold.
std::unique_ptr<MenuStep> step_of(const RunRecord& r, MenuStep::What what) {
  auto step = std::make_unique<MenuStep>();
  step->what = what;
  step->marks = r.marks;
  step->beats = r.beat_ms_list;
  step->detection = r.detection;
  return step;
}

std::string menu_edit_note(Session& s, const MenuEdit& edit) {
  RunRecord& r = s.record;
  if (edit.what == MenuEdit::What::restore) {
    if (!edit.restored) return "復元する表がありません";
    r.marks = edit.restored->marks;
    r.at_from = edit.restored->at_from;
    r.at_to = edit.restored->at_to;
    r.rt_from = edit.restored->rt_from;
    r.rt_to = edit.restored->rt_to;
    // Drops made before cannot be taken back over them.
    update_unsaved(r);
    s.menu_undo.clear();
    return "回復ファイルから表を復元しました（未保存）";
  }
  if (edit.what == MenuEdit::What::analysis) return analysis_note(s, r);
  if (edit.what == MenuEdit::What::undo) {
    if (s.menu_undo.empty()) return "取り消す操作がありません";
    const MenuStep& step = s.menu_undo.back();
    r.marks = step.marks;
    r.beat_ms_list = step.beats;
    r.detection = step.detection;
    update_unsaved(r);
    const std::string note = step.what == MenuStep::What::drop
                                 ? "拍 " + format_integer(step.beat_ms) + " ms の削除を取り消しました"
                                 : std::string(step.what == MenuStep::What::at_pass ? "AT" : "RT") +
                                       "修正での変更を取り消しました";
    s.menu_undo.pop_back();
    return note;
  }
  const std::string beat = "拍 " + format_integer(edit.beat_ms) + " ms";
  const std::unique_ptr<MenuStep> before = step_of(r, MenuStep::What::drop);
  before->beat_ms = edit.beat_ms;
  const int dropped = drop_beat_marks(r, edit.beat_ms);
  if (dropped < 0) return format_integer(edit.beat_ms) + " ms に拍はありません";
  if (dropped == 0) return beat + " の印はありません";
  // The beat stays in the tables the files are made of; the views leave out
  // the beats whose drop the history holds (menu_snapshot).
  s.menu_undo.push_back(std::move(*before));
  update_unsaved(r);
  return beat + " の印を " + format_integer(dropped) + " 個削除しました";
}

// The tables as the menu hands them to the views, with where their file lies.
ResultsSnapshot menu_snapshot(const Session& s) {
  ResultsSnapshot snapshot = snapshot_with_figures(s.record);
  snapshot.results_file = s.results_file;
  snapshot.undo_steps = static_cast<std::int32_t>(s.menu_undo.size());
  for (const MenuStep& step : s.menu_undo) {
    if (step.what == MenuStep::What::drop) snapshot.dropped_beats.push_back(step.beat_ms);
  }
  return snapshot;
}

// Makes the change; the view is handed the tables again and the menu's
// letter is read again.
void make_menu_edit(Session& s, const MenuEdit& edit) {
  s.layer.show_note(menu_edit_note(s, edit));
  s.layer.show_unsaved(s.record.results_unsaved);
  s.layer.at_menu(menu_snapshot(s));
}

// The ranges suggested from the recording, asked for at the menu: shown in
// d's window, then the overview and the menu line again as after a command.
void suggest_ranges_at_menu(Session& s, const std::string& menu) {
  if (suggest_recognition_ranges(s.layer, s.record, s.drawing, s.beat_pick) == Resume::redraw) {
    draw_overview(s.layer, s.record, s.drawing);
    s.overview_shown = true;
    s.layer.at_menu(menu_snapshot(s));
    s.layer.chart_write(menu);
  }
}

// The menu's reply; changes asked for at the menu are made meanwhile.
TextField read_menu_letter(Session& s, const std::string& menu) {
  for (;;) {
    std::variant<TextField, MenuEdit> read = read_menu_reply(s.layer);
    if (TextField* reply = std::get_if<TextField>(&read)) return *reply;
    const MenuEdit& edit = std::get<MenuEdit>(read);
    if (edit.what == MenuEdit::What::suggest_ranges) {
      suggest_ranges_at_menu(s, menu);
    } else {
      make_menu_edit(s, edit);
    }
  }
}

}  // namespace

void run_command_loop(WindowLayer& layer, RunRecord& record, DrawingState& drawing,
                      const std::filesystem::path& drives_root) {
  const std::string menu = menu_line();
  // One results file per recording, beside its data file.
  Session session{layer, record, drawing, results_file_of(record, drives_root)};
  // What the results file holds as the run starts on the recording: a save
  // replaces only that, or what the run itself loads or saves later.
  if (record.results_seen.kind == FileSeen::Kind::unknown) record.results_seen = see_file(session.results_file);
  Resume resume = Resume::redraw;
  while (resume != Resume::exit) {
    if (resume == Resume::redraw) {
      draw_overview(layer, record, drawing);
      session.overview_shown = true;
    }
    layer.at_menu(menu_snapshot(session));
    layer.chart_write(menu);
    const MenuLetter* command = find_menu_letter(read_menu_letter(session, menu));
    // A pass's changes become one step of the menu's history; a command that
    // replaces the tables (c, o) ends it.
    const bool pass = command != nullptr && (command->action == MenuAction::correct_at ||
                                              command->action == MenuAction::correct_rt);
    const std::unique_ptr<MenuStep> before =
        step_of(record, command != nullptr && command->action == MenuAction::correct_rt ? MenuStep::What::rt_pass
                                                                                         : MenuStep::What::at_pass);
    resume = command != nullptr ? run_command(command->action, session) : Resume::redraw;
    if (!same_tables(before->marks, record.marks, record.lead_count)) {
      if (pass) {
        session.menu_undo.push_back(std::move(*before));
      } else {
        session.menu_undo.clear();
      }
    }
    layer.show_unsaved(record.results_unsaved);
  }
  layer.chart_close();
}

}  // namespace telmor
