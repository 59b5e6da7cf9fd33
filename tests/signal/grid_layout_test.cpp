// A recording's values lead by lead, and a regular grid of electrodes: where
// each lead lies, and the grids refused.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <span>
#include <vector>

#include "signal/electrode_layout.h"
#include "signal/recording.h"

namespace telmor {
namespace {

TEST(GridLayout, LeadsRunAlongTheRowsAtThePitch) {
  const LayoutReading r = grid_layout(2, 3, 0.5);
  ASSERT_FALSE(r.problem);
  struct Expected {
    int lead;
    double x, y;
  };
  const Expected expected[] = {{1, 0.0, 0.0}, {2, 0.5, 0.0}, {3, 1.0, 0.0},
                               {4, 0.0, 0.5}, {5, 0.5, 0.5}, {6, 1.0, 0.5}};
  ASSERT_EQ(r.layout.electrodes.size(), std::size(expected));
  for (std::size_t k = 0; k < std::size(expected); ++k) {
    EXPECT_EQ(r.layout.electrodes[k].lead, expected[k].lead);
    EXPECT_EQ(r.layout.electrodes[k].x_mm, expected[k].x) << "lead " << expected[k].lead;
    EXPECT_EQ(r.layout.electrodes[k].y_mm, expected[k].y) << "lead " << expected[k].lead;
  }
}

TEST(GridLayout, RefusesEmptyHugeOrUnspacedGrids) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    int rows, columns;
    double pitch;
    LayoutFault fault;
  };
  const Case cases[] = {
      {0, 3, 1.0, LayoutFault::bad_grid},
      {3, -1, 1.0, LayoutFault::bad_grid},
      {100, 101, 1.0, LayoutFault::bad_grid},  // one row beyond the most electrodes
      {100, 100, 1.0, LayoutFault::none},
      // rows × columns beyond int must not wrap into a small count
      {65536, 65537, 1.0, LayoutFault::bad_grid},
      {2, 2, 0.0, LayoutFault::bad_pitch},
      {2, 2, 0.0009, LayoutFault::bad_pitch},
      {2, 2, kMinElectrodeDistanceMm, LayoutFault::none},
      {2, 2, kNaN, LayoutFault::bad_pitch},
      {2, 2, std::numeric_limits<double>::infinity(), LayoutFault::bad_pitch},
  };
  for (const Case& c : cases) {
    const LayoutReading r = grid_layout(c.rows, c.columns, c.pitch);
    EXPECT_EQ(r.problem.fault, c.fault) << c.rows << "x" << c.columns << " at " << c.pitch;
    if (r.problem) {
      EXPECT_TRUE(r.layout.electrodes.empty());
    }
  }
}

TEST(RecordingValues, AreHeldLeadByLead) {
  Recording r(3, 4);
  for (int j = 1; j <= 3; ++j)
    for (int i = 1; i <= 4; ++i) r.value(j, i) = static_cast<float>(10 * j + i);
  EXPECT_EQ(r.values.size(), 12u);
  EXPECT_EQ(r.values[4], 21.0f);  // lead 2 follows the four samples of lead 1
  const std::span<const float> lead_3 = r.lead(3);
  EXPECT_EQ(std::vector<float>(lead_3.begin(), lead_3.end()), (std::vector<float>{31, 32, 33, 34}));
}

}  // namespace
}  // namespace telmor
