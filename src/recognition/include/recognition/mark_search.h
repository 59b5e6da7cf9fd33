// c's search on tables of any size: the interactive program's fixed tables or
// tables sized to one recording. The record's functions in find_at_rt.h run
// on these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace telmor {

// The derivative as the search reads it: lead j (1-based), sample s at
// values[(j - 1) * lead_stride + (s - 1)] for s = 1..stored. Samples
// stored+1..searched exist and hold 0.0 (the interactive program's table is
// 30000 samples long, whatever the recording's length, and searches them like
// any other); positions outside 1..searched are skipped.
struct DerivativeView {
  const float* values = nullptr;
  std::size_t lead_stride = 0;
  int stored = 0;
  int searched = 0;

  bool holds(long s) const { return s >= 1 && s <= searched; }
  // s must be held.
  float at(int lead, long s) const {
    return s <= stored ? values[static_cast<std::size_t>(lead - 1) * lead_stride +
                                static_cast<std::size_t>(s - 1)]
                       : 0.0f;
  }
};

// One kind of marks of every lead: lead j, row k at values[(j - 1) *
// lead_stride + (k - 1)].
struct MarkRows {
  float* values = nullptr;
  std::size_t lead_stride = 0;
  float& at(int lead, int row) const {
    return values[static_cast<std::size_t>(lead - 1) * lead_stride + static_cast<std::size_t>(row - 1)];
  }
};

// What the search needs besides the derivative: the recording's length, the
// leads searched and the ranges from a beat, in samples (at 1 kHz: ms); a
// beat before sample earliest_beat or later than end_margin samples before
// the recording's end is not searched.
struct MarkSearch {
  int sample_count = 0;
  int lead_count = 0;
  std::int32_t at_from = 0, at_to = 0, rt_from = 0, rt_to = 0;
  long earliest_beat = 101;
  long end_margin = 200;
};

// Of two marks this near (in samples; at 1 kHz, ms) only one stays.
inline constexpr float kDuplicateSamplesAt1kHz = 50.0f;

// Fills rows 1..row_beats.size() of at and rt for every lead: row k from the
// beat row_beats[k - 1] (a sample). A beat outside the search's earliest and
// end margin (the 0 of an empty row among them) is not searched and leaves
// its row empty. AT: the first sample of the deepest minimum of at_deriv in
// the AT range; RT: the first sample of the highest strict local maximum of
// rt_deriv in the RT range (its neighbours may lie outside the range).
void find_marks(const DerivativeView& at_deriv, const DerivativeView& rt_deriv, const MarkSearch& search,
                std::span<const std::int32_t> row_beats, MarkRows at, MarkRows rt);

// Of two marks of a lead at most `near` samples apart in rows 1..rows, keeps
// the one at the lower derivative (AT, of at_deriv) or the higher derivative
// (RT, of rt_deriv), row after row as the pairs come.
void drop_near_duplicate_marks(const DerivativeView& at_deriv, const DerivativeView& rt_deriv,
                               int lead_count, int rows, MarkRows at, MarkRows rt,
                               float near = kDuplicateSamplesAt1kHz);

// The same by looking at every pair of rows: the reference the rule is
// checked against.
void drop_near_duplicate_marks_by_pairs(const DerivativeView& at_deriv, const DerivativeView& rt_deriv,
                                        int lead_count, int rows, MarkRows at, MarkRows rt,
                                        float near = kDuplicateSamplesAt1kHz);

}  // namespace telmor
