// The run record's settings as the analysis core takes them.
#include "record/record_settings.h"

#include <gtest/gtest.h>

#include <memory>

namespace telmor {
namespace {

TEST(RecordSettings, TheRecordsFieldsBecomeTheCoresSettings) {
  auto r = std::make_unique<RunRecord>();
  r->smooth_points = 9;
  r->amp_ratio = 0.25f;
  r->at_from = -40;
  r->at_to = 60;
  r->rt_from = 120;
  r->rt_to = 380;
  r->rt_smooth_points = 20;
  r->rt_margin_ms = 12;
  r->rt_after_at = true;
  r->rt_after_from = 50;
  r->rt_after_to = 300;
  r->blank_before_ms = 80;
  r->blank_after_ms = 150;
  const AnalysisSettings centred = analysis_settings_of(*r);
  EXPECT_EQ(centred.smooth_ms, 9);
  EXPECT_EQ(centred.amp_ratio, 0.25f);
  EXPECT_EQ(centred.at_from, -40);
  EXPECT_EQ(centred.at_to, 60);
  EXPECT_EQ(centred.rt_from, 120);
  EXPECT_EQ(centred.rt_to, 380);
  EXPECT_EQ(centred.beat_lead, 1);
  EXPECT_EQ(centred.estimator, Estimator::centred);
  EXPECT_EQ(centred.rt_smooth(), 20);
  EXPECT_EQ(centred.rt_margin(), 12);
  ASSERT_TRUE(centred.rt_after_at.has_value());
  EXPECT_EQ(*centred.rt_after_at, std::pair(50, 300));
  EXPECT_EQ(centred.blank_before_ms, 80);
  EXPECT_EQ(centred.blank_after_ms, 150);
  EXPECT_FALSE(centred.auto_ranges);

  // legacy takes no RT smoothing, margin or window of its own: the record's
  // stay for a later change back.
  r->estimator = Estimator::legacy;
  const AnalysisSettings legacy = analysis_settings_of(*r);
  EXPECT_EQ(legacy.estimator, Estimator::legacy);
  EXPECT_FALSE(legacy.rt_smooth_ms.has_value());
  EXPECT_FALSE(legacy.rt_margin_ms.has_value());
  EXPECT_FALSE(legacy.rt_after_at.has_value());
  EXPECT_EQ(legacy.blank_after_ms, 150);
}

}  // namespace
}  // namespace telmor
