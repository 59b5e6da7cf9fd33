// c's search with windows that follow each lead's own cycle (the centred
// estimator's): a beat's RT window ends a margin before the lead's AT of the
// next beat, so that no window reaches the next upstroke however short the
// cycle and however late the site; windows of one kind never overlap, so
// every mark has the one beat whose window found it; and where the
// derivative has no extremum inside a window (flat, or steepest at an end:
// the wave lies beyond) the beat gets no mark there, with the reason.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "signal/mark_flag.h"

namespace telmor {

// Samples from..to of one lead (1-based, both included); empty when to < from.
struct SampleWindow {
  int from = 0;
  int to = -1;
  bool empty() const { return to < from; }
  friend bool operator==(const SampleWindow&, const SampleWindow&) = default;
};

// The lengths of the search, in samples.
struct CycleSearch {
  int sample_count = 0;
  int at_from = 0, at_to = 0;  // from each beat
  int rt_from = 0, rt_to = 0;  // from each beat, or from the lead's own AT when rt_from_at
  bool rt_from_at = false;
  // An RT window ends where the RT derivative's fits (reaching rt_reach
  // samples either side) stop margin samples before the lead's next AT.
  int margin = 0;
  int rt_reach = 0;
  int earliest_beat = 0;       // beats before this sample, or later than end_margin
  int end_margin = 0;          // samples before the end, are not searched
};

// One lead's marks of beats 1..n (index k - 1): samples (0: none), the
// windows they were searched in, the flags, and each RT's T polarity.
struct LeadCycles {
  std::vector<int> at, rt;
  std::vector<SampleWindow> at_window, rt_window;
  std::vector<MarkFlag> at_flag, rt_flag;
  std::vector<TPolarity> polarity;
};

// The marks of one lead (its derivatives, sample i at [i - 1]) for beats
// (samples, ascending):
// - AT of beat k: the first sample of the lowest derivative in beat +
//   at_from .. beat + at_to, the window starting after the previous beat's
//   AT window where the two would overlap;
// - RT of beat k: the first sample of the highest RT derivative in beat +
//   rt_from .. beat + rt_to (or from the lead's own AT), the window starting
//   after the lead's AT and after the previous beat's RT window, ending
//   margin + rt_reach samples before the lead's AT of the next beat (its
//   beat when the lead has none there; the recording's end after the last
//   beat), so that no fit behind an RT reads the next upstroke;
// each window cut to the recording. A window whose derivative is the same
// throughout, or whose extremum lies at its first or last sample, gives no
// mark (flat, edge); a mark near an end is flagged near_edge.
LeadCycles search_lead_cycles(std::span<const float> at_deriv, std::span<const float> rt_deriv,
                              const CycleSearch& search, std::span<const int> beats);

// The T wave of an RT mark at sample rt, from the RT derivative around it: a
// T wave falls after its steepest rise when positive, before it when
// negative, and on both sides when biphasic (down, up, down). With h half the
// distance from `from` (the lead's AT, or the window's start without one) to
// rt, the deepest fall of the derivative over rt - h .. rt - 1 and over
// rt + 1 .. rt + h (not beyond `until`) are compared: biphasic when the
// smaller is at least 0.4 of the larger, otherwise the side of the deeper
// fall; none when neither side falls.
TPolarity t_polarity(std::span<const float> rt_deriv, int rt, int from, int until);

}  // namespace telmor
