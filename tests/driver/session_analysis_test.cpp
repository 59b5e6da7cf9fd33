// The desktop's own steps on its run record (start-up preparation, the
// overview's beat list, then c) against the analysis core, entry for entry.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>

#include "base/console_output.h"
#include "driver/beat_list.h"
#include "driver/find_at_rt.h"
#include "driver/record_preparation.h"
#include "readers/recording_text.h"
#include "readers/waveform_rows.h"
#include "results/analysis_tables.h"
#include "sample_recording.h"
#include "support/analysis_inputs.h"
#include "support/record_tables.h"
#include "timing/analysis.h"

namespace telmor {
namespace {

using test::recording_of_text;
using test::with;
using NoConsole = test::SilentConsole;

// What an interactive session computes with these settings, step by step on
// its record: the preparation at start-up, the beat list of the overview,
// then c.
std::unique_ptr<RunRecord> session_tables(const std::string& text, int leads, int seconds,
                                          const AnalysisSettings& settings) {
  auto r = std::make_unique<RunRecord>();
  r->estimator = settings.estimator;
  r->rt_smooth_points = settings.rt_smooth();
  r->smooth_points = settings.smooth_ms;
  r->amp_ratio = settings.amp_ratio;
  r->at_from = settings.at_from;
  r->at_to = settings.at_to;
  r->rt_from = settings.rt_from;
  r->rt_to = settings.rt_to;
  r->lead_count = leads;
  r->record_seconds = seconds;
  r->sample_count = seconds * kBlockSamples;
  EXPECT_EQ(read_waveform_rows(text, leads, r->sample_count, test::wave_target(*r)).status, WaveReadStatus::ok);
  NoConsole console;
  prepare_signals(*r, console);
  search_beats(*r);
  sort_beats(*r);
  detect_marks(*r);
  return r;
}

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct Within {
  int leads, seconds, seed;
  AnalysisSettings settings;
};

class AnalyseWithinLimits : public ::testing::TestWithParam<std::tuple<Within, Estimator>> {};

TEST_P(AnalyseWithinLimits, GivesTheSessionsTablesEntryForEntry) {
  const Within& c = std::get<0>(GetParam());
  AnalysisSettings settings = c.settings;
  settings.estimator = std::get<1>(GetParam());
  const std::string text = sample_recording_text(c.leads, c.seconds, static_cast<std::uint64_t>(c.seed));
  const auto session = session_tables(text, c.leads, c.seconds, settings);
  const Analysis a = analyse(recording_of_text(text, c.leads, c.seconds), settings, {.threads = 2});
  ASSERT_FALSE(a.problem);
  ASSERT_TRUE(fits_results_file(a));
  const int rows = a.beat_count() + 1;
  ASSERT_EQ(rows, session->marks.at_beat_count);
  ASSERT_EQ(rows, session->marks.rt_beat_count);
  for (int k = 1; k < rows; ++k) EXPECT_EQ(a.beats_ms[static_cast<std::size_t>(k - 1)], session->beat_ms(rows - k));
  // The core's marks (NaN: none) are the session's rows 2..beats + 1, and
  // the results file's tables made of them are the session's, entry for entry.
  const MarkTables tables = results_tables(a);
  for (int lead = 1; lead <= c.leads; ++lead) {
    for (int beat = 1; beat <= a.beat_count(); ++beat) {
      const float at = session->at_ms(lead, beat + 1), rt = session->rt_ms(lead, beat + 1);
      EXPECT_EQ(std::isnan(a.at_time(beat, lead)), at == 0.0f) << "AT lead " << lead << " beat " << beat;
      EXPECT_EQ(std::isnan(a.rt_time(beat, lead)), rt == 0.0f) << "RT lead " << lead << " beat " << beat;
    }
    for (int row = 1; row <= kMaxRows; ++row) {
      EXPECT_TRUE(same_bits(tables.at_ms(lead, row), session->at_ms(lead, row))) << "AT lead " << lead << " row " << row;
      EXPECT_TRUE(same_bits(tables.rt_ms(lead, row), session->rt_ms(lead, row))) << "RT lead " << lead << " row " << row;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, AnalyseWithinLimits,
    ::testing::Combine(
        ::testing::Values(Within{8, 10, 0, {}}, Within{20, 30, 3, {}}, Within{1, 1, 4, {}},
                          Within{5, 7, 5, with(2, 0.1f, -80, 80, 100, 200)},
                          Within{3, 4, 6, with(499, 0.3f, -22, 28, 151, 401)},
                          // Ranges that reach past the recording's end, into the
                          // zeros a session's table holds there.
                          Within{4, 3, 7, with(7, 0.1f, -200, 1466, -200, 1466)},
                          Within{2, 30, 8, with(7, 0.1f, 900, 1466, 1000, 1466)}),
        ::testing::Values(Estimator::centred, Estimator::legacy)));

}  // namespace
}  // namespace telmor
