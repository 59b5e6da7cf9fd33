// The review list of flagged cells and the walk along it.
#include "session/review_list.h"

#include <tuple>

namespace telmor {

std::int32_t cell_target_ms(const BeatTable& table, int lead, int beat, MarkQuantity kind) {
  const BeatCell& cell = table.cell(lead, beat);
  const OwnedMarks& marks = kind == MarkQuantity::rt ? cell.rt : cell.at;
  if (marks.count > 0) return marks.earliest;
  return beat == 0 ? 0 : table.beats[static_cast<std::size_t>(beat - 1)];
}

std::vector<ReviewItem> review_items(const BeatTable& table, MarkQuantity kind) {
  std::vector<ReviewItem> items;
  if (table.leads == 0) return items;
  const ResultsGrid grid = make_results_grid(table, kind);
  for (int lead = 1; lead <= grid.leads; ++lead) {
    for (int beat = 0; beat <= table.beat_count(); ++beat) {
      if (grid.cell(lead, beat).flagged)
        items.push_back({lead, beat, cell_target_ms(table, lead, beat, kind)});
    }
  }
  return items;
}

int next_review(const std::vector<ReviewItem>& items, const Place& place, bool forward) {
  // The middle half of a window is where the walk has looked already: a
  // flagged time there is the one on show.
  const int quarter = (place.end_ms - place.start_ms) / 4;
  if (forward) {
    const auto from = std::make_tuple(place.lead, place.end_ms - quarter);
    for (std::size_t k = 0; k < items.size(); ++k) {
      if (std::make_tuple(items[k].lead, items[k].target_ms) >= from) return static_cast<int>(k);
    }
    return -1;
  }
  const auto before = std::make_tuple(place.lead, place.start_ms + quarter);
  for (std::size_t k = items.size(); k-- > 0;) {
    if (std::make_tuple(items[k].lead, items[k].target_ms) < before) return static_cast<int>(k);
  }
  return -1;
}

}  // namespace telmor
