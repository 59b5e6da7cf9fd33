// The command menu in the chart window and its dispatch.
#pragma once

#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include "console/drawing_state.h"
#include "console/window_layer.h"
#include "driver/recognition_commands.h"
#include "record/resume.h"
#include "record/run_record.h"

namespace telmor {

// What every command of the menu works on.
struct Session {
  WindowLayer& layer;
  RunRecord& record;
  DrawingState& drawing;
  std::filesystem::path results_file;  // host path of result_path
  BeatPick beat_pick{};                // d's beat, from one command to the next
  // Whether the chart shows the overview: a correction pass clears it and
  // leaves text only, and d must not ask for a click near a curve not shown.
  bool overview_shown = false;
  // The tables before each drop of a beat's
  // marks made at the menu since the last command, for undo at the menu.
  std::vector<MarkTables> menu_undo{};
};

// Redraws the overview, shows the menu line, reads a one-letter command from
// the chart window and runs it, until x or X; then closes the chart window.
void run_command_loop(WindowLayer& layer, RunRecord& record, DrawingState& drawing,
                      const std::filesystem::path& drives_root);

}  // namespace telmor
