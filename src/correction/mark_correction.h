// a and r: the correction pass over every window of every lead, ending with
// the offer to save.
#pragma once

#include <filesystem>

#include "console/window_layer.h"
#include "correction/mark_kind.h"
#include "driver/run_record.h"

namespace telmor {

// Walks the windows of all leads from the first window of lead 1, adding and
// removing the kind's times with left clicks; right press steps on, right
// double-click back. Stepping past the last window clears the chart and runs
// the save dialogue. Leaves amp_max and yscale at the last window's scale.
// Needs record_seconds >= 1. results_file is the host path of the record's
// results file, for the save dialogue at the end of the pass.
void correct_marks(WindowLayer& layer, RunRecord& record, MarkKind kind,
                   const std::filesystem::path& results_file);

}  // namespace telmor
