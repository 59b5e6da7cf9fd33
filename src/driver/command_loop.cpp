// Command loop: redraw, menu prompt, dispatch from the menu's letters, exit.
#include "driver/command_loop.h"

#include <string>

#include "analysis/mark_figures.h"
#include "console/menu_letters.h"
#include "console/reply_read.h"
#include "correction/mark_correction.h"
#include "driver/drive_path.h"
#include "driver/overview.h"
#include "driver/recognition_commands.h"
#include "record/results_snapshot.h"
#include "record/text_rules.h"
#include "driver/results_dialogues.h"

namespace telmor {
namespace {

Resume pick_ranges(Session& s) {
  return pick_recognition_ranges(s.layer, s.record, s.drawing, s.beat_pick);
}
Resume detect(Session& s) { return detect_at_rt(s.layer, s.record, s.beat_pick.selected_beat_ms); }

// A correction pass ends with the offer to save what it changed.
Resume correct(Session& s, MarkKind kind) {
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

}  // namespace

void run_command_loop(WindowLayer& layer, RunRecord& record, DrawingState& drawing,
                      const std::filesystem::path& drives_root) {
  const std::string menu = menu_line();
  // One results file per recording, beside its data file.
  Session session{layer, record, drawing, host_path(record.result_path.view(), drives_root)};
  Resume resume = Resume::redraw;
  while (resume != Resume::exit) {
    if (resume == Resume::redraw) draw_overview(layer, record, drawing);
    layer.at_menu(snapshot_with_figures(record));
    layer.chart_write(menu);
    const MenuLetter* command = find_menu_letter(read_reply(layer, Window::chart));
    resume = command != nullptr ? run_command(command->action, session) : Resume::redraw;
    layer.show_unsaved(record.results_unsaved);
  }
  layer.chart_close();
}

}  // namespace telmor
