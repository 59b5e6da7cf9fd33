// What the centred c found besides the marks, kept beside the tables for the
// views: the beats it searched and, per lead and beat, the windows its marks
// were searched in, why a beat has no mark or its mark asks for a look, and
// each RT's T wave. A mark belongs to the beat whose window holds it, edited
// or not; windows of one kind never overlap within a lead.
#pragma once

#include <array>
#include <cstdint>

#include "record/table_limits.h"
#include "signal/mark_flag.h"

namespace telmor {

struct DetectionNote {
  std::int32_t at_from = 0, at_to = -1;  // ms, both ends in; empty when to < from
  std::int32_t rt_from = 0, rt_to = -1;
  MarkFlag at_flag = MarkFlag::none;
  MarkFlag rt_flag = MarkFlag::none;
  TPolarity polarity = TPolarity::none;
};

struct DetectionNotes {
  int beat_count = 0;  // 0: no centred c since the tables were last replaced
  std::array<std::int32_t, kMaxRows> beats_ms{};  // ascending
  std::array<std::array<DetectionNote, kMaxRows>, kMaxLeads> cells{};

  const DetectionNote& note(int lead, int beat) const {
    return cells[static_cast<std::size_t>(lead - 1)][static_cast<std::size_t>(beat - 1)];
  }
  DetectionNote& note(int lead, int beat) {
    return cells[static_cast<std::size_t>(lead - 1)][static_cast<std::size_t>(beat - 1)];
  }
  // The beat (1..beat_count) whose window of the kind holds t in lead, 0 for none.
  int owner(int lead, bool at, std::int32_t t) const {
    for (int k = 1; k <= beat_count; ++k) {
      const DetectionNote& n = note(lead, k);
      const std::int32_t from = at ? n.at_from : n.rt_from, to = at ? n.at_to : n.rt_to;
      if (t >= from && t <= to) return k;
    }
    return 0;
  }
};

}  // namespace telmor
