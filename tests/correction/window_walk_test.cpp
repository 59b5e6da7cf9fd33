// The walk through the windows: order, captions, stepping back, the end of
// the pass, and what the pass leaves behind.
#include <algorithm>
#include <string>
#include <vector>

#include "correction/mark_correction.h"
#include "support/correction_harness.h"

namespace telmor::test {
namespace {

using WindowWalk = CorrectionPass;

TEST_F(WindowWalk, TwoLeadsOfThreeSecondsGiveTwelveWindowsThenTheSaveDialogue) {
  right(12);
  EXPECT_TRUE(run());

  const std::vector<std::string> expected = {
      "誘導  1の  0.0-  1.0secを解析します。", "誘導  1の  0.5-  1.5secを解析します。",
      "誘導  1の  1.0-  2.0secを解析します。", "誘導  1の  1.5-  2.5secを解析します。",
      "誘導  1の  2.0-  3.0secを解析します。", "誘導  1の  2.5-  3.5secを解析します。",
      "誘導  2の  0.0-  1.0secを解析します。", "誘導  2の  0.5-  1.5secを解析します。",
      "誘導  2の  1.0-  2.0secを解析します。", "誘導  2の  1.5-  2.5secを解析します。",
      "誘導  2の  2.0-  3.0secを解析します。", "誘導  2の  2.5-  3.5secを解析します。"};
  EXPECT_EQ(captions(), expected);
  for (const Screen& s : layer.screens) {
    ASSERT_EQ(s.lines.size(), 2u);
    EXPECT_EQ(s.lines[1], kAtInstruction);
    EXPECT_EQ(s.cursor, Cursor::cross);  // set again before every wait
    EXPECT_EQ(s.mask, kLeftPress + kRightPress + kRightDouble + kPassKey);  // and the keys
  }

  // The twelfth press clears the chart and ends the pass: nothing is drawn or
  // written after it (the menu's command offers the save next).
  EXPECT_EQ(layer.clears, 13);
  const auto last_click = std::find(layer.transcript.rbegin(), layer.transcript.rend(), "chart: mouse 8");
  const auto last_clear = std::find(layer.transcript.rbegin(), layer.transcript.rend(), "chart: clear");
  EXPECT_LT(last_clear, last_click);  // reverse iterators: the clear came later
  EXPECT_TRUE(layer.segments.empty());
  EXPECT_TRUE(layer.chart_lines.empty());
  EXPECT_EQ(layer.transcript.back(), "chart: clear");
}

TEST_F(WindowWalk, EleventhPressStillShowsAWindow) {
  right(11);
  EXPECT_FALSE(run());
  EXPECT_EQ(layer.screens.size(), 12u);
}

TEST_F(WindowWalk, CaptionOfLeadTwoFrom1500) {
  right(9);
  EXPECT_FALSE(run());
  EXPECT_EQ(captions().back(), "誘導  2の  1.5-  2.5secを解析します。");
}

TEST_F(WindowWalk, DoubleClickInTheFirstWindowStaysThere) {
  double_right();
  right();
  EXPECT_FALSE(run());
  // The last press shows the second window: the index was held at 0, not -1.
  const std::vector<std::string> expected = {
      "誘導  1の  0.0-  1.0secを解析します。", "誘導  1の  0.5-  1.5secを解析します。",
      "誘導  1の  0.0-  1.0secを解析します。", "誘導  1の  0.5-  1.5secを解析します。"};
  EXPECT_EQ(captions(), expected);
}

TEST_F(WindowWalk, DoubleClickInTheFirstWindowOfLeadTwoShowsTheLastOfLeadOne) {
  right(6);
  double_right();
  EXPECT_FALSE(run());
  const std::vector<std::string> shown = captions();
  ASSERT_EQ(shown.size(), 9u);
  EXPECT_EQ(shown[6], "誘導  2の  0.0-  1.0secを解析します。");
  EXPECT_EQ(shown[7], "誘導  2の  0.5-  1.5secを解析します。");
  EXPECT_EQ(shown[8], "誘導  1の  2.5-  3.5secを解析します。");
}

TEST_F(WindowWalk, RtPassShowsAndEditsOnlyRtTimes) {
  record->rt_ms(1, 1) = 700.0f;
  record->at_ms(1, 1) = 250.0f;
  record->marks.rt_beat_count = 1;
  record->marks.at_beat_count = 1;
  left(300);
  EXPECT_FALSE(run(MarkKind::rt));

  ASSERT_EQ(layer.screens.size(), 2u);
  EXPECT_EQ(layer.screens[0].lines[1], kRtInstruction);
  EXPECT_EQ(marks(layer.screens[0], kYellow), std::vector<int>{420});
  EXPECT_TRUE(marks(layer.screens[0], kRed).empty());
  EXPECT_EQ(marks(layer.screens[1], kYellow), (std::vector<int>{299, 420}));
  EXPECT_EQ(std::count(layer.all_segments.begin(), layer.all_segments.end(),
                       Segment{300, 50, 300, 350, kYellow}),
            1);
  EXPECT_EQ(record->marks.rt_beat_count, 2);
  EXPECT_EQ(record->rt_ms(1, 1), 499.99997f);
  EXPECT_EQ(record->rt_ms(1, 2), 700.0f);
  EXPECT_EQ(record->marks.at_beat_count, 1);
  EXPECT_EQ(record->at_ms(1, 1), 250.0f);
  EXPECT_EQ(record->at_ms(1, 2), 0.0f);
}

TEST_F(WindowWalk, LastWindowScaleStaysAndBeatListsAreUntouched) {
  recording(1, 1);
  record->wave(1, 200) = 5.0f;   // first window only
  record->wave(1, 700) = -2.0f;  // largest of the second window
  record->beat_found(1) = 700.0f;
  record->beat_found(2) = 300.0f;
  record->beat_ms(1) = 700;
  record->beat_ms(2) = 300;
  const auto beat_found = record->beat_found_list;
  const auto beat_ms = record->beat_ms_list;

  right();
  left(100);  // an edit, and with it a re-sort
  right();
  EXPECT_TRUE(run());

  const float span = 0.9f - 0.1f;  // 0.79999995 in single precision
  EXPECT_EQ(drawing.amp_max, 2.0f);
  EXPECT_EQ(drawing.yscale, span / 4.0f);
  EXPECT_EQ(record->beat_found_list, beat_found);
  EXPECT_EQ(record->beat_ms_list, beat_ms);
  EXPECT_EQ(record->marks.at_beat_count, 1);
}

}  // namespace
}  // namespace telmor::test
