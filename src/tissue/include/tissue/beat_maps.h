// AT, RT and ARI at each positioned electrode for one beat: the values that
// the maps interpolate and the conduction velocity is fitted to.
#pragma once

#include <cstdint>
#include <vector>

#include "timing/beat_table.h"
#include "signal/electrode_layout.h"
#include "tissue/triangulation.h"

namespace telmor {

// The time of the one mark a beat owns: its fine time, or its whole ms when
// the fine time is not known; NaN when the beat owns no mark or several
// (a gap: which of several is meant is for the user to decide).
double mark_time(const OwnedMarks& marks);

// The time the maps, velocities, restitution and dispersion take from a
// cell: mark_time, but NaN (left out) in a dead lead and for a flagged mark
// (near an end of its window, or weak: quality below kWeakAtQuality or
// kWeakRtQuality).
double mapped_time(const BeatTable& table, int lead, const OwnedMarks& marks, bool at);

// The single marks of a table that mapped_time leaves out, per reason.
struct LeftOut {
  int dead_lead = 0;
  int flagged = 0;
  int total() const { return dead_lead + flagged; }
};
LeftOut left_out(const BeatTable& table);

struct ElectrodeTimes {
  int lead = 0;
  PointMm position;
  double at_ms = 0.0;   // NaN: a gap
  double rt_ms = 0.0;   // NaN: a gap
  double ari_ms = 0.0;  // rt_ms - at_ms; NaN when either is a gap
  TPolarity polarity = TPolarity::none;  // the T wave of its RT (none without one)
};

struct BeatMap {
  int beat = 0;               // 1..n
  std::int32_t beat_ms = 0;
  std::vector<ElectrodeTimes> electrodes;  // by ascending lead
};

// The beat (1..table.beat_count()) at the electrodes of layout whose lead
// the table holds; electrodes of other leads and leads without a position
// take no part.
BeatMap beat_map(const BeatTable& table, const ElectrodeLayout& layout, int beat);

// Beats 1..n.
std::vector<BeatMap> beat_maps(const BeatTable& table, const ElectrodeLayout& layout);

// The beat in the middle of the recording, (n + 1) / 2; 0 without beats.
int middle_beat(const BeatTable& table);

// The interpolated map of one of the times, e.g. &ElectrodeTimes::at_ms.
ScalarMap times_map(const BeatMap& map, double ElectrodeTimes::*time);

}  // namespace telmor
