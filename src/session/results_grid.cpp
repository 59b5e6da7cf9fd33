// The figures of the results view's grid.
#include "session/results_grid.h"

#include <algorithm>
#include <cmath>

#include "timing/mark_figures.h"

namespace telmor {
namespace {

bool shows_at(MarkQuantity q) { return q != MarkQuantity::rt; }
bool shows_rt(MarkQuantity q) { return q != MarkQuantity::at; }

// What is wrong with the marks of one kind that beat k owns.
MarkReview review_of(const OwnedMarks& marks, int beat, double weak) {
  if (beat == 0) return marks.count > 0 ? MarkReview::before_first_beat : MarkReview::none;
  if (marks.count == 0) {
    switch (marks.flag) {
      case MarkFlag::edge:
        return MarkReview::edge;
      case MarkFlag::flat:
        return MarkReview::flat;
      case MarkFlag::no_window:
        return MarkReview::no_window;
      default:
        return MarkReview::missing;
    }
  }
  if (marks.count > 1) return MarkReview::several;
  // A slope that hardly stands out of the lead's noise is more often wrong
  // than right, and one at the end of its window may belong to a wave beyond
  // it; a mark the user set by hand is the user's call.
  if (marks.earliest_source == MarkSource::hand) return MarkReview::none;
  if (marks.quality < weak) return MarkReview::weak;
  if (marks.flag == MarkFlag::near_edge) return MarkReview::near_edge;
  return MarkReview::none;
}

}  // namespace

ResultsGrid make_results_grid(const BeatTable& table, MarkQuantity quantity) {
  // Tables without a single mark (before the first c or o) ask for no look:
  // there is nothing yet to review.
  bool any_mark = false;
  for (int lead = 1; lead <= table.leads && !any_mark; ++lead) {
    for (int beat = 0; beat <= table.beat_count() && !any_mark; ++beat)
      any_mark = table.cell(lead, beat).at.count > 0 || table.cell(lead, beat).rt.count > 0;
  }
  ResultsGrid grid;
  grid.quantity = quantity;
  grid.leads = table.leads;
  grid.beats = table.beats;
  grid.sources = table.sources;
  for (int lead = 1; lead <= table.leads; ++lead) {
    grid.dead_leads.push_back(table.dead(lead) ? 1 : 0);
    LeadFigures figures;
    double sum = 0.0, squares = 0.0;
    for (int beat = 0; beat <= table.beat_count(); ++beat) {
      const BeatCell& marks = table.cell(lead, beat);
      GridCell cell;
      // A lead with no signal has nothing to review: its row says so once.
      const bool reviewed = any_mark && !table.dead(lead);
      if (shows_at(quantity) && reviewed) cell.at_review = review_of(marks.at, beat, kWeakAtQuality);
      if (shows_rt(quantity) && reviewed) cell.rt_review = review_of(marks.rt, beat, kWeakRtQuality);
      cell.flagged = cell.at_review != MarkReview::none || cell.rt_review != MarkReview::none;
      cell.by_hand = (shows_at(quantity) && marks.at.by_hand > 0) ||
                     (shows_rt(quantity) && marks.rt.by_hand > 0);
      const bool at = marks.at.count > 0, rt = marks.rt.count > 0;
      switch (quantity) {
        case MarkQuantity::at:
          cell.has_value = at;
          cell.value = marks.at.earliest;
          break;
        case MarkQuantity::rt:
          cell.has_value = rt;
          cell.value = marks.rt.earliest;
          break;
        case MarkQuantity::ari:
          cell.has_value = at && rt;
          cell.value = marks.rt.earliest - marks.at.earliest;
          break;
      }
      if (!cell.has_value) cell.value = 0;
      // Beat 0 has no beat to measure from.
      cell.has_shade = cell.has_value && (beat > 0 || quantity == MarkQuantity::ari);
      if (cell.has_shade) {
        cell.shade = quantity == MarkQuantity::ari
                         ? cell.value
                         : cell.value - grid.beats[static_cast<std::size_t>(beat - 1)];
      }
      if (beat == 0) {
        grid.before_first = grid.before_first || marks.at.count > 0 || marks.rt.count > 0;
      } else {
        figures.both += at && rt;
        if (cell.has_shade) {
          ++figures.values;
          sum += cell.shade;
          squares += static_cast<double>(cell.shade) * cell.shade;
        }
      }
      if (cell.has_shade) {
        grid.lowest = grid.has_shades ? std::min(grid.lowest, cell.shade) : cell.shade;
        grid.highest = grid.has_shades ? std::max(grid.highest, cell.shade) : cell.shade;
        grid.has_shades = true;
      }
      grid.flagged += cell.flagged;
      grid.cells.push_back(std::move(cell));
    }
    if (figures.values > 0) figures.mean = sum / figures.values;
    if (figures.values > 1) {
      const double spread = (squares - sum * figures.mean) / (figures.values - 1);
      figures.sd = std::sqrt(std::max(spread, 0.0));
    }
    grid.figures.push_back(figures);
  }
  return grid;
}

}  // namespace telmor
