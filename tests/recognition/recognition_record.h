// A run record as the command loop hands it to d and c: the drawing frame of
// the beat search, the default ranges and a given list of beats.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "driver/run_record.h"

namespace telmor::test {

inline std::unique_ptr<RunRecord> recognition_record(int leads, int seconds,
                                                     std::initializer_list<int> beats_descending) {
  auto r = std::make_unique<RunRecord>();
  r->lead_count = leads;
  r->record_seconds = seconds;
  r->sample_count = seconds * 1000;
  for (int i = 1; i <= kMaxSamples; ++i) r->time_ms(i) = static_cast<float>(i);
  r->frame_x0 = 0.0f;
  r->frame_y0 = 0.1f;
  r->frame_x1 = 0.6f;
  r->frame_y1 = 0.9f;
  r->frame_ymid = 0.5f;
  r->mark_y = r->mark2_y = {0.1f, 0.9f};
  r->mark_n = r->mark2_n = 2;
  r->curve_n = 1000;
  r->xscale_4000 = 0.6f / 4000.0f;
  r->amp_max = 0.4f;
  r->yscale = 1.0f;
  r->at_from = -80;
  r->at_to = 80;
  r->rt_from = 100;
  r->rt_to = 200;
  std::copy(beats_descending.begin(), beats_descending.end(), r->beat_ms_list.begin());
  return r;
}

}  // namespace telmor::test
