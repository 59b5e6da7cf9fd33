// Command loop: redraw, menu prompt, dispatch from the table of letters, exit.
#include "driver/command_loop.h"

#include <array>

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

constexpr std::string_view kMenuLine =
    "保存(s),既データ読込(o),認識範囲(d),計算(c),AT修正(a),RT修正(r),終了(x)";

Resume pick_ranges(Session& s) { return pick_recognition_ranges(s.layer, s.record, s.drawing); }
Resume detect(Session& s) { return detect_at_rt(s.layer, s.record); }

// A correction pass ends with the offer to save what it changed.
Resume correct(Session& s, MarkKind kind) {
  correct_marks(s.layer, s.record, s.drawing, kind);
  save_results(s.layer, s.record, s.results_file);
  return Resume::menu;
}
Resume correct_at(Session& s) { return correct(s, MarkKind::at); }
Resume correct_rt(Session& s) { return correct(s, MarkKind::rt); }

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

constexpr std::array kCommands = {
    MenuCommand{'d', pick_ranges}, MenuCommand{'c', detect}, MenuCommand{'a', correct_at},
    MenuCommand{'r', correct_rt},  MenuCommand{'s', save},   MenuCommand{'o', load},
    MenuCommand{'x', leave},
};

}  // namespace

std::span<const MenuCommand> menu_commands() { return kCommands; }

const MenuCommand* find_command(const TextField& reply) {
  for (const MenuCommand& command : kCommands) {
    if (is_command(reply, command.letter)) return &command;
  }
  return nullptr;
}

void run_command_loop(WindowLayer& layer, RunRecord& record, DrawingState& drawing,
                      const std::filesystem::path& drives_root) {
  // One results file per recording, beside its data file.
  Session session{layer, record, drawing, host_path(record.result_path.view(), drives_root)};
  Resume resume = Resume::redraw;
  while (resume != Resume::exit) {
    if (resume == Resume::redraw) draw_overview(layer, record, drawing);
    layer.at_menu(snapshot_results(record));
    layer.chart_write(kMenuLine);
    read_text(layer, Window::chart, record.reply);
    const MenuCommand* command = find_command(record.reply);
    resume = command != nullptr ? command->run(session) : Resume::redraw;
    layer.show_unsaved(record.results_unsaved);
  }
  layer.chart_close();
}

}  // namespace telmor
