// The results view's grid without the widgets: one row per lead, one column
// per beat (and one for the marks before the first beat's range, when there
// are any), the value shown in each cell, which cells ask for a look, which
// hold a hand mark, and the figures per lead.
#pragma once

#include <cstdint>
#include <vector>

#include "timing/beat_table.h"

namespace telmor {

struct GridCell {
  bool has_value = false;
  std::int32_t value = 0;  // whole ms
  // What the cell's colour shows: for AT and RT the time from the beat (an
  // activation map reads across leads that way), for ARI the ARI itself.
  bool has_shade = false;
  std::int32_t shade = 0;
  bool flagged = false;    // a kind shown asks for a look (a review other than none)
  bool by_hand = false;    // a mark of a kind shown was made by a click
  // Why, per kind shown (none for a kind not shown).
  MarkReview at_review = MarkReview::none;
  MarkReview rt_review = MarkReview::none;
};

// Per lead, over beats 1..n: the figures are of the shades, so that for AT
// and RT they say how late after its beat a lead activates or recovers, and
// how much that varies from beat to beat.
struct LeadFigures {
  int both = 0;  // beats with both an AT and an RT
  int values = 0;
  double mean = 0.0;  // meaningful when values > 0
  double sd = 0.0;    // the sample standard deviation; meaningful when values > 1
};

struct ResultsGrid {
  MarkQuantity quantity = MarkQuantity::at;
  int leads = 0;
  std::vector<std::int32_t> beats;  // column k - 1 of the beats: beat k
  bool before_first = false;        // a column for beat 0 (marks before the first beat)
  std::vector<GridCell> cells;      // lead by lead, beat 0 first
  std::vector<LeadFigures> figures;
  std::vector<char> dead_leads;     // lead j at [j - 1]: no signal to mark
  bool dead(int lead) const {
    return static_cast<std::size_t>(lead - 1) < dead_leads.size() && dead_leads[static_cast<std::size_t>(lead - 1)];
  }
  int flagged = 0;
  SourceCounts sources;
  bool has_shades = false;
  std::int32_t lowest = 0, highest = 0;  // of the shades

  const GridCell& cell(int lead, int beat) const {
    return cells[static_cast<std::size_t>((lead - 1) * (static_cast<int>(beats.size()) + 1) + beat)];
  }
};

// A beat asks for a look when it owns several marks of a kind shown or none;
// beat 0 when it owns any (a mark earlier than the first beat's range).
// Tables without a single mark (before the first c or o) ask for none.
ResultsGrid make_results_grid(const BeatTable& table, MarkQuantity quantity);

}  // namespace telmor
