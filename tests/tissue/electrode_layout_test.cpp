// Layout files and grids: positions read, every fault with its line, and
// the leads a layout leaves out of the maps.
#include <gtest/gtest.h>

#include <string>

#include "tissue/beat_maps.h"
#include "readers/layout_file.h"
#include "support/beat_tables.h"

namespace telmor {
namespace {

TEST(LayoutFile, ReadsPositionsInLeadOrder) {
  const LayoutReading r =
      parse_layout_csv("\xEF\xBB\xBFlead,x_mm,y_mm\r\n3, 1.5 ,-2e-1\r\n\r\n1,0,0\n2,.25,1e3\n");
  ASSERT_FALSE(r.problem);
  ASSERT_EQ(r.layout.electrodes.size(), 3u);
  EXPECT_EQ(r.layout.electrodes[0].lead, 1);
  EXPECT_EQ(r.layout.electrodes[1].lead, 2);
  EXPECT_DOUBLE_EQ(r.layout.electrodes[1].x_mm, 0.25);
  EXPECT_DOUBLE_EQ(r.layout.electrodes[1].y_mm, 1000.0);
  EXPECT_EQ(r.layout.electrodes[2].lead, 3);
  EXPECT_DOUBLE_EQ(r.layout.electrodes[2].x_mm, 1.5);
  EXPECT_DOUBLE_EQ(r.layout.electrodes[2].y_mm, -0.2);
}

struct FaultCase {
  const char* text;
  LayoutFault fault;
  int line;
};

TEST(LayoutFile, NamesTheLineAndTheReason) {
  const FaultCase cases[] = {
      {"", LayoutFault::no_header, 1},
      {"lead,x,y\n1,0,0\n", LayoutFault::no_header, 1},
      {"lead,x_mm,y_mm\n", LayoutFault::no_electrodes, 1},
      {"lead,x_mm,y_mm\n1,0,0\n2,1\n", LayoutFault::field_count, 3},
      {"lead,x_mm,y_mm\n1,0,0,4\n", LayoutFault::field_count, 2},
      {"lead,x_mm,y_mm\n0,0,0\n", LayoutFault::bad_lead, 2},
      {"lead,x_mm,y_mm\n1.5,0,0\n", LayoutFault::bad_lead, 2},
      {"lead,x_mm,y_mm\n1,0,0\n2,1;5,0\n", LayoutFault::bad_number, 3},
      {"lead,x_mm,y_mm\n1,0,0\n2,1,5,0\n", LayoutFault::field_count, 3},
      {"lead,x_mm,y_mm\n1,,0\n", LayoutFault::bad_number, 2},
      {"lead,x_mm,y_mm\n1,0,inf\n", LayoutFault::not_finite, 2},
      {"lead,x_mm,y_mm\n1,nan,0\n", LayoutFault::not_finite, 2},
      {"lead,x_mm,y_mm\n1,1e999,0\n", LayoutFault::not_finite, 2},
      {"lead,x_mm,y_mm\n1,0,0\n2,1,0\n\n1,2,0\n", LayoutFault::lead_twice, 5},
      {"lead,x_mm,y_mm\n1,0,0\n2,1,0\n3,1.0009,0\n", LayoutFault::too_close, 4},
  };
  for (const FaultCase& c : cases) {
    const LayoutReading r = parse_layout_csv(c.text);
    EXPECT_EQ(r.problem, (LayoutProblem{c.fault, c.line})) << c.text;
    EXPECT_TRUE(r.layout.electrodes.empty()) << c.text;
  }
}

TEST(LayoutFile, OneMicrometreApartIsAllowed) {
  EXPECT_FALSE(parse_layout_csv("lead,x_mm,y_mm\n1,0,0\n2,0,0.001\n").problem);
}

TEST(GridLayout, PlacesLeadsRowByRow) {
  const LayoutReading r = parse_grid_layout("2x3", "0.5");
  ASSERT_FALSE(r.problem);
  ASSERT_EQ(r.layout.electrodes.size(), 6u);
  for (int n = 1; n <= 6; ++n) {
    const Electrode& e = r.layout.electrodes[static_cast<std::size_t>(n - 1)];
    EXPECT_EQ(e.lead, n);
    EXPECT_DOUBLE_EQ(e.x_mm, ((n - 1) % 3) * 0.5);
    EXPECT_DOUBLE_EQ(e.y_mm, ((n - 1) / 3) * 0.5);
  }
}

TEST(GridLayout, RefusesBadGridsAndPitches) {
  const struct {
    const char* grid;
    const char* pitch;
    LayoutFault fault;
  } cases[] = {
      {"4", "1", LayoutFault::bad_grid},     {"0x5", "1", LayoutFault::bad_grid},
      {"4x", "1", LayoutFault::bad_grid},    {"4x5x", "1", LayoutFault::bad_grid},
      {"1000x1000", "1", LayoutFault::bad_grid},
      {"4X5", "0", LayoutFault::bad_pitch},  {"4x5", "-1", LayoutFault::bad_pitch},
      {"4x5", "1,5", LayoutFault::bad_pitch}, {"4x5", "inf", LayoutFault::bad_pitch},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(parse_grid_layout(c.grid, c.pitch).problem.fault, c.fault) << c.grid << " " << c.pitch;
  }
  EXPECT_FALSE(parse_grid_layout("4X5", "0.2").problem);
}

TEST(LayoutLeads, LeadsWithoutAPositionAndPositionsWithoutALeadTakeNoPart) {
  // Four leads recorded; the layout places leads 2, 4 and 7.
  BeatTable t = test::empty_beat_table({1000}, 4);
  for (int lead = 1; lead <= 4; ++lead) {
    test::set_mark(test::cell_of(t, lead, 1).at, 1010.0 + lead);
    test::set_mark(test::cell_of(t, lead, 1).rt, 1200.0 + lead);
  }
  const LayoutReading r = parse_layout_csv("lead,x_mm,y_mm\n7,5,5\n4,1,0\n2,0,0\n");
  ASSERT_FALSE(r.problem);
  const BeatMap m = beat_map(t, r.layout, 1);
  ASSERT_EQ(m.electrodes.size(), 2u);
  EXPECT_EQ(m.electrodes[0].lead, 2);
  EXPECT_DOUBLE_EQ(m.electrodes[0].at_ms, 1012.0);
  EXPECT_EQ(m.electrodes[1].lead, 4);
  EXPECT_DOUBLE_EQ(m.electrodes[1].position.x_mm, 1.0);
  EXPECT_DOUBLE_EQ(m.electrodes[1].ari_ms, 190.0);
}

TEST(LayoutLeads, SeveralMarksOrNoneAreGaps) {
  BeatTable t = test::empty_beat_table({1000, 2000}, 3);
  test::set_mark(test::cell_of(t, 1, 2).at, 2010.0);
  test::set_mark(test::cell_of(t, 1, 2).rt, 2200.0, 2);
  test::set_mark(test::cell_of(t, 2, 2).rt, 2210.0);
  const BeatMap m = beat_map(t, grid_layout(1, 3, 1.0).layout, 2);
  ASSERT_EQ(m.electrodes.size(), 3u);
  EXPECT_EQ(m.beat_ms, 2000);
  EXPECT_DOUBLE_EQ(m.electrodes[0].at_ms, 2010.0);
  EXPECT_TRUE(std::isnan(m.electrodes[0].rt_ms));
  EXPECT_TRUE(std::isnan(m.electrodes[0].ari_ms));
  EXPECT_TRUE(std::isnan(m.electrodes[1].at_ms));
  EXPECT_DOUBLE_EQ(m.electrodes[1].rt_ms, 2210.0);
  EXPECT_TRUE(std::isnan(m.electrodes[2].at_ms));
}

TEST(LayoutLeads, WholeMillisecondsStandInForAnUnknownFineTime) {
  OwnedMarks m;
  m.count = 1;
  m.earliest = 1234;
  EXPECT_DOUBLE_EQ(mark_time(m), 1234.0);
  m.fine_ms = 1233.75;
  EXPECT_DOUBLE_EQ(mark_time(m), 1233.75);
}

}  // namespace
}  // namespace telmor
