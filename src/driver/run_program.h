// The whole program: start-up dialogue, file read, preparation, chart,
// command loop and exit, as one sequential flow over a window layer.
#pragma once

#include <filesystem>

#include "console/window_layer.h"
#include "driver/run_record.h"

namespace telmor {

// Runs one session from the banner to the exit. Drive letter X of a built path
// maps to the folder drives_root/x (see drive_path.h). Returns after the
// layer's program_stop(); InputClosed thrown by the layer propagates.
void run_program(WindowLayer& layer, const std::filesystem::path& drives_root);

// The same session on a record the caller owns (zeroed, about 5 MB), so that
// a test can watch the run's tables while it goes on.
void run_program_on(WindowLayer& layer, const std::filesystem::path& drives_root,
                    RunRecord& record);

}  // namespace telmor
