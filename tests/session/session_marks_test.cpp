// The figures of the run record's marks, as the views of a session see them.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "session/session_marks.h"

namespace telmor {
namespace {

TEST(MarkFiguresOfARecord, EveryEntryInUseAndNoOther) {
  auto r = std::make_unique<RunRecord>();
  r->lead_count = 2;
  r->sample_count = 1000;
  for (int i = 1; i <= 1000; ++i) r->deriv(2, i) = static_cast<float>((i - 300.25) * (i - 300.25));
  r->marks.at_beat_count = 2;
  r->at_ms(2, 2) = 300.0f;
  r->at_ms(2, 3) = 600.0f;  // beyond the rows in use
  const MarkFigures f = mark_figures(*r);
  EXPECT_NEAR(f.at_fine_ms[1][1], 300.25, 1e-3);
  EXPECT_TRUE(std::isnan(f.at_fine_ms[1][0]));  // an empty entry
  EXPECT_TRUE(std::isnan(f.at_fine_ms[1][2]));
  EXPECT_TRUE(std::isnan(f.rt_fine_ms[1][1]));
}

}  // namespace
}  // namespace telmor
