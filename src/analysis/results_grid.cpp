// The figures of the results view's grid.
#include "analysis/results_grid.h"

#include <algorithm>
#include <cmath>

#include "analysis/mark_figures.h"

namespace telmor {
namespace {

bool shows_at(GridQuantity q) { return q != GridQuantity::rt; }
bool shows_rt(GridQuantity q) { return q != GridQuantity::at; }

// What is wrong with the marks of one kind that beat k owns.
std::string review_of(const OwnedMarks& marks, int beat, const char* kind, double weak) {
  if (beat == 0) return marks.count > 0 ? std::string("最初の拍より前の") + kind : std::string();
  if (marks.count == 0) return std::string(kind) + "なし";
  if (marks.count > 1) return std::string(kind) + "が複数";
  // A slope that hardly stands out of the lead's noise is more often wrong
  // than right; a mark the user set by hand is the user's call.
  if (marks.quality < weak && marks.earliest_source != MarkSource::hand)
    return std::string(kind) + "が弱い";
  return {};
}

void join(std::string& text, const std::string& more) {
  if (more.empty()) return;
  if (!text.empty()) text += "、";
  text += more;
}

}  // namespace

ResultsGrid make_results_grid(const BeatTable& table, GridQuantity quantity) {
  ResultsGrid grid;
  grid.quantity = quantity;
  grid.leads = table.leads;
  grid.beats = table.beats;
  grid.sources = table.sources;
  for (int lead = 1; lead <= table.leads; ++lead) {
    LeadFigures figures;
    double sum = 0.0, squares = 0.0;
    for (int beat = 0; beat <= table.beat_count(); ++beat) {
      const BeatCell& marks = table.cell(lead, beat);
      GridCell cell;
      if (shows_at(quantity)) join(cell.review, review_of(marks.at, beat, "AT", kWeakAtQuality));
      if (shows_rt(quantity)) join(cell.review, review_of(marks.rt, beat, "RT", kWeakRtQuality));
      cell.flagged = !cell.review.empty();
      cell.by_hand = (shows_at(quantity) && marks.at.by_hand > 0) ||
                     (shows_rt(quantity) && marks.rt.by_hand > 0);
      const bool at = marks.at.count > 0, rt = marks.rt.count > 0;
      switch (quantity) {
        case GridQuantity::at:
          cell.has_value = at;
          cell.value = marks.at.earliest;
          break;
        case GridQuantity::rt:
          cell.has_value = rt;
          cell.value = marks.rt.earliest;
          break;
        case GridQuantity::ari:
          cell.has_value = at && rt;
          cell.value = marks.rt.earliest - marks.at.earliest;
          break;
      }
      if (!cell.has_value) cell.value = 0;
      // Beat 0 has no beat to measure from.
      cell.has_shade = cell.has_value && (beat > 0 || quantity == GridQuantity::ari);
      if (cell.has_shade) {
        cell.shade = quantity == GridQuantity::ari
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
