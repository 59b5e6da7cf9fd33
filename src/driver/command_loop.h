// The command menu in the chart window and its dispatch.
#pragma once

#include <filesystem>

#include "console/window_layer.h"
#include "driver/run_record.h"

namespace telmor {

// Where a command hands control back to the loop.
enum class Resume { redraw, menu };

// Redraws the overview, shows the menu line, reads a one-letter command from
// the chart window and runs it, until x or X; then closes the chart window.
void run_command_loop(WindowLayer& layer, RunRecord& record,
                      const std::filesystem::path& drives_root);

}  // namespace telmor
