// c: the question, the row layout, the AT and RT searches around every beat
// and the removal of near duplicates, driven through the headless layer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/recognition_commands.h"
#include "support/recognition_record.h"
#include "support/replay_harness.h"
#include "support/scripted_layer.h"

namespace telmor {
namespace {

struct Detect : ::testing::Test {
  std::unique_ptr<RunRecord> r;
  std::string transcript, message;
  std::int32_t selected_beat_ms = 0;

  void record(int leads, int seconds, std::initializer_list<int> beats) {
    r = test::recognition_record(leads, seconds, beats);
  }
  void run(const std::string& answer = "y") {
    test::ReplayHarness h("chart " + answer + "\n");
    ASSERT_EQ(h.run([&](WindowLayer& layer) { detect_at_rt(layer, *r, selected_beat_ms); }), 0) << h.message;
    transcript = h.transcript.str();
  }
  float at(int row, int lead = 1) { return r->at_ms(lead, row); }
  float rt(int row, int lead = 1) { return r->rt_ms(lead, row); }
};

TEST_F(Detect, OneBeatLandsInRowTwoWithTheDiagnosticLines) {
  record(2, 2, {1000});
  r->deriv(1, 950) = -2.0f;
  r->deriv(1, 919) = -9.0f;  // outside 920..1080
  r->deriv(1, 1081) = -9.0f;
  r->deriv(1, 1150) = 3.0f;
  r->deriv(1, 1099) = 9.0f;  // outside 1100..1200
  r->deriv(1, 1201) = 9.0f;
  r->at_ms(2, 150) = 77.0f;  // anything held before is replaced
  run();
  EXPECT_EQ(at(1), 0.0f);
  EXPECT_EQ(rt(1), 0.0f);
  EXPECT_EQ(at(2), 950.0f);
  EXPECT_EQ(rt(2), 1150.0f);
  // Lead 2 is flat: AT is the first sample of its range; no peak, no RT.
  EXPECT_EQ(at(2, 2), 920.0f);
  EXPECT_EQ(rt(2, 2), 0.0f);
  EXPECT_EQ(r->at_ms(2, 150), 0.0f);
  EXPECT_EQ(r->marks.at_beat_count, 2);
  EXPECT_EQ(r->marks.rt_beat_count, 2);
  EXPECT_EQ(transcript,
            "chart> 未保存の修正AT,RTは消去されます。いいですか? <y/n>\n"
            "chart< y\nconsole> nlead 0\nconsole> na 2\n");
}

TEST_F(Detect, EveryFoundTimeIsDetectedAndEveryEmptyEntryHasNoSource) {
  record(1, 10, {3120, 3000, 1000});
  r->marks.at_source_table[0].fill(MarkSource::hand);  // whatever was there before
  r->deriv(1, 990) = -5.0f;
  r->deriv(1, 3030) = -3.0f;  // the two later beats find ATs 30 ms apart: one goes
  r->deriv(1, 3060) = -2.0f;
  run();
  EXPECT_EQ(at(2), 990.0f);
  EXPECT_EQ(at(3), 3030.0f);
  EXPECT_EQ(at(4), 0.0f);  // cleared by the 50 ms rule
  for (int row = 1; row <= kMaxRows; ++row) {
    const MarkSource expected = r->at_ms(1, row) != 0.0f ? MarkSource::detected : MarkSource::none;
    ASSERT_EQ(r->marks.at_source_table[0][static_cast<std::size_t>(row - 1)], expected) << row;
  }
}

TEST_F(Detect, OneSecondRecordingDoesNotSearchABeatAt1000) {
  record(1, 1, {1000});
  run();
  EXPECT_EQ(at(2), 0.0f);
  EXPECT_EQ(r->marks.at_beat_count, 2);
}

TEST_F(Detect, NOrNChangesNothingAndAnythingElseGoesOn) {
  record(1, 2, {1000});
  r->at_ms(1, 1) = 5.0f;
  r->marks.at_beat_count = 7;
  run("n");
  run("N");
  EXPECT_EQ(at(1), 5.0f);
  EXPECT_EQ(r->marks.at_beat_count, 7);
  EXPECT_EQ(transcript.find("console>"), std::string::npos);
  run("no");
  EXPECT_EQ(at(1), 0.0f);
  EXPECT_EQ(r->marks.at_beat_count, 2);
}

TEST_F(Detect, FullListOf199BeatsFillsAll200Rows) {
  record(1, 30, {});
  // Beats every 148 ms from 101 (latest first in the list), each with its
  // steepest fall 10 ms after it.
  for (int p = 1; p <= 199; ++p) {
    const int beat = 101 + 148 * (199 - p);
    r->beat_ms(p) = beat;
    r->deriv(1, beat + 10) = -1.0f;
  }
  run();
  EXPECT_EQ(r->marks.at_beat_count, 200);
  EXPECT_EQ(r->marks.rt_beat_count, 200);
  EXPECT_NE(transcript.find("console> na 200\n"), std::string::npos);
  EXPECT_EQ(at(2), 111.0f);
  EXPECT_EQ(at(200), static_cast<float>(101 + 148 * 198 + 10));  // the latest beat
}

TEST_F(Detect, RowsFollowTheBeatsInAscendingTime) {
  record(1, 10, {5000, 3000, 1000});
  selected_beat_ms = 3000;
  run();
  // Zero derivative: every AT is its range's first sample.
  EXPECT_EQ(at(1), 0.0f);
  EXPECT_EQ(at(2), 920.0f);
  EXPECT_EQ(at(3), 2920.0f);
  EXPECT_EQ(at(4), 4920.0f);
  EXPECT_EQ(at(5), 0.0f);
  EXPECT_EQ(r->marks.at_beat_count, 4);
  EXPECT_NE(transcript.find("console> nlead 3000\nconsole> na 4\n"), std::string::npos);
}

TEST_F(Detect, NoBeatsGiveOneEmptyRow) {
  record(3, 2, {});
  run();
  EXPECT_EQ(r->marks.at_beat_count, 1);
  EXPECT_EQ(r->marks.rt_beat_count, 1);
  EXPECT_EQ(at(1, 3), 0.0f);
}

TEST_F(Detect, FlatMinimumGivesItsFirstSampleAndAPlateauIsNoPeak) {
  record(1, 2, {1000});
  for (int s = 960; s <= 970; ++s) r->deriv(1, s) = -4.0f;
  r->deriv(1, 1150) = r->deriv(1, 1151) = 8.0f;  // plateau at the top
  r->deriv(1, 1180) = 2.0f;                      // a lower but strict peak
  run();
  EXPECT_EQ(at(2), 960.0f);
  EXPECT_EQ(rt(2), 1180.0f);
}

TEST_F(Detect, RisingDerivativeHasNoPeakUnlessTheNextSampleFalls) {
  record(1, 2, {1000});
  for (int s = 1090; s <= 1300; ++s) r->deriv(1, s) = static_cast<float>(s) * 0.01f;
  run();
  EXPECT_EQ(rt(2), 0.0f);
  r->deriv(1, 1201) = 0.0f;  // the sample after the range is lower
  run();
  EXPECT_EQ(rt(2), 1200.0f);
}

TEST_F(Detect, HighestOfSeveralPeaksAndItsFirstOccurrence) {
  record(1, 2, {1000});
  r->deriv(1, 1110) = 5.0f;
  r->deriv(1, 1130) = 7.0f;
  r->deriv(1, 1160) = 7.0f;  // equal height later: not taken
  r->deriv(1, 1100) = -1.0f;
  r->deriv(1, 1099) = -2.0f;  // 1100 is no peak: its neighbour 1101 is 0
  run();
  EXPECT_EQ(rt(2), 1130.0f);
}

TEST_F(Detect, ReversedRangeFindsNothing) {
  record(1, 2, {1000});
  r->at_from = 50;
  r->at_to = -50;
  r->rt_from = 200;
  r->rt_to = 100;
  r->deriv(1, 1000) = -1.0f;
  r->deriv(1, 1150) = 1.0f;
  run();
  EXPECT_EQ(at(2), 0.0f);
  EXPECT_EQ(rt(2), 0.0f);
}

// Reversed ranges stay as clicked, but c says which before it asks.
TEST_F(Detect, ReversedRangesAreNamedInTheStatusBar) {
  record(1, 2, {1000});
  struct Case {
    int at_from, at_to, rt_from, rt_to;
    const char* note;  // "" for none
  };
  const Case cases[] = {
      {-80, 80, 100, 200, ""},
      {50, -50, 100, 200, "AT範囲の終了点（-50 ms）が開始点（50 ms）より前です。このままではcで何も見つかりません。"},
      {-80, 80, 200, 100, "RT範囲の終了点（100 ms）が開始点（200 ms）より前です。このままではcで何も見つかりません。"},
      {50, -50, 200, 100,
       "AT範囲の終了点（-50 ms）が開始点（50 ms）より前です、RT範囲の終了点（100 ms）が開始点（200 ms）"
       "より前です。このままではcで何も見つかりません。"},
  };
  for (const Case& c : cases) {
    r->at_from = c.at_from;
    r->at_to = c.at_to;
    r->rt_from = c.rt_from;
    r->rt_to = c.rt_to;
    test::ScriptedLayer layer;
    layer.chart_input = {"n"};
    EXPECT_EQ(detect_at_rt(layer, *r, 0), Resume::redraw);
    EXPECT_EQ(layer.notes, std::string(c.note).empty() ? std::vector<std::string>{}
                                                       : std::vector<std::string>{c.note});
  }
}

TEST_F(Detect, BeatGuardAt100And101AndTheEndMargin) {
  record(1, 3, {2801, 2800, 101, 100});  // sample_count 3000
  run();
  EXPECT_EQ(at(2), 0.0f);     // 100
  EXPECT_EQ(at(3), 21.0f);    // 101 - 80
  EXPECT_EQ(at(4), 2720.0f);  // 2800 = sample_count - 200
  EXPECT_EQ(at(5), 0.0f);     // 2801
  EXPECT_EQ(r->marks.at_beat_count, 5);
}

TEST_F(Detect, RangesReachingPastTheTableAreCut) {
  record(1, 30, {29800, 101});
  r->at_from = -200;
  r->at_to = 1466;
  r->rt_from = -200;
  r->rt_to = 1466;
  r->deriv(1, 1) = -1.0f;       // the first sample of the table
  r->deriv(1, 30000) = 5.0f;    // no right neighbour: never a peak
  r->deriv(1, 29999) = 4.0f;    // a peak only if 30000 were lower
  r->deriv(1, 2) = 3.0f;        // a strict peak between samples 1 and 3
  r->deriv(1, 29990) = -3.0f;
  run();
  EXPECT_EQ(at(2), 1.0f);
  EXPECT_EQ(rt(2), 2.0f);
  EXPECT_EQ(at(3), 29990.0f);
  EXPECT_EQ(rt(3), 0.0f);
}

// Two beats whose AT minima lie d ms apart, in a range of ±10 ms.
void two_near_minima(RunRecord& r, int gap) {
  r.at_from = -10;
  r.at_to = 10;
  r.rt_from = -10;
  r.rt_to = 10;
  r.deriv(1, 1000) = -5.0f;
  r.deriv(1, 1000 + gap) = -3.0f;
}

TEST_F(Detect, NearAtResultsKeepTheSteeperOneUpTo50ms) {
  for (int gap : {30, 50}) {
    record(1, 5, {1000 + gap, 1000});
    two_near_minima(*r, gap);
    run();
    EXPECT_EQ(at(2), 1000.0f) << gap;
    EXPECT_EQ(at(3), 0.0f) << gap;
  }
  record(1, 5, {1051, 1000});
  two_near_minima(*r, 51);
  run();
  EXPECT_EQ(at(2), 1000.0f);
  EXPECT_EQ(at(3), 1051.0f);
}

TEST_F(Detect, NearRtResultsKeepTheHigherPeak) {
  record(1, 5, {1030, 1000});
  r->rt_from = -5;
  r->rt_to = 5;
  r->deriv(1, 1000) = 2.0f;
  r->deriv(1, 1030) = 6.0f;
  run();
  EXPECT_EQ(rt(2), 0.0f);
  EXPECT_EQ(rt(3), 1030.0f);
}

TEST_F(Detect, SameAtSampleForTwoBeatsKeepsBoth) {
  record(1, 5, {1010, 1000});
  r->deriv(1, 1005) = -5.0f;
  run();
  EXPECT_EQ(at(2), 1005.0f);
  EXPECT_EQ(at(3), 1005.0f);
}

TEST_F(Detect, ClearedEntriesTakeNoFurtherPart) {
  // 1000, 1040 and 1080: 1040 is cleared by 1000 before it could clear 1080.
  record(1, 5, {1080, 1040, 1000});
  r->at_from = r->at_to = 0;
  r->deriv(1, 1000) = -9.0f;
  r->deriv(1, 1040) = -1.0f;
  r->deriv(1, 1080) = -0.5f;
  run();
  EXPECT_EQ(at(2), 1000.0f);
  EXPECT_EQ(at(3), 0.0f);
  EXPECT_EQ(at(4), 1080.0f);  // 80 ms from 1000: kept
}

TEST_F(Detect, LeadsAreIndependent) {
  record(2, 5, {1030, 1000});
  two_near_minima(*r, 30);
  r->deriv(2, 1000) = -1.0f;
  r->deriv(2, 1030) = -8.0f;
  run();
  EXPECT_EQ(at(3), 0.0f);
  EXPECT_EQ(at(2, 2), 0.0f);
  EXPECT_EQ(at(3, 2), 1030.0f);
}

}  // namespace
}  // namespace telmor
