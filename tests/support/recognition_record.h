// A run record as the command loop hands it to d and c (the default ranges
// and a given list of beats), and the drawing state the beat search leaves.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "console/drawing_state.h"
#include "record/run_record.h"

namespace telmor::test {

inline std::unique_ptr<RunRecord> recognition_record(int leads, int seconds,
                                                     std::initializer_list<int> beats_descending) {
  auto r = std::make_unique<RunRecord>();
  // c's specified rules on the one derivative the tests set up.
  r->estimator = Estimator::legacy;
  r->lead_count = leads;
  r->record_seconds = seconds;
  r->sample_count = seconds * 1000;
  for (int i = 1; i <= kMaxSamples; ++i) r->time_ms(i) = static_cast<float>(i);
  r->at_from = -80;
  r->at_to = 80;
  r->rt_from = 100;
  r->rt_to = 200;
  std::copy(beats_descending.begin(), beats_descending.end(), r->beat_ms_list.begin());
  return r;
}

// The drawing frame of the beat search, with a vertical scale of exactly one
// y per amplitude unit.
inline DrawingState overview_drawing() {
  DrawingState d;
  d.amp_max = 0.4f;
  set_frame(d);
  d.yscale = 1.0f;
  return d;
}

}  // namespace telmor::test
