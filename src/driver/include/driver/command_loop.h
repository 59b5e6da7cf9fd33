// The command menu in the chart window and its dispatch.
#pragma once

#include <array>
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

// One step undo at the menu takes back.
struct MenuStep {
  enum class What : std::uint8_t { drop, at_pass, rt_pass };
  What what = What::drop;
  std::int32_t beat_ms = 0;  // drop: the beat's time
  MarkTables marks;
  std::array<std::int32_t, kMaxRows> beats{};
  DetectionNotes detection;
};

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
  // What undo at the menu brings back, latest last: the tables, the beats and
  // the last centred c's notes before each drop of a beat and each
  // correction pass that changed the tables; c and o, which replace the
  // tables, end the history.
  std::vector<MenuStep> menu_undo{};
};

// Redraws the overview, shows the menu line, reads a one-letter command from
// the chart window and runs it, until x or X; then closes the chart window.
void run_command_loop(WindowLayer& layer, RunRecord& record, DrawingState& drawing,
                      const std::filesystem::path& drives_root);

}  // namespace telmor
