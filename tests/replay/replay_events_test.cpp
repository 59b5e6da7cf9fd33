// Mouse events, typed lines that do not fit, and scripts that run out.
#include "replay/replay_layer.h"

#include <vector>

#include <gtest/gtest.h>

#include "support/replay_harness.h"

namespace telmor {
namespace {

using test::ReplayHarness;

constexpr int kCorrectionMask = kLeftPress + kRightPress + kRightDouble;  // 41
constexpr int kPickMask = kLeftPress + kRightPress;                       // 9

std::vector<int> codes(const std::vector<MouseEvent>& events) {
  std::vector<int> result;
  for (const MouseEvent& e : events) result.push_back(e.event);
  return result;
}

TEST(ReplayEvents, LeftDoubleClickReachesTwoWaits) {
  ReplayHarness h("double left 30 40\n");
  std::vector<MouseEvent> events;
  EXPECT_EQ(h.run([&](WindowLayer& layer) {
              events.push_back(layer.wait_mouse_event(kLeftPress + kLeftDouble));
              layer.chart_clear();  // redrawing after the press
              layer.line_to(50, 50);
              events.push_back(layer.wait_mouse_event(kLeftPress + kLeftDouble));
              layer.program_stop();
            }),
            0);
  EXPECT_EQ(codes(events), (std::vector<int>{kLeftPress, kLeftDouble}));
  EXPECT_EQ(events[1].x, 30);
  EXPECT_EQ(events[1].y, 40);
  EXPECT_EQ(h.transcript.str(), "chart: mouse 1 30 40\nchart: clear\nchart: mouse 4 30 40\n");
}

TEST(ReplayEvents, RightDoubleClickEndsTwoCorrectionWaits) {
  ReplayHarness h("double right 7 8\npress left 1 2\n");
  std::vector<MouseEvent> events;
  EXPECT_EQ(h.run([&](WindowLayer& layer) {
              for (int i = 0; i < 3; ++i) events.push_back(layer.wait_mouse_event(kCorrectionMask));
              layer.program_stop();
            }),
            0);
  EXPECT_EQ(codes(events), (std::vector<int>{kRightPress, kRightDouble, kLeftPress}));
}

TEST(ReplayEvents, EventOutsideTheMaskIsDropped) {
  // A left double-click while the program waits for 1 + 8: the press ends
  // the first wait, the double-click is dropped and the second wait goes on
  // to the right press.
  ReplayHarness h("double left 3 4\npress right 5 6\n");
  std::vector<MouseEvent> events;
  EXPECT_EQ(h.run([&](WindowLayer& layer) {
              events.push_back(layer.wait_mouse_event(kPickMask));
              events.push_back(layer.wait_mouse_event(kPickMask));
              layer.program_stop();
            }),
            0);
  EXPECT_EQ(codes(events), (std::vector<int>{kLeftPress, kRightPress}));
  EXPECT_EQ(events[1].x, 5);
  EXPECT_EQ(h.transcript.str(),
            "chart: mouse 1 3 4\nchart: ignored mouse 4 3 4\nchart: mouse 8 5 6\n");
}

TEST(ReplayEvents, PressesOutsideTheMaskAreDroppedToo) {
  ReplayHarness h("press left 1 1\npress left 2 2\npress right 3 3\n");
  MouseEvent event;
  EXPECT_EQ(h.run([&](WindowLayer& layer) {
              event = layer.wait_mouse_event(kRightPress);
              layer.program_stop();
            }),
            0);
  EXPECT_EQ(event.event, kRightPress);
  EXPECT_EQ(event.x, 3);
}

TEST(ReplayEvents, PendingEventsAreDiscardedAtATypedRead) {
  ReplayHarness h("double right 9 9\nchart n\npress left 2 3\n");
  MouseEvent first, second;
  std::string reply;
  EXPECT_EQ(h.run([&](WindowLayer& layer) {
              first = layer.wait_mouse_event(kCorrectionMask);
              reply = layer.chart_read_line();
              second = layer.wait_mouse_event(kCorrectionMask);
              layer.program_stop();
            }),
            0);
  EXPECT_EQ(first.event, kRightPress);
  EXPECT_EQ(reply, "n");
  EXPECT_EQ(second.event, kLeftPress);  // not the pending 32
  EXPECT_EQ(h.transcript.str(),
            "chart: mouse 8 9 9\nchart: ignored mouse 32 9 9\nchart< n\nchart: mouse 1 2 3\n");
}

TEST(ReplayEvents, TypedLineWhileWaitingForAClickIsAMismatch) {
  ReplayHarness h("press left 1 1\n# comment\nchart x\n");
  const int status = h.run([&](WindowLayer& layer) {
    layer.wait_mouse_event(kCorrectionMask);
    layer.wait_mouse_event(kCorrectionMask);
    ADD_FAILURE() << "the second wait returned";
  });
  EXPECT_EQ(status, kReplayMismatch);
  EXPECT_EQ(h.message,
            "script line 3 (chart x) does not fit: the program waited for a mouse event (mask 41)");
}

TEST(ReplayEvents, ClickWhileWaitingForATypedLineIsAMismatch) {
  ReplayHarness h("press right 4 5\n");
  EXPECT_EQ(h.run([&](WindowLayer& layer) { layer.chart_read_line(); }), kReplayMismatch);
  EXPECT_EQ(h.message,
            "script line 1 (press right 4 5) does not fit: the program waited for a line typed "
            "into the chart");
}

TEST(ReplayEvents, ConsoleAndChartLinesDoNotStandInForEachOther) {
  ReplayHarness console_for_chart("console y\n");
  EXPECT_EQ(console_for_chart.run([](WindowLayer& layer) { layer.chart_read_line(); }),
            kReplayMismatch);
  EXPECT_EQ(console_for_chart.message,
            "script line 1 (console y) does not fit: the program waited for a line typed into "
            "the chart");

  ReplayHarness chart_for_console("\nchart y\n");
  EXPECT_EQ(chart_for_console.run([](WindowLayer& layer) { layer.console_read_line(); }),
            kReplayMismatch);
  EXPECT_EQ(chart_for_console.message,
            "script line 2 (chart y) does not fit: the program waited for a line typed into "
            "the console");
}

TEST(ReplayEvents, RunningOutSaysWhatTheProgramWaitedFor) {
  ReplayHarness console("");
  EXPECT_EQ(console.run([](WindowLayer& layer) { layer.console_read_line(); }), kReplayRanOut);
  EXPECT_EQ(console.message,
            "the script ran out while the program waited for a line typed into the console");

  ReplayHarness chart("chart a\n");
  EXPECT_EQ(chart.run([](WindowLayer& layer) {
              layer.chart_read_line();
              layer.chart_read_line();
            }),
            kReplayRanOut);
  EXPECT_EQ(chart.message,
            "the script ran out while the program waited for a line typed into the chart");

  ReplayHarness mouse("double left 1 1\n");
  EXPECT_EQ(mouse.run([](WindowLayer& layer) {
              layer.wait_mouse_event(kCorrectionMask);  // 1; the 4 is dropped after it
              layer.wait_mouse_event(kCorrectionMask);
            }),
            kReplayRanOut);
  EXPECT_EQ(mouse.message,
            "the script ran out while the program waited for a mouse event (mask 41)");
}

TEST(ReplayEvents, StopIsAnInputClosed) {
  ReplayHarness h("");
  EXPECT_THROW(h.layer.wait_mouse_event(kPickMask), InputClosed);
}

}  // namespace
}  // namespace telmor
