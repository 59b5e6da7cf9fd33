// A part of a recording: the leads asked in their order with their labels,
// the stretch asked to the sample, and what lies outside refused untouched.
#include <gtest/gtest.h>

#include <vector>

#include "readers/recording_part.h"

namespace telmor {
namespace {

// 3 leads of 2 s at 500 Hz; lead j, sample i holds 1000 j + i.
Recording numbered() {
  Recording r(3, 1000);
  r.rate_hz = 500.0;
  for (int j = 1; j <= 3; ++j)
    for (int i = 1; i <= 1000; ++i) r.value(j, i) = static_cast<float>(1000 * j + i);
  r.labels = {"A", "B", "C"};
  r.units = {"mV", "mV", "uV"};
  r.source = "x.edf";
  return r;
}

TEST(RecordingPart, LeadsInTheirOrderAndTheStretchToTheSample) {
  struct Case {
    RecordingPart part;
    std::vector<int> leads;
    int first_sample, samples;
  };
  const std::vector<Case> cases = {
      {{}, {1, 2, 3}, 1, 1000},
      {{{3, 1}, 0.0, std::nullopt}, {3, 1}, 1, 1000},
      {{{2}, 0.5, 1.0}, {2}, 251, 500},
      {{{}, 1.0, std::nullopt}, {1, 2, 3}, 501, 500},
      {{{1}, 0.0, 2.0}, {1}, 1, 1000},
  };
  for (const Case& c : cases) {
    Recording r = numbered();
    ASSERT_FALSE(take_part(c.part, r));
    ASSERT_EQ(r.lead_count, static_cast<int>(c.leads.size()));
    ASSERT_EQ(r.sample_count, c.samples);
    EXPECT_EQ(r.rate_hz, 500.0);
    EXPECT_EQ(r.source, "x.edf");
    for (int k = 1; k <= r.lead_count; ++k) {
      const int lead = c.leads[static_cast<std::size_t>(k - 1)];
      EXPECT_EQ(r.value(k, 1), static_cast<float>(1000 * lead + c.first_sample));
      EXPECT_EQ(r.value(k, r.sample_count), static_cast<float>(1000 * lead + c.first_sample + c.samples - 1));
      EXPECT_EQ(r.labels[static_cast<std::size_t>(k - 1)], std::string(1, static_cast<char>('A' + lead - 1)));
    }
  }
}

TEST(RecordingPart, WhatLiesOutsideIsRefusedAndTheRecordingKept) {
  struct Case {
    RecordingPart part;
    RecordingFault fault;
  };
  const std::vector<Case> cases = {
      {{{4}, 0.0, std::nullopt}, RecordingFault::lead_outside},
      {{{0}, 0.0, std::nullopt}, RecordingFault::lead_outside},
      {{{}, 1.5, 1.0}, RecordingFault::time_outside},
      {{{}, -0.1, 1.0}, RecordingFault::time_outside},
      {{{}, 2.0, std::nullopt}, RecordingFault::time_outside},
      {{{}, 0.0, 0.0}, RecordingFault::time_outside},
  };
  for (const Case& c : cases) {
    Recording r = numbered();
    const RecordingProblem p = take_part(c.part, r);
    EXPECT_EQ(p.fault, c.fault);
    EXPECT_EQ(r.values, numbered().values);
  }
  Recording r = numbered();
  const RecordingProblem p = take_first(5, std::nullopt, r);
  EXPECT_EQ(p.fault, RecordingFault::lead_outside);
  EXPECT_EQ(p.leads, 5);
  EXPECT_EQ(p.count, 3);
  EXPECT_EQ(take_first(std::nullopt, 3, r).count, 2000);  // 2 s long
  ASSERT_FALSE(take_first(2, 1, r));
  EXPECT_EQ(r.lead_count, 2);
  EXPECT_EQ(r.sample_count, 500);
}

}  // namespace
}  // namespace telmor
