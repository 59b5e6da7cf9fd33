// The overview, the beat sort, the menu and its dispatch.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "console/curve_drawing.h"
#include "driver/command_loop.h"
#include "driver/overview.h"
#include "driver/beat_list.h"
#include "driver/record_preparation.h"
#include "timing/beat_search.h"
#include "support/scripted_layer.h"
#include "support/sample_expectation.h"
#include "support/test_files.h"

namespace telmor {
namespace {

constexpr const char* kMenu =
    "保存(s),既データ読込(o),認識範囲(d),計算(c),AT修正(a),RT修正(r),終了(x)";

struct Overview : ::testing::Test {
  test::ScriptedLayer layer;
  std::unique_ptr<RunRecord> r = std::make_unique<RunRecord>();
  DrawingState drawing;

  void SetUp() override {
    r->sample_count = 10000;
    r->record_seconds = 10;
    r->wave(1, 500) = 2.0f;
    for (int i = 1; i <= r->sample_count; ++i) r->time_ms(i) = static_cast<float>(i);
    r->amp_ratio = 1.0f;  // no beats of its own
    ASSERT_TRUE(find_beats(*r, drawing));
  }
  std::vector<test::Segment> markers() const {
    std::vector<test::Segment> m;
    for (const auto& s : layer.segments) {
      if (s.colour == (kCyan & 0xFFFFFFu) && s.y1 != s.y2) m.push_back(s);
    }
    return m;
  }
};

TEST_F(Overview, BeatsSortedLatestFirstWithAMarkerEach) {
  r->beat_found(1) = 2500.0f;
  r->beat_found(2) = 1000.0f;
  r->beat_found(3) = 3500.0f;
  draw_overview(layer, *r, drawing);
  EXPECT_EQ(r->beat_ms(1), 3500);
  EXPECT_EQ(r->beat_ms(2), 2500);
  EXPECT_EQ(r->beat_ms(3), 1000);
  EXPECT_TRUE(std::all_of(r->beat_ms_list.begin() + 3, r->beat_ms_list.end(),
                          [](int b) { return b == 0; }));
  const std::vector<test::Segment> expected = {{525, 30, 525, 269, 0xFFFF00},
                                                  {375, 30, 375, 269, 0xFFFF00},
                                                  {150, 30, 150, 269, 0xFFFF00}};
  EXPECT_EQ(markers(), expected);
  EXPECT_EQ(r->beat_found(1), 2500.0f);  // the sort works on a copy
}

TEST_F(Overview, CurveOfFourSecondsThenNoMarkersWithoutBeats) {
  draw_overview(layer, *r, drawing);
  EXPECT_EQ(layer.clears, 1);
  ASSERT_EQ(layer.segments.size(), 4000u);  // the zero-length first step, then 3999
  EXPECT_TRUE(markers().empty());
  EXPECT_EQ(layer.segments.front().colour, kBlue);
  // Time 4000 ms lies at x = 0.6; the zero line at y = 0.5; sample 500 (the
  // largest amplitude) at the top of the frame.
  EXPECT_EQ(layer.segments.back().x2, 600);
  EXPECT_EQ(layer.segments.back().y2, 150);
  EXPECT_EQ(layer.segments[499].y2, 30);
}

TEST_F(Overview, ShortRecordingDrawsOnlyItsSamples) {
  r->sample_count = 2000;
  draw_overview(layer, *r, drawing);
  EXPECT_EQ(layer.segments.size(), 2000u);
  EXPECT_EQ(layer.segments.back().x2, 300);
}

TEST_F(Overview, CurveIsHeldInsideTheDrawingArea) {
  r->wave(1, 10) = 100.0f;
  r->wave(1, 20) = -100.0f;
  draw_overview(layer, *r, drawing);
  EXPECT_EQ(layer.segments[9].y2, 0);      // 0.001 * 300
  EXPECT_EQ(layer.segments[19].y2, 299);   // 0.999 * 300
}

TEST_F(Overview, MarkersStopAt199) {
  for (int k = 1; k <= 200; ++k) r->beat_found(k) = static_cast<float>(10 * k);
  draw_overview(layer, *r, drawing);
  EXPECT_EQ(markers().size(), 199u);
}

TEST_F(Overview, LatestOfEqualTruncatedValuesIsTakenFirst) {
  // A value just above a whole number keeps the larger fraction from winning.
  r->beat_found(1) = 1000.75f;
  r->beat_found(2) = 1000.25f;
  r->beat_found(3) = 999.0f;
  sort_beats(*r);
  EXPECT_EQ(r->beat_ms(1), 1000);
  EXPECT_EQ(r->beat_ms(2), 1000);
  EXPECT_EQ(r->beat_ms(3), 999);
}

struct Menu : Overview {
  void run(std::initializer_list<const char*> replies) {
    for (const char* reply : replies) layer.chart_input.emplace_back(reply);
    run_command_loop(layer, *r, drawing, ".");
    EXPECT_TRUE(layer.chart_input.empty());
  }
  int count(std::string_view line) const {
    return static_cast<int>(std::count(layer.transcript.begin(), layer.transcript.end(), line));
  }
};

TEST_F(Menu, ExitAtOnce) {
  run({"x"});
  const std::vector<std::string> expected = {"chart: clear", std::string("chart> ") + kMenu,
                                             "chart< x", "chart: close"};
  EXPECT_EQ(layer.transcript, expected);
}

TEST_F(Menu, UpperCaseExitAndLeadingBlanks) {
  run({"  X"});
  EXPECT_EQ(layer.transcript.back(), "chart: close");
}

TEST_F(Menu, AnythingElseRedraws) {
  run({"dd", "d1", "q", "", "x"});
  EXPECT_EQ(layer.clears, 4);
  EXPECT_EQ(count(std::string("chart> ") + kMenu), 4);
}

TEST_F(Menu, RangeCommandForEveryFormOfD) {
  // Each pick is answered n: back to the menu, without a redraw.
  for (int k = 0; k < 4; ++k) layer.mouse_input.push_back({kRightPress, 0, 0});
  run({"d", "n", "D", "n", "  d", "n", "d, x", "n", "x"});
  EXPECT_EQ(count("chart> 選択する波形の線の近くをClick"), 4);
  EXPECT_EQ(layer.clears, 1);
}

TEST_F(Menu, RefusedPickComesBackToTheRedraw) {
  layer.mouse_input.push_back({kRightPress, 0, 0});
  run({"d", "y", "x"});  // no beats: the pick falls on a zero entry
  EXPECT_EQ(count("chart> エラー、200から3600msecの範囲にしてください。"), 1);
  EXPECT_EQ(layer.clears, 2);
}

TEST_F(Menu, SaveLoadAndCorrectionsComeBackToTheMenu) {
  // No leads: each correction pass ends at once, with the offer to save.
  run({"s", "n", "O", "n", "a", "n", "R", "n", "x"});
  EXPECT_EQ(layer.clears, 3);  // the overview, then the pass's clear of each correction
  EXPECT_EQ(count(std::string("chart> ") + kMenu), 5);
}

// x with unsaved tables asks first: save (and end once saved), discard, or
// stay at the menu; without unsaved tables it does not ask.
TEST_F(Menu, ExitWithUnsavedTablesAsksFirst) {
  test::DrivesRoot root;
  std::filesystem::create_directories(root.path() / "d");
  r->result_path.assign("d:\\abcari.csv");
  // True when the loop ended; false when it waited at the menu again.
  const auto exit_with = [&](ExitChoice choice, std::initializer_list<const char*> replies) {
    layer = {};
    layer.exit_choice = choice;
    for (const char* reply : replies) layer.chart_input.emplace_back(reply);
    try {
      run_command_loop(layer, *r, drawing, root.path());
      return true;
    } catch (const InputClosed&) {
      return false;
    }
  };
  EXPECT_FALSE(exit_with(ExitChoice::cancel, {"c", "y", "x"}));  // c leaves unsaved results
  EXPECT_EQ(layer.exit_questions, 1);
  EXPECT_EQ(layer.transcript.back(), std::string("chart> ") + kMenu);
  EXPECT_TRUE(layer.unsaved);
  EXPECT_FALSE(std::filesystem::exists(root.path() / "d" / "abcari.csv"));

  EXPECT_TRUE(exit_with(ExitChoice::save, {"x"}));
  EXPECT_EQ(layer.exit_questions, 1);
  EXPECT_TRUE(std::filesystem::exists(root.path() / "d" / "abcari.csv"));
  EXPECT_FALSE(r->results_unsaved);
  EXPECT_EQ(layer.transcript.back(), "chart: close");

  EXPECT_TRUE(exit_with(ExitChoice::cancel, {"x"}));  // saved: nothing to ask
  EXPECT_EQ(layer.exit_questions, 0);
  r->results_unsaved = true;
  EXPECT_TRUE(exit_with(ExitChoice::discard, {"x"}));
  EXPECT_EQ(layer.exit_questions, 1);
}

// After a correction pass the chart shows text only: d first redraws the
// overview (a clear and the curve) and only then asks for the click; straight
// from the overview, or after a save, it asks at once.
TEST_F(Menu, RangeCommandRedrawsTheOverviewOnlyAfterAPass) {
  const std::string ask = "chart> 選択する波形の線の近くをClick";
  const auto clear_before_ask = [&] {
    const auto at = std::find(layer.transcript.rbegin(), layer.transcript.rend(), ask);
    return at != layer.transcript.rend() && *(at + 1) == "chart: clear";
  };
  for (int k = 0; k < 2; ++k) layer.mouse_input.push_back({kRightPress, 0, 0});
  run({"a", "n", "d", "n", "d", "n", "x"});
  EXPECT_EQ(layer.clears, 3);  // the overview, the pass's clear, d's redraw
  EXPECT_EQ(count(ask), 2);
  const auto first = std::find(layer.transcript.begin(), layer.transcript.end(), ask);
  ASSERT_NE(first, layer.transcript.begin());
  EXPECT_EQ(*(first - 1), "chart: clear");
  EXPECT_GE(layer.segments.size(), 4000u);  // the overview stands under the picks
  layer = {};
  layer.mouse_input.push_back({kRightPress, 0, 0});
  run({"s", "n", "d", "n", "x"});
  EXPECT_EQ(layer.clears, 1);
  EXPECT_FALSE(clear_before_ask());
  layer = {};
  layer.mouse_input.push_back({kRightPress, 0, 0});
  run({"r", "n", "d", "n", "x"});
  EXPECT_TRUE(clear_before_ask());
}

// A layer whose menu reads can carry a change asked for at the menu: a line
// "!drop MS" or "!undo" brings it as the desktop's results view does,
// "!legacy" or "!centred N" (RT smoothing N) as the frame's derivative menu.
struct EditingLayer : test::ScriptedLayer {
  std::vector<std::vector<std::int32_t>> dropped;  // the beats each menu's views leave out
  MenuRead menu_read_line() override {
    if (!chart_input.empty() && chart_input.front().front() == '!') {
      const std::string line = chart_input.front();
      chart_input.pop_front();
      MenuEdit edit;
      if (line == "!undo") {
        edit.what = MenuEdit::What::undo;
      } else if (line == "!suggest") {
        edit.what = MenuEdit::What::suggest_ranges;
      } else if (line == "!legacy" || line.starts_with("!centred ")) {
        edit.what = MenuEdit::What::analysis;
        choice.kind = line == "!legacy" ? Estimator::legacy : Estimator::centred;
        if (choice.kind == Estimator::centred) choice.rt_smooth_points = std::stoi(line.substr(9));
      } else {
        edit.beat_ms = std::stoi(line.substr(6));
      }
      return edit;
    }
    return test::ScriptedLayer::chart_read_line();
  }
  void at_menu(const ResultsSnapshot& results) override {
    menus.push_back(results.marks);
    dropped.push_back(results.dropped_beats);
  }
  AnalysisChoice analysis_choice() override { return choice; }
  RangeAnswer ask_suggested_ranges(const RangeBounds& bounds) override {
    suggested.push_back(bounds);
    return range_answer;
  }
  std::vector<RangeBounds> suggested;
  RangeAnswer range_answer = RangeAnswer::accept;
  std::vector<MarkTables> menus;
  AnalysisChoice choice;
};

// The derivative chosen at the menu differentiates the signals again, as the
// start-up would have with that choice, and says so.
TEST_F(Overview, ADerivativeChosenAtTheMenuDifferentiatesAgain) {
  r->lead_count = 1;
  r->smooth_points = 7;
  for (int i = 1; i <= r->sample_count; ++i) r->wave(1, i) = static_cast<float>((i * 37) % 101) / 50.0f;
  const auto prepared_as = [&](Estimator kind, std::int32_t rt_points) {
    auto fresh = std::make_unique<RunRecord>(*r);
    fresh->estimator = kind;
    fresh->rt_smooth_points = rt_points;
    test::ScriptedLayer quiet;
    differentiate(*fresh, quiet);
    return fresh;
  };
  const auto legacy = prepared_as(Estimator::legacy, kDefaultRtSmoothMs);
  const auto centred = prepared_as(Estimator::centred, 30);
  ASSERT_NE(legacy->deriv_table, centred->deriv_table);  // the choice shows

  EditingLayer editing;
  for (const char* line : {"!legacy", "q", "!centred 30", "x"}) editing.chart_input.emplace_back(line);
  bool legacy_seen = false;
  editing.on_note = [&](const std::string&) {
    legacy_seen = legacy_seen || (r->estimator == Estimator::legacy &&
                                  r->deriv_table == legacy->deriv_table);
  };
  run_command_loop(editing, *r, drawing, ".");
  EXPECT_TRUE(legacy_seen);
  EXPECT_EQ(r->estimator, Estimator::centred);
  EXPECT_EQ(r->rt_smooth_points, 30);
  EXPECT_EQ(r->deriv_table, centred->deriv_table);
  EXPECT_EQ(r->rt_deriv_table, centred->rt_deriv_table);
  // The beats rest on the derivative: they are found again (none here).
  const std::vector<std::string> expected_notes = {
      "微分を仕様どおりの計算（legacy）にしました。拍を探し直しました（0 拍）。次の c から使われます",
      "微分を中心化3次（RT用 30 ms）にしました。拍を探し直しました（0 拍）。次の c から使われます"};
  EXPECT_EQ(editing.notes, expected_notes);
}

// Drops at the menu are one edit each, undone one at a time at the menu and
// not at all once a command has run; the menu line is not written again.
TEST_F(Overview, MenuEditsDropABeatsMarksAndUndoThem) {
  EditingLayer editing;
  r->lead_count = 2;
  r->beat_found(1) = 1000.0f;
  r->beat_found(2) = 2000.0f;
  r->marks.at_beat_count = 2;
  r->at_ms(1, 1) = 1010.0f;
  r->at_ms(1, 2) = 2010.0f;
  r->at_ms(2, 1) = 2020.0f;
  const MarkTables before = r->marks;
  for (const char* line : {"!drop 2000", "!drop 1000", "!undo", "!drop 1500", "!undo", "!undo",
                           "!undo", "!drop 2000", "q", "!undo", "x"})
    editing.chart_input.emplace_back(line);
  run_command_loop(editing, *r, drawing, ".");
  const std::vector<std::string> expected_notes = {
      "拍 2000 ms の印を 2 個削除しました", "拍 1000 ms の印を 1 個削除しました",
      "拍 1000 ms の削除を取り消しました",  "1500 ms に拍はありません",
      "拍 2000 ms の削除を取り消しました",  "取り消す操作がありません",
      "取り消す操作がありません",           "拍 2000 ms の印を 2 個削除しました",
      "拍 2000 ms の削除を取り消しました"};
  EXPECT_EQ(editing.notes, expected_notes);
  // Every change hands the view the tables: after both drops lead 1 is empty.
  ASSERT_GE(editing.menus.size(), 6u);
  EXPECT_EQ(editing.menus[2].at_ms_table[0][0], 0.0f);
  EXPECT_EQ(editing.menus[2].at_ms_table[0][1], 0.0f);
  EXPECT_EQ(editing.menus[5].at_ms_table, before.at_ms_table);  // both undone
  // The views leave out the beats the history holds as dropped.
  EXPECT_EQ(editing.menus.size(), editing.dropped.size());
  EXPECT_EQ(editing.dropped[1], (std::vector<std::int32_t>{2000}));
  EXPECT_EQ(editing.dropped[2], (std::vector<std::int32_t>{2000, 1000}));
  EXPECT_EQ(editing.dropped[3], (std::vector<std::int32_t>{2000}));
  // The drop after the q is taken back too: q changed no table, so the
  // history reaches back over it.
  EXPECT_EQ(r->marks.at_ms_table, before.at_ms_table);
  EXPECT_TRUE(editing.dropped.back().empty());
  const std::string menu_line = std::string("chart> ") + kMenu;
  EXPECT_EQ(std::count(editing.transcript.begin(), editing.transcript.end(), menu_line), 2);
}

// Unsaved means different from the file as last saved or loaded: c again
// after a save, with the same result, leaves nothing to save and nothing to ask.
TEST_F(Menu, TablesEqualToTheSavedFileAreNotUnsaved) {
  test::DrivesRoot root;
  std::filesystem::create_directories(root.path() / "d");
  r->result_path.assign("d:\\abcari.csv");
  for (const char* reply : {"c", "y", "s", "y", "c", "y", "x"}) layer.chart_input.emplace_back(reply);
  run_command_loop(layer, *r, drawing, root.path());
  EXPECT_EQ(layer.exit_questions, 0);
  EXPECT_FALSE(r->results_unsaved);
  EXPECT_FALSE(layer.unsaved);
}

TEST_F(Menu, DetectionComesBackToTheRedraw) {
  run({"c", "y", "C", "n", "x"});
  EXPECT_EQ(layer.clears, 3);
  EXPECT_EQ(r->marks.at_beat_count, 1);
}

// Ranges suggested at the menu: drawn into d's window, then taken, left,
// or clicked over as d does; the overview and the menu line come back.
TEST(MenuSuggestion, RangesSuggestedFromTheSampleAreTakenOrLeft) {
  test::SampleExpectation e = test::expect_sample(0.1f, {-80, 80, 100, 200});
  DrawingState drawing;
  ASSERT_TRUE(find_beats(*e.r, drawing));
  RunRecord& r = *e.r;
  for (const RangeAnswer answer : {RangeAnswer::cancel, RangeAnswer::accept}) {
    r.at_from = -80;
    r.at_to = 80;
    r.rt_from = 100;
    r.rt_to = 200;
    EditingLayer editing;
    editing.range_answer = answer;
    for (const char* line : {"!suggest", "x"}) editing.chart_input.emplace_back(line);
    run_command_loop(editing, r, drawing, ".");
    ASSERT_EQ(editing.suggested.size(), 1u);
    const RangeBounds b = editing.suggested[0];
    // The sample's activations lie within 30 ms of its beats and its T waves'
    // steepest rises 150 to 200 ms after them.
    EXPECT_LT(b.at_from, 0);
    EXPECT_GT(b.at_to, 20);
    EXPECT_LT(b.at_to, 80);
    EXPECT_GT(b.rt_from, 100);
    EXPECT_LT(b.rt_from, 170);
    EXPECT_GT(b.rt_to, 190);
    EXPECT_LT(b.rt_to, 260);
    const RangeBounds now{r.at_from, r.at_to, r.rt_from, r.rt_to};
    const RangeBounds unchanged{-80, 80, 100, 200};
    EXPECT_EQ(now, answer == RangeAnswer::accept ? b : unchanged);
    // The window was drawn, then the overview and the menu line again.
    const std::string menu = std::string("chart> ") + kMenu;
    EXPECT_EQ(std::count(editing.transcript.begin(), editing.transcript.end(), menu), 2);
    EXPECT_EQ(editing.notes.back(), answer == RangeAnswer::accept ? "提案された認識範囲にしました。次の c から使われます"
                                                                    : "認識範囲は変えていません");
  }
}

}  // namespace
}  // namespace telmor
