// The results file: the AT and RT tables of a run as text, and the save and
// load dialogues that write and read it in the chart window.
#pragma once

#include <filesystem>

#include "console/window_layer.h"
#include "driver/run_record.h"

namespace telmor {

// s, and the end of every correction pass. file is the host path of the
// record's results file.
void save_results(WindowLayer& layer, RunRecord& record, const std::filesystem::path& file);
// o.
void load_results(WindowLayer& layer, RunRecord& record, const std::filesystem::path& file);

}  // namespace telmor
