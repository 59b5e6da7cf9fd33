// The blocking input queues on their own: order, masks, stale clicks, closing.
#include "gui/input_queues.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace telmor {
namespace {

MouseEvent mouse(int code, int x = 0, int y = 0) {
  return MouseEvent{code, 0, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)};
}

TEST(InputQueues, LinesComeOutInTypingOrderPerWindow) {
  InputQueues input;
  input.push_console_line("first");
  input.push_chart_line("menu reply");
  input.push_console_line("second");
  EXPECT_EQ(input.take_console_line(), "first");
  EXPECT_EQ(input.take_console_line(), "second");
  EXPECT_EQ(input.take_chart_line(), "menu reply");
}

TEST(InputQueues, EmptyLineIsALineOfItsOwn) {
  InputQueues input;
  input.push_chart_line("");
  input.push_chart_line("y");
  EXPECT_EQ(input.take_chart_line(), "");
  EXPECT_EQ(input.take_chart_line(), "y");
}

TEST(InputQueues, WaitDropsEventsOutsideItsMask) {
  InputQueues input;
  input.push_mouse_event(mouse(kRightPress, 1, 1));
  input.push_mouse_event(mouse(kMouseMove, 2, 2));
  input.push_mouse_event(mouse(kLeftPress, 3, 4));
  input.push_mouse_event(mouse(kLeftRelease, 3, 4));
  const MouseEvent got = input.take_mouse_event(kLeftPress);
  EXPECT_EQ(got.event, kLeftPress);
  EXPECT_EQ(got.x, 3);
  EXPECT_EQ(got.y, 4);
  // The right press went with the first wait; the release goes with this one.
  input.push_mouse_event(mouse(kLeftPress, 5, 6));
  EXPECT_EQ(input.take_mouse_event(kLeftPress + kRightPress).x, 5);
}

TEST(InputQueues, DoubleClickWaitsForTheNextWait) {
  InputQueues input;
  input.push_mouse_event(mouse(kRightPress));
  input.push_mouse_event(mouse(kRightRelease));
  input.push_mouse_event(mouse(kRightDouble));
  input.push_mouse_event(mouse(kRightRelease));
  constexpr int kMask = kLeftPress + kRightPress + kRightDouble;
  EXPECT_EQ(input.take_mouse_event(kMask).event, kRightPress);
  EXPECT_EQ(input.take_mouse_event(kMask).event, kRightDouble);
}

TEST(InputQueues, LineReadDropsStaleClicks) {
  InputQueues input;
  input.push_mouse_event(mouse(kLeftPress, 9, 9));
  input.push_chart_line("a");
  EXPECT_EQ(input.take_chart_line(), "a");
  input.push_mouse_event(mouse(kLeftPress, 1, 2));
  EXPECT_EQ(input.take_mouse_event(kLeftPress).x, 1);
}

TEST(InputQueues, BlockedReadGetsALinePushedLater) {
  InputQueues input;
  auto line = std::async(std::launch::async, [&] { return input.take_console_line(); });
  EXPECT_EQ(line.wait_for(std::chrono::milliseconds(20)), std::future_status::timeout);
  input.push_console_line("abc");
  EXPECT_EQ(line.get(), "abc");
}

TEST(InputQueues, CloseWakesEveryWaiterWithInputClosed) {
  InputQueues input;
  auto console = std::async(std::launch::async, [&] { return input.take_console_line(); });
  auto chart = std::async(std::launch::async, [&] { return input.take_chart_line(); });
  auto click = std::async(std::launch::async, [&] { return input.take_mouse_event(kLeftPress); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  input.close();
  EXPECT_THROW(console.get(), InputClosed);
  EXPECT_THROW(chart.get(), InputClosed);
  EXPECT_THROW(click.get(), InputClosed);
  EXPECT_TRUE(input.is_closed());
}

TEST(InputQueues, NothingIsReadAfterClose) {
  InputQueues input;
  input.push_console_line("typed before");
  input.close();
  input.push_chart_line("typed after");
  EXPECT_THROW(input.take_console_line(), InputClosed);
  EXPECT_THROW(input.take_chart_line(), InputClosed);
  EXPECT_THROW(input.take_mouse_event(0x7F), InputClosed);
}

TEST(InputQueues, UnreadMouseEventsAreBounded) {
  InputQueues input;
  for (std::size_t i = 0; i < InputQueues::kMaxMouseEvents + 10; ++i) {
    input.push_mouse_event(mouse(kMouseMove, static_cast<int>(i)));
  }
  // The ten oldest moves made room for the newest.
  EXPECT_EQ(input.take_mouse_event(kMouseMove).x, 10);
}

}  // namespace
}  // namespace telmor
