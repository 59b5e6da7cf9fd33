// Beat tables made directly from model times, for the maps, conduction
// velocity, restitution and dispersion tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "timing/beat_table.h"

namespace telmor::test {

// leads x beats, every cell without marks.
inline BeatTable empty_beat_table(std::vector<std::int32_t> beats, int leads) {
  BeatTable t;
  t.beats = std::move(beats);
  t.leads = leads;
  t.cells.assign(static_cast<std::size_t>(leads) * (t.beats.size() + 1), BeatCell{});
  return t;
}

inline BeatCell& cell_of(BeatTable& t, int lead, int beat) {
  return t.cells[static_cast<std::size_t>((lead - 1) * (t.beat_count() + 1) + beat)];
}

// One mark at ms (its fine time; the whole ms rounded); several marks when
// count > 1; none for a NaN time.
inline void set_mark(OwnedMarks& marks, double ms, int count = 1) {
  if (std::isnan(ms)) {
    marks = OwnedMarks{};
    return;
  }
  marks.count = count;
  marks.earliest = static_cast<std::int32_t>(std::lround(ms));
  marks.earliest_row = 1;
  marks.fine_ms = ms;
}

}  // namespace telmor::test
