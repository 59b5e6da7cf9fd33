// Marks belong to beats by time: the AT and RT tables of a run laid out as
// one cell per lead and beat, as the batch summary and the results view show
// them. Rows of the tables stop lining up across leads as soon as a user edits
// one lead; times do not.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "signal/mark_source.h"
#include "timing/analysis.h"
#include "timing/cycle_search.h"

namespace telmor {

// The marks of one kind that a beat owns in one lead.
struct OwnedMarks {
  int count = 0;              // how many (more than one: something to review)
  std::int32_t earliest = 0;  // the earliest of them, whole ms; meaningful when count > 0
  int earliest_row = 0;       // its row in the table (from 1); 0 when count is 0
  MarkSource earliest_source = MarkSource::none;
  int by_hand = 0;            // how many of them a click in a correction pass made
  // The earliest mark's fine time and quality (NaN when not known).
  double fine_ms = std::numeric_limits<double>::quiet_NaN();
  double quality = std::numeric_limits<double>::quiet_NaN();
  // The earliest mark's flag (near_edge) or, without a mark, why the search
  // found none; the earliest RT's T wave.
  MarkFlag flag = MarkFlag::none;
  TPolarity polarity = TPolarity::none;
};

// How many marks of both kinds came from each source.
struct SourceCounts {
  int detected = 0;
  int hand = 0;
  int loaded = 0;
};

struct BeatCell {
  OwnedMarks at;
  OwnedMarks rt;
};

// Beat 0 holds the marks earlier than the first beat's range; beats 1..n are
// the recording's beats in time order.
struct BeatTable {
  std::vector<std::int32_t> beats;  // beats[k - 1]: beat k in whole ms, ascending
  int leads = 0;
  std::vector<BeatCell> cells;      // lead by lead, beats 0..n of each
  SourceCounts sources;
  std::vector<char> dead_leads;     // lead j at [j - 1]: no signal to mark (empty: none known)
  bool dead(int lead) const {
    return static_cast<std::size_t>(lead - 1) < dead_leads.size() && dead_leads[static_cast<std::size_t>(lead - 1)];
  }

  int beat_count() const { return static_cast<int>(beats.size()); }
  const BeatCell& cell(int lead, int beat) const {
    return cells[static_cast<std::size_t>((lead - 1) * (beat_count() + 1) + beat)];
  }
};

// Marks of one kind of every lead in tables of any size: lead j, row k at
// [(j - 1) * lead_stride + (k - 1)] of each, rows 1..rows in use. Without
// sources every mark counts as detected.
struct MarkEntries {
  const float* times = nullptr;
  const MarkSource* sources = nullptr;
  const double* fine = nullptr;
  const double* quality = nullptr;
  std::size_t lead_stride = 0;
  int rows = 0;
  // Optional, as the times: the beat (1..n) whose window found or holds each
  // entry (0: none, owned by time), its flag and (RT) its T wave.
  const int* owners = nullptr;
  const MarkFlag* flags = nullptr;
  const TPolarity* polarity = nullptr;
};

// Why cells have no mark: lead j, beat k (1..n) at [(j - 1) * n + (k - 1)]
// for each kind; nullptr: not known.
struct CellReasons {
  const MarkFlag* at = nullptr;
  const MarkFlag* rt = nullptr;
};

// An entry with an owner (1..n) belongs to that beat. Otherwise beat k (beats in
// ascending whole ms) owns the times t with beat_k + at_from <= t <
// beat_(k+1) + at_from (the last beat: every later time); earlier times
// belong to beat 0. The non-empty entries (not 0.0) of rows 1..rows of leads
// 1..leads are assigned, each as the whole ms the results file writes it
// (nearest, halves away from zero; a time the file cannot hold has no place).
// A cell left without a mark takes its reason.
BeatTable assign_marks(std::vector<std::int32_t> beats, std::int32_t at_from, int leads,
                       const MarkEntries& at, const MarkEntries& rt, const CellReasons& reasons = {});

// The marks of an analysis by beat, as the summary lays them out: centred,
// each mark with the beat whose window found it, with its flags and T wave;
// legacy, assigned by time with the AT range's start, as specified.
BeatTable marks_by_beat(const Analysis& analysis);

// The leads (not dead) whose marks of a kind lie at or near an end of their
// windows (flag edge or near_edge) or are weak (quality below kWeakAtQuality
// or kWeakRtQuality) in more than a fifth of the beats searched (beats 1..n
// with a mark or a flag of that kind): the range probably misses the wave.
std::vector<RangeWarning> crowded_ends(const BeatTable& table);

// What a table of marks by beat can show per lead and beat.
enum class MarkQuantity { at, rt, ari };

// Why the marks of one kind that a beat owns ask for a look: marks before the
// first beat's range (beat 0), none, several, one whose slope hardly stands
// out of its lead's noise; none because the search found no extremum inside
// its window (edge: steepest at an end, flat, no_window: no room for one),
// or one near an end of its window.
enum class MarkReview : std::uint8_t { none, before_first_beat, missing, several, weak, edge, flat, no_window, near_edge };

}  // namespace telmor
