// The click pick and the conversion of a click to whole steps, with the
// single-precision values the chart holds.
#include "driver/selintvl.h"

#include <gtest/gtest.h>

#include "support/replay_harness.h"

namespace telmor {
namespace {

constexpr float kWindowStep = 0.6f / 1000.0f;
constexpr float kOverviewStep = 0.6f / 4000.0f;

float click(std::string_view script) {
  test::ReplayHarness h(script);
  float x = -1.0f;
  EXPECT_EQ(h.run([&](WindowLayer& layer) { x = selintvl(layer); }), 0) << h.message;
  return x;
}

TEST(Selintvl, LeftPressGivesTheColumnTimesAThousandth) {
  EXPECT_EQ(click("press left 120 300\n"), 120.0f * 0.001f);
  EXPECT_EQ(click("press left 0 0\n"), 0.0f);
}

TEST(Selintvl, RightPressGivesTheMiddle) { EXPECT_EQ(click("press right 17 5\n"), 0.5f); }

TEST(Selintvl, SetsTheCrossHairAndListensForPressesOnly) {
  test::ReplayHarness h("double left 10 10\n");
  // The left press answers; its double-click is not awaited.
  ASSERT_EQ(h.run([](WindowLayer& layer) { (void)selintvl(layer); }), 0) << h.message;
  EXPECT_EQ(h.layer.set_mouse_cursor(Cursor::arrow), Cursor::cross);
  EXPECT_NE(h.transcript.str().find("chart: mouse 1 10 10"), std::string::npos);
}

TEST(StepsFrom, WindowPositionsOfClickedColumns) {
  const auto position = [](int column) {
    return steps_from(static_cast<float>(column) * 0.001f, 0.0f, kWindowStep);
  };
  EXPECT_EQ(position(120), 199);  // the beat marker's own column
  EXPECT_EQ(position(100), 166);
  EXPECT_EQ(position(0), 0);
  EXPECT_EQ(position(1000), 1666);
  EXPECT_EQ(steps_from(0.5f, 0.0f, kWindowStep), 833);
  // Columns that are not multiples of 3 always give the truncated exact value.
  for (int column = 1; column <= 1000; ++column) {
    if (column % 3 != 0) {
      EXPECT_EQ(position(column), column * 5 / 3) << column;
    }
  }
}

TEST(StepsFrom, OverviewTimesOfClickedColumns) {
  const auto time = [](int column) {
    return steps_from(static_cast<float>(column) * 0.001f, 0.0f, kOverviewStep);
  };
  EXPECT_EQ(time(30), 199);
  EXPECT_EQ(time(45), 299);
  EXPECT_EQ(time(100), 666);
  EXPECT_EQ(steps_from(0.5f, 0.0f, kOverviewStep), 3333);
}

}  // namespace
}  // namespace telmor
