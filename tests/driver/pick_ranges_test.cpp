// d: the beat pick on the overview, the range window and the stored bounds,
// driven by scripted clicks and replies.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "driver/recognition_commands.h"
#include "support/recognition_record.h"
#include "support/scripted_layer.h"
#include "support/replay_harness.h"
#include "replay/replay_stopped.h"

namespace telmor {
namespace {

struct PickRanges : ::testing::Test {
  std::unique_ptr<RunRecord> r = test::recognition_record(3, 10, {3400, 3000, 1000, 400});
  DrawingState drawing = test::overview_drawing();
  BeatPick pick;
  std::string transcript, draw_log, message;
  int status = -1;

  Resume run(const std::string& script) {
    test::ReplayHarness h(script);
    Resume resume = Resume::menu;
    status = h.run([&](WindowLayer& layer) { resume = pick_recognition_ranges(layer, *r, drawing, pick); });
    transcript = h.transcript.str();
    draw_log = h.draw_log.str();
    message = h.message;
    return resume;
  }
  bool shows(std::string_view line) const {
    return transcript.find(std::string(line) + "\n") != std::string::npos;
  }
  void expect_bounds(int at_from, int at_to, int rt_from, int rt_to) const {
    EXPECT_EQ(r->at_from, at_from);
    EXPECT_EQ(r->at_to, at_to);
    EXPECT_EQ(r->rt_from, rt_from);
    EXPECT_EQ(r->rt_to, rt_to);
  }
};

// A pick accepted at once, then four clicks and an answer.
std::string session(const std::string& overview_click, const std::string& four_clicks,
                    const std::string& answer = "y") {
  return overview_click + "\nchart y\n" + four_clicks + "chart " + answer + "\n";
}
const std::string kFourRight = "press right 1 1\npress right 1 1\npress right 1 1\npress right 1 1\n";

TEST_F(PickRanges, RightClicksEverywhereGive3333msAndBoundsOf633) {
  EXPECT_EQ(run(session("press right 0 0", kFourRight)), Resume::redraw);
  ASSERT_EQ(status, 0) << message;
  EXPECT_EQ(pick.selected_beat_ms, 3400);  // nearest to 3333 ms
  EXPECT_EQ(pick.window_start_ms, 3200);
  expect_bounds(633, 633, 633, 633);
  EXPECT_TRUE(shows("console> 選択した点（msec） 3400"));
  EXPECT_TRUE(shows("chart> selected time 3200"));
}

// The time the frame shows under the pointer in d's window is the time a
// bound clicked there takes: the window's start, then the whole steps of the
// bound from the window's left edge (the beat stands 200 ms in).
TEST_F(PickRanges, EveryColumnOfTheWindowBoundsTheTimeTheAxisShowsThere) {
  for (std::int16_t column = 0; column < 1024; ++column) {
    test::ScriptedLayer layer;
    layer.mouse_input = {{kRightPress, 0, 0}, {kLeftPress, column, 50}, {kRightPress, 0, 0},
                         {kRightPress, 0, 0}, {kRightPress, 0, 0}};
    layer.chart_input = {"y", "y"};
    BeatPick taken;
    ASSERT_EQ(pick_recognition_ranges(layer, *r, drawing, taken), Resume::redraw);
    ASSERT_EQ(layer.axis.kind, TimeAxis::Kind::whole_steps);
    EXPECT_EQ(taken.window_start_ms + r->at_from + 200, click_time_ms(layer.axis, column)) << column;
  }
}

TEST_F(PickRanges, BoundsClickedRightToLeftAreKeptAndNamed) {
  test::ScriptedLayer layer;
  // The AT end left of its start; the RT range forward.
  layer.mouse_input = {{kRightPress, 0, 0}, {kLeftPress, 300, 50}, {kLeftPress, 200, 50},
                       {kLeftPress, 400, 50}, {kLeftPress, 500, 50}};
  layer.chart_input = {"y", "y"};
  ASSERT_EQ(pick_recognition_ranges(layer, *r, drawing, pick), Resume::redraw);
  EXPECT_GT(r->at_from, r->at_to);
  ASSERT_EQ(layer.notes.size(), 1u);
  EXPECT_EQ(layer.notes[0].rfind("AT範囲の終了点", 0), 0u) << layer.notes[0];
  EXPECT_EQ(layer.notes[0].find("RT範囲"), std::string::npos);
}

TEST_F(PickRanges, RefusedBeatStaysInTheStatusBar) {
  test::ScriptedLayer layer;
  layer.mouse_input = {{kLeftPress, 0, 0}};  // nearest is an empty entry, 0 ms: refused
  layer.chart_input = {"y"};
  ASSERT_EQ(pick_recognition_ranges(layer, *r, drawing, pick), Resume::redraw);
  ASSERT_EQ(layer.notes.size(), 1u);
  EXPECT_EQ(layer.notes[0], layer.chart_lines.back());
}

TEST_F(PickRanges, DialogueLinesInOrder) {
  run(session("press left 60 50", kFourRight));
  const std::vector<std::string> expected = {
      "chart> 選択する波形の線の近くをClick", "chart: mouse 1 60 50",
      "chart> これでいいですか? <y/n>",       "chart< y",
      "console> 選択した点（msec） 400",      "chart: clear",
      "chart> selected time 200",             "chart> AT認識の開始点をClick !",
      "chart: mouse 8 1 1",                   "chart> 同　　　終了点をClick!",
      "chart: mouse 8 1 1",                   "chart> RT認識の開始点をClick !",
      "chart: mouse 8 1 1",                   "chart> 同　　　終了点をClick!",
      "chart: mouse 8 1 1",                   "chart> これでいいですか? <y/n>",
      "chart< y"};
  std::vector<std::string> got;
  std::istringstream in(transcript);
  for (std::string line; std::getline(in, line);) got.push_back(line);
  EXPECT_EQ(got, expected);
}

TEST_F(PickRanges, ClickedColumnsBecomeBoundsFromTheBeat) {
  run(session("press left 60 50",
              "press left 120 9\npress left 100 9\npress left 0 9\npress left 1000 9\n"));
  ASSERT_EQ(status, 0) << message;
  expect_bounds(-1, -34, -200, 1466);  // column 120 is position 199, not 200
}

TEST_F(PickRanges, EndBeforeStartIsStoredAsClicked) {
  run(session("press left 60 50", "press left 300 9\npress left 200 9\npress left 500 9\n"
                                  "press left 400 9\n"));
  expect_bounds(299, 133, 633, 466);  // column 300 is position 499
}

TEST_F(PickRanges, RejectedPickGoesToTheMenuWithItsMarkerStanding) {
  EXPECT_EQ(run("press left 150 50\nchart n\n"), Resume::menu);
  ASSERT_EQ(status, 0) << message;
  EXPECT_EQ(pick.selected_beat_ms, 0);
  expect_bounds(-80, 80, 100, 200);
  EXPECT_EQ(draw_log, "line 150 30 150 30 00FFFF\nline 150 30 150 269 00FFFF\n");
  EXPECT_EQ(transcript.find("chart: clear"), std::string::npos);
}

TEST_F(PickRanges, OnlyNOrNAloneRejects) {
  EXPECT_EQ(run(session("press left 60 50", kFourRight, "yes")), Resume::redraw);
  expect_bounds(633, 633, 633, 633);
  r = test::recognition_record(3, 10, {3400, 3000, 1000, 400});
  run("press left 60 50\nchart no\n" + kFourRight + "chart N\n");
  EXPECT_EQ(pick.selected_beat_ms, 400);  // "no" went on
  EXPECT_EQ(status, kReplayRanOut);     // "N" asked for the four clicks again
}

TEST_F(PickRanges, RejectedClicksRepeatTheClearedWindowAndKeepTheDefaults) {
  run("press left 60 50\nchart y\n" + kFourRight + "chart n\npress left 100 1\npress left 200 1\n");
  EXPECT_EQ(status, kReplayRanOut);
  expect_bounds(-80, 80, 100, 200);
  std::size_t clears = 0;
  for (std::size_t at = transcript.find("chart: clear"); at != std::string::npos;
       at = transcript.find("chart: clear", at + 1))
    ++clears;
  EXPECT_EQ(clears, 2u);
  // Then accepted on the second round.
  run(session("press left 60 50", kFourRight + "chart N\n" +
                                      "press left 100 1\npress left 200 1\npress left 300 1\n"
                                      "press left 400 1\nchart Y\n"));
  ASSERT_EQ(status, 0) << message;
  expect_bounds(-34, 133, 299, 466);
}

TEST_F(PickRanges, ClickNearerToZeroThanToAnyBeatIsRefused) {
  r = test::recognition_record(3, 10, {3000, 2000});
  EXPECT_EQ(run("press left 10 50\nchart y\n"), Resume::redraw);  // 66 ms
  ASSERT_EQ(status, 0) << message;
  EXPECT_TRUE(shows("chart> エラー、200から3600msecの範囲にしてください。"));
  EXPECT_EQ(pick.selected_beat_ms, 0);
  expect_bounds(-80, 80, 100, 200);
  EXPECT_EQ(transcript.find("console>"), std::string::npos);
}

TEST_F(PickRanges, BeatAt200IsRefusedAnd3600Accepted) {
  r = test::recognition_record(3, 10, {3600, 200});
  EXPECT_EQ(run("press left 30 50\nchart y\n"), Resume::redraw);  // 199 ms
  EXPECT_TRUE(shows("chart> エラー、200から3600msecの範囲にしてください。"));
  EXPECT_EQ(pick.selected_beat_ms, 200);  // left at the refused beat
  EXPECT_EQ(pick.window_start_ms, 0);

  run(session("press left 540 50", kFourRight));  // 3600 ms
  ASSERT_EQ(status, 0) << message;
  EXPECT_EQ(pick.selected_beat_ms, 3600);
  EXPECT_EQ(pick.window_start_ms, 3400);
  expect_bounds(633, 633, 633, 633);
}

TEST_F(PickRanges, OverviewColumnsUseTheHeldSinglePrecisionValues) {
  // Column 45 is 299 ms, not 300: of beats at 300 and 299 the second is picked.
  r = test::recognition_record(3, 10, {300, 299});
  run(session("press left 45 50", kFourRight));
  EXPECT_EQ(pick.selected_beat_ms, 299);
}

TEST_F(PickRanges, EqualDistanceTakesTheLaterBeat) {
  r = test::recognition_record(3, 10, {667, 665});  // column 100 is 666 ms
  run(session("press left 100 50", kFourRight));
  EXPECT_EQ(pick.selected_beat_ms, 667);
}

TEST_F(PickRanges, NoBeatNearerThan4000KeepsThePreviousPick) {
  r = test::recognition_record(3, 30, {12000});
  pick.selected_beat_ms = 1234;
  run("press left 0 50\nchart y\n");  // 0 ms: the zero entries are 0 away
  EXPECT_EQ(pick.selected_beat_ms, 0);
  r = test::recognition_record(3, 30, {});
  for (int p = 1; p <= kMaxRows; ++p) r->beat_ms(p) = 9000;  // no zero entry at all
  pick.selected_beat_ms = 1234;
  run("press left 10 50\nchart y\n");
  EXPECT_EQ(pick.selected_beat_ms, 1234);  // still in range: its window follows
  EXPECT_TRUE(shows("console> 選択した点（msec） 1234"));
}

TEST_F(PickRanges, WindowDrawsLeadsOneToThreeWithPositiveValuesBelowTheZeroLine) {
  r = test::recognition_record(1, 10, {1000});
  for (int i = 1; i <= kMaxSamples; ++i) {
    r->wave(1, i) = 0.1f;
    r->wave(2, i) = 0.0f;
    r->wave(3, i) = -0.1f;
  }
  r->wave(1, 801) = 0.3f;  // window position 1
  run(session("press left 150 50", kFourRight));
  ASSERT_EQ(status, 0) << message;
  EXPECT_EQ(drawing.win3(1, 1), 0.3f);
  EXPECT_EQ(drawing.win3(1, 2), 0.1f);
  EXPECT_EQ(drawing.win3(3, 1000), -0.1f);
  // Lead 1 (0.6 → row 180), lead 2 on the zero line, lead 3 above it (0.4 → row 120),
  // though the record has one lead only.
  EXPECT_NE(draw_log.find("line 0 240 1 180 0000F0\n"), std::string::npos);  // 0.8 → 240
  EXPECT_NE(draw_log.find("line 599 150 600 150 0000F0\n"), std::string::npos);
  EXPECT_NE(draw_log.find("line 599 120 600 120 0000F0\n"), std::string::npos);
  // The beat marker stands on column 120.
  EXPECT_NE(draw_log.find("line 120 30 120 269 00FFFF\n"), std::string::npos);
}

}  // namespace
}  // namespace telmor
