// Click edits and the re-sort of one lead's column of times.
#include "correction/mark_table.h"

#include <cmath>

namespace telmor {
namespace {

constexpr float kFar = 999999.0f;  // farther than any time in a recording

// Row among 1..last whose time is nearest t (0 when all are empty), with its
// distance in best. The later row wins a tie. Empty entries are not times: a
// click in the first 40 ms must not pair with them.
int nearest_row(const MarkColumn& column, int last, float t, float& best) {
  best = kFar;
  int at = 0;
  for (int r = 1; r <= last; ++r) {
    if (column[r - 1] == 0.0f) continue;
    const float dist = std::fabs(column[r - 1] - t);
    if (dist <= best) {
      best = dist;
      at = r;
    }
  }
  return at;
}

}  // namespace

ClickEdit edit_at_click(MarkColumn& column, SourceColumn& sources, std::int32_t& count, float t,
                        float* changed) {
  float best = kFar;
  if (count >= kMaxRows) {
    // No row left for t, but a removal needs none.
    const int at = nearest_row(column, kMaxRows, t, best);
    if (best > kRemoveWithinMs) return ClickEdit::table_full;
    if (changed != nullptr) *changed = column[at - 1];
    column[at - 1] = 0.0f;
    sources[at - 1] = MarkSource::none;
    sort_times(column, sources, kMaxRows);
    return ClickEdit::removed;
  }

  ++count;
  column[count - 1] = t;
  // A click at the very start of a recording stores 0.0, which is no time.
  sources[count - 1] = t != 0.0f ? MarkSource::hand : MarkSource::none;
  const int at = nearest_row(column, count - 1, t, best);
  ClickEdit edit = ClickEdit::added;
  if (changed != nullptr) *changed = t;
  if (best <= kRemoveWithinMs) {
    if (changed != nullptr) *changed = column[at - 1];
    column[at - 1] = 0.0f;
    sources[at - 1] = MarkSource::none;
    column[count - 1] = 0.0f;
    sources[count - 1] = MarkSource::none;
    --count;
    edit = ClickEdit::removed;
  }
  sort_times(column, sources, count);
  return edit;
}

void sort_times(MarkColumn& column, SourceColumn& sources, int rows) {
  // The lead's own copies; the beat lists are never scratch.
  MarkColumn work{};
  SourceColumn work_sources{};
  for (int k = 1; k <= rows; ++k) {
    work[k - 1] = column[k - 1];
    work_sources[k - 1] = sources[k - 1];
  }
  for (int i = 1; i <= rows; ++i) {
    column[i - 1] = 0.0f;
    sources[i - 1] = MarkSource::none;
    float smallest = kFar;
    int taken = 0;
    for (int k = 1; k <= rows; ++k) {
      if (work[k - 1] != 0.0f && work[k - 1] < smallest) {
        smallest = work[k - 1];
        taken = k;
      }
    }
    if (taken > 0) {
      column[i - 1] = smallest;
      sources[i - 1] = work_sources[taken - 1];
      work[taken - 1] = 0.0f;
    }
  }
}

}  // namespace telmor
