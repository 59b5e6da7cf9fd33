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
// (the same without ".txt", then "ari.csv") from drive and file_name. A name
// (as typed, without .txt) longer than the field's 12 characters is kept
// whole in the record's shown paths and recording name, which the reading
// and the saving then use. Returns the path line shown before the extension
// is added: 30 characters, or the whole path of a longer name.
std::string build_paths(RunRecord& record, std::string_view name = {});

// The typed name without a .txt (or .TXT) at its end: the file's own
// extension, which the paths add.
std::string_view without_txt(std::string_view typed);

// What the status bar says of a typed file name that is not opened as it
// stands: one holding a blank (only what comes before it is used), ending in
// .txt (taken as the extension) or longer than the 12 characters the field
// keeps (opened whole); "" for a name without these.
std::string file_name_note(std::string_view typed);

}  // namespace telmor
