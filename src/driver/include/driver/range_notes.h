// What the status bar says of recognition ranges clicked right to left: they
// are kept as clicked, and c then finds nothing in them, so the user is told.
#pragma once

#include <string>

#include "record/run_record.h"

namespace telmor {

// "" when both ranges run forward; otherwise which range is reversed, with
// its bounds in ms from the beat.
std::string reversed_range_note(const RunRecord& record);

}  // namespace telmor
