// Making a grid layout.
#include "signal/electrode_layout.h"

#include <cmath>
#include <cstdint>

namespace telmor {

LayoutReading grid_layout(int rows, int columns, double pitch_mm) {
  if (rows < 1 || columns < 1 || static_cast<std::int64_t>(rows) * columns > kMaxLayoutElectrodes) {
    return {{}, {LayoutFault::bad_grid, 0}};
  }
  if (!std::isfinite(pitch_mm) || !(pitch_mm >= kMinElectrodeDistanceMm)) {
    return {{}, {LayoutFault::bad_pitch, 0}};
  }
  ElectrodeLayout layout;
  for (int n = 1; n <= rows * columns; ++n) {
    const int column = (n - 1) % columns;
    const int row = (n - 1) / columns;
    layout.electrodes.push_back({n, column * pitch_mm, row * pitch_mm});
  }
  return {std::move(layout), {}};
}

}  // namespace telmor
