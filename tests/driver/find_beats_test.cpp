// The start-up step after the preparation: beats, the no-data check, and the
// drawing frame set from the amplitude.
#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "console/time_axis.h"
#include "driver/overview.h"
#include "support/scripted_layer.h"

namespace telmor {
namespace {

struct FindBeats : ::testing::Test {
  std::unique_ptr<RunRecord> r = std::make_unique<RunRecord>();
  DrawingState drawing;

  void SetUp() override {
    r->sample_count = 2000;
    r->record_seconds = 2;
    r->amp_ratio = 0.1f;
    for (int i = 1; i <= r->sample_count; ++i) r->deriv(1, i) = -0.001f;
    r->deriv(1, 1000) = -0.3f;
  }
};

TEST_F(FindBeats, ZerosInLeadsOneToThreeMeanNoDataAndLeaveTheFrame) {
  r->wave(4, 500) = 5.0f;  // lead 4 does not count
  EXPECT_FALSE(find_beats(*r, drawing));
  EXPECT_EQ(drawing.amp_max, 0.0f);
  EXPECT_EQ(drawing.frame_y1, 0.0f);
  EXPECT_EQ(drawing.curve_n, 0);
  EXPECT_EQ(r->beat_found(1), 1000.0f);  // the search itself still ran
}

TEST_F(FindBeats, FrameAndScale) {
  r->wave(1, 500) = -4.0f;
  ASSERT_TRUE(find_beats(*r, drawing));
  EXPECT_EQ(drawing.amp_max, 4.0f);
  EXPECT_EQ(drawing.frame_x0, 0.0f);
  EXPECT_EQ(drawing.frame_x1, 0.6f);
  EXPECT_EQ(drawing.frame_y0, 0.1f);
  EXPECT_EQ(drawing.frame_y1, 0.9f);
  EXPECT_EQ(drawing.frame_ymid, 0.5f);
  EXPECT_EQ(drawing.xscale_4000, 0.6f / 4000.0f);
  EXPECT_EQ(drawing.yscale, (0.9f - 0.1f) / 8.0f);
  EXPECT_EQ(drawing.mark_y, (std::array<float, 2>{0.1f, 0.9f}));
  EXPECT_EQ(drawing.mark2_y, (std::array<float, 2>{0.1f, 0.9f}));
  EXPECT_EQ(drawing.mark_n, 2);
  EXPECT_EQ(drawing.mark2_n, 2);
  EXPECT_EQ(drawing.curve_n, 1000);
  EXPECT_EQ(r->beat_found(1), 1000.0f);
}

// The overview tells the frame the times that d's pick takes from a click at
// each column, so that the time under the pointer is the time picked there.
TEST_F(FindBeats, OverviewAxisGivesEveryColumnTheTimeDsPickTakes) {
  r->wave(1, 500) = -4.0f;
  ASSERT_TRUE(find_beats(*r, drawing));
  test::ScriptedLayer layer;
  draw_overview(layer, *r, drawing);
  ASSERT_EQ(layer.axis.kind, TimeAxis::Kind::whole_steps);
  for (int column = 0; column < 1024; ++column) {
    EXPECT_EQ(click_time_ms(layer.axis, column),
              steps_from(normalised_column(column), drawing.frame_x0, drawing.xscale_4000))
        << column;
  }
}

TEST_F(FindBeats, SubnormalAmplitudeGivesTheLargestFiniteScale) {
  r->wave(1, 500) = 1.0e-40f;  // 0.8 / 2e-40 is beyond single precision
  ASSERT_TRUE(find_beats(*r, drawing));
  EXPECT_EQ(drawing.yscale, std::numeric_limits<float>::max());
}

}  // namespace
}  // namespace telmor
