// The run record's beat list.
#include "driver/beat_list.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <vector>

#include "record/record_settings.h"
#include "timing/analysis_steps.h"
#include "timing/beat_search.h"
#include "timing/mark_figures.h"

namespace telmor {

float overview_amplitude(const RunRecord& r) {
  const std::span<const float> leads[3] = {r.wave_table[0], r.wave_table[1], r.wave_table[2]};
  return overview_amplitude(leads);
}

void search_beats(RunRecord& r) {
  r.beat_found_list.fill(0.0f);
  const std::span<const float> lead_1(r.deriv_table[0].data(),
                                      static_cast<std::size_t>(std::clamp(r.sample_count, 0, kMaxSamples)));
  // The legacy search is the specified one: the noise only counts for centred.
  const double noise = r.estimator == Estimator::centred ? derivative_noise(lead_1) : 0.0;
  const std::vector<int> found =
      telmor::search_beats(lead_1, analysis_settings_of(r), kRecordRateHz, noise, kMaxRows - 1);
  for (std::size_t k = 0; k < found.size(); ++k) r.beat_found_list[k] = static_cast<float>(found[k]);
}

void sort_beats(RunRecord& r) {
  std::array<float, kMaxRows> beat_sort = r.beat_found_list;
  for (int m = 1; m <= kMaxRows; ++m) {
    std::int32_t best = 0;
    int taken = 0;
    for (int k = 1; k <= kMaxRows; ++k) {
      if (static_cast<float>(best) <= beat_sort[k - 1]) {
        best = static_cast<std::int32_t>(std::trunc(beat_sort[k - 1]));
        taken = k;
      }
    }
    r.beat_ms(m) = best;
    if (taken > 0) beat_sort[taken - 1] = 0.0f;
  }
}

}  // namespace telmor
