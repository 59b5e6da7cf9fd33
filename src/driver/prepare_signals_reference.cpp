// Signal preparation, one complete least-squares fit per sample.
#include <algorithm>

#include "driver/prepare_signals.h"
#include "driver/preparation_steps.h"
#include "fitting/trapl.h"

namespace telmor {

void prepare_signals_reference(RunRecord& r, ConsoleOutput& console) {
  auto& f = r.fit;
  for (int j = 1; j <= r.lead_count; ++j) {
    remove_baseline(r, j);
    for (int k = 1; k <= r.record_seconds; ++k) {
      const int offset = (k - 1) * kBlockSamples;
      for (int m = 1; m <= kBlockSamples; ++m) {
        f.fit_x[m - 1] = static_cast<float>(m);
        f.fit_y[m - 1] = r.wave(j, offset + m);
      }
      for (int m = 1; m <= kBlockSamples; ++m) {
        const int first = m - r.smooth_points;
        const int last = std::min(m + r.smooth_points, kBlockSamples);
        trapl(first, last, f.fit_x.data(), f.fit_y.data(), 3, 0, f.intercept, f.trapl_b.data(),
              f.coef_se.data(), f.residual.data(), f.fit_summary.data(), f.xy_summary.data(),
              f.mult_corr.data(), f.status, console);
        r.deriv(j, offset + m) = f.status < 0 ? 0.0f : cubic_slope(f.trapl_b.data(), m);
      }
    }
  }
  set_time_axis(r);
}

}  // namespace telmor
