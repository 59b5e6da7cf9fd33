// Reads the waveform file named in the dialogue, with its message blocks.
#pragma once

#include <filesystem>

#include "console/window_layer.h"
#include "record/run_record.h"

namespace telmor {

// Opens data_path (mapped under drives_root), reads it into wave_table and
// writes the success line; on failure writes the matching message block and
// takes the user's acknowledgement into reply. Returns true on success.
bool read_waveform_file(WindowLayer& layer, RunRecord& record,
                        const std::filesystem::path& drives_root);

}  // namespace telmor
