// Signal preparation, one complete least-squares fit per sample.
#include <algorithm>
#include <array>

#include "fitting/prepare_signals.h"
#include "fitting/trapl.h"
#include "preparation_steps.h"

namespace telmor {

void prepare_signals_reference(RunRecord& r, ConsoleOutput& console) {
  // One second of one lead, as the fit takes it.
  std::array<float, kBlockSamples> fit_x{};
  std::array<float, kBlockSamples> fit_y{};
  for (int j = 1; j <= r.lead_count; ++j) {
    remove_baseline(r, j);
    for (int k = 1; k <= r.record_seconds; ++k) {
      const int offset = (k - 1) * kBlockSamples;
      for (int m = 1; m <= kBlockSamples; ++m) {
        fit_x[m - 1] = static_cast<float>(m);
        fit_y[m - 1] = r.wave(j, offset + m);
      }
      for (int m = 1; m <= kBlockSamples; ++m) {
        FitRequest request;
        request.first = m - r.smooth_points;
        request.last = std::min(m + r.smooth_points, kBlockSamples);
        request.xs = fit_x.data();
        request.ys = fit_y.data();
        request.degree = 3;
        const FitResult fit = fit_polynomial(request, console);
        r.deriv(j, offset + m) = fit.status < 0 ? 0.0f : cubic_slope(fit.coef.data(), m);
      }
    }
  }
  set_time_axis(r);
}

}  // namespace telmor
