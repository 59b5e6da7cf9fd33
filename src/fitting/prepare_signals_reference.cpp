// Signal preparation, one complete least-squares fit per sample.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "fit_stages.h"
#include "fitting/prepare_signals.h"
#include "fitting/trapl.h"
#include "preparation_steps.h"

namespace telmor {

void prepare_signal_tables_reference(const SignalTables& t, ConsoleOutput& console) {
  // One second of one lead with as much of its neighbours as a window
  // reaches, as the fit takes it: block index i at position i - 1 + reach.
  const int reach = window_reach(t.smooth_points);
  const std::size_t span = static_cast<std::size_t>(kFitBlockSamples + 2 * reach);
  std::vector<float> fit_x(span);
  std::vector<float> fit_y(span);
  const auto position = [reach](int i) { return static_cast<std::size_t>(i - 1 + reach); };
  for (int j = 1; j <= t.lead_count; ++j) {
    remove_baseline(t, j);
    for (int k = 1; k <= t.seconds(); ++k) {
      const int offset = (k - 1) * kFitBlockSamples;
      for (int i = 1 - reach; i <= kFitBlockSamples + reach; ++i) {
        const int sample = offset + i;
        fit_x[position(i)] = static_cast<float>(i);
        fit_y[position(i)] = sample >= 1 && sample <= t.sample_count ? t.wave[t.at(j, sample)] : 0.0f;
      }
      for (int m = 1; m <= std::min(kFitBlockSamples, t.sample_count - offset); ++m) {
        const FitWindow w = fit_window(m, t.smooth_points, offset, t.sample_count);
        float& slope = t.deriv[t.at(j, offset + m)];
        // The fit refuses too few points; its message names the window as
        // asked, in block indices.
        if (!fit_arguments_valid(1, w.points(), kPreparationDegree)) {
          write_parameter_error(console, w.first, w.last, kPreparationDegree);
          slope = 0.0f;  // no slope is known there
          continue;
        }
        FitRequest request;
        request.first = 1;
        request.last = w.points();
        request.xs = &fit_x[position(w.k1)];
        request.ys = &fit_y[position(w.k1)];
        request.degree = kPreparationDegree;
        const FitResult fit = fit_polynomial(request, console);
        slope = fit.status < 0 ? 0.0f : cubic_slope(fit.coef.data(), m);
      }
    }
  }
}

}  // namespace telmor
