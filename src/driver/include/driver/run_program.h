// The whole program: start-up dialogue, file read, preparation, chart,
// command loop and exit, as one sequential flow over a window layer.
#pragma once

#include <filesystem>
#include <memory>

#include "console/drawing_state.h"
#include "console/window_layer.h"
#include "record/run_record.h"

namespace telmor {

// Runs one session from the banner to the exit. Drive letter X of a built path
// maps to the folder drives_root/x (see drive_path.h). An opened recording
// takes the place of the dialogue and the file read; so does one the layer
// hands over later (OpenRecordingRequest), which starts the run over.
// Returns after the layer's program_stop(); InputClosed thrown by the layer
// propagates.
void run_program(WindowLayer& layer, const std::filesystem::path& drives_root);
void run_program_opening(WindowLayer& layer, const std::filesystem::path& drives_root,
                         std::shared_ptr<const OpenRequest> opened);

// The same session on a record and a drawing state the caller owns (zeroed,
// about 5 MB), so that a test can watch them while the run goes on.
void run_program_on(WindowLayer& layer, const std::filesystem::path& drives_root,
                    RunRecord& record, DrawingState& drawing,
                    std::shared_ptr<const OpenRequest> opened = nullptr);

}  // namespace telmor
