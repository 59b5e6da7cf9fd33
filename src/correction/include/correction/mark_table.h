// Editing one lead's column of AT or RT times at a click: add the clicked
// time, or take away a stored time near it, and keep the column sorted.
#pragma once

#include <cstdint>

#include "correction/mark_kind.h"

namespace telmor {

// A click this close (ms) to a stored time removes that time instead of adding one.
inline constexpr float kRemoveWithinMs = 40.0f;

enum class ClickEdit { added, removed, table_full };

// Applies a click at time t (ms) to column, whose rows 1..count are in use
// (count is shared by all leads; 0 <= count). Below 200 rows, t goes into row
// count + 1 and count rises by one; if a non-empty row among the earlier
// ones lies within 40 ms of t, that row and the new one are cleared and the
// count goes back down. At 200 rows a time within 40 ms is still removed
// (count unchanged); otherwise nothing changes and table_full comes back.
// After any change rows 1..count are re-sorted with sort_times. sources is
// the column's sources: an added time is a hand mark, a removed one leaves
// none, and each source moves with its time. changed, when given, gets the
// time added or removed.
ClickEdit edit_at_click(MarkColumn& column, SourceColumn& sources, std::int32_t& count, float t,
                        float* changed = nullptr);

// Rows 1..rows become their non-zero times in ascending order, then 0.0,
// each with its source (none for the empty rows). Equal times are all kept,
// in their order in the column.
void sort_times(MarkColumn& column, SourceColumn& sources, int rows);

}  // namespace telmor
