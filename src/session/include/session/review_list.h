// Review by exception without the widgets: the cells the results view flags,
// in lead then beat order, each with the time that its pass window is to
// hold, and the walk from the window on show to the next or previous one.
#pragma once

#include <cstdint>
#include <vector>

#include "timing/beat_table.h"
#include "session/results_grid.h"
#include "console/window_layer.h"

namespace telmor {

struct ReviewItem {
  int lead = 0;
  int beat = 0;                // 0: the marks before the first beat
  std::int32_t target_ms = 0;  // the time its window is to hold
};

// The time a cell's window is to hold: its earliest mark of the kind, else
// its beat (beat 0 without marks: 0).
std::int32_t cell_target_ms(const BeatTable& table, int lead, int beat, MarkQuantity kind);

// The flagged cells of the AT or RT grid (kind at or rt), lead by lead.
std::vector<ReviewItem> review_items(const BeatTable& table, MarkQuantity kind);

// The index of the next (forward) or previous item whose time lies beyond the
// middle half of the window at place, across leads; -1 when none is left.
int next_review(const std::vector<ReviewItem>& items, const Place& place, bool forward);

}  // namespace telmor
