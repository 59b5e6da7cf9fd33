// Start-up banner and the settings dialogue on the console.
#pragma once

#include <string>
#include <string_view>

#include "console/window_layer.h"
#include "record/run_record.h"

namespace telmor {

// The six banner lines, once per process.
void write_banner(WindowLayer& layer);

// Resets the settings and recognition ranges to their defaults, asks the three
// settings questions, the file name, the lead count and the seconds, and builds
// data_path and result_path. Writes reply, drive, amp_ratio, smooth_points,
// file_name, data_path, result_path, lead_count, record_seconds, sample_count
// and the four range offsets; nothing else.
void run_dialogue(WindowLayer& layer, RunRecord& record);

// Builds data_path (drive, ":\data\map\", the name, ".txt") and result_path
// (the same without ".txt", then "ari.csv") from drive and file_name. Returns
// the 30-character path line shown before the extension is added.
std::string build_paths(RunRecord& record);

// What the status bar says of a typed file name that will not name the file
// meant: one holding a blank (only what comes before it is used), ending in
// .txt (added again), or longer than the 12 characters the field keeps; ""
// for a name without these.
std::string file_name_note(std::string_view typed);

}  // namespace telmor
