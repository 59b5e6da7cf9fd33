// The command menu in the chart window and its dispatch.
#pragma once

#include <filesystem>
#include <span>
#include <string_view>

#include "console/drawing_state.h"
#include "console/window_layer.h"
#include "record/resume.h"
#include "record/run_record.h"

namespace telmor {

// What every command of the menu works on.
struct Session {
  WindowLayer& layer;
  RunRecord& record;
  DrawingState& drawing;
  std::filesystem::path results_file;  // host path of result_path
};

// One letter of the menu (either case) and what it runs; the command says how
// the loop goes on.
struct MenuCommand {
  char letter;
  Resume (*run)(Session& session);
};

// The menu's commands: d, c, a, r, s, o and x.
std::span<const MenuCommand> menu_commands();

// The command whose letter the reply field holds (as a whole field), or null:
// any other reply redraws.
const MenuCommand* find_command(const TextField& reply);

// Redraws the overview, shows the menu line, reads a one-letter command from
// the chart window and runs it, until x or X; then closes the chart window.
void run_command_loop(WindowLayer& layer, RunRecord& record, DrawingState& drawing,
                      const std::filesystem::path& drives_root);

}  // namespace telmor
