// a and r: the correction pass over every window of every lead, ending with
// the offer to save.
#pragma once

#include <filesystem>

#include "console/window_layer.h"
#include "driver/run_record.h"

namespace telmor {

enum class MarkKind { at, rt };

// results_file is the host path of the record's results file, for the save
// dialogue at the end of the pass.
void correct_marks(WindowLayer& layer, RunRecord& record, MarkKind kind,
                   const std::filesystem::path& results_file);

}  // namespace telmor
