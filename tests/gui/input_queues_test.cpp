// The blocking input queues on their own: lines only for the question asked,
// masks, stale clicks, pass keys, the exit question, save-and-close, closing.
#include "gui/input_queues.h"

#include <gtest/gtest.h>

#include "support/gui_test_support.h"

#include <chrono>
#include <future>
#include <thread>

namespace telmor {
namespace {

MouseEvent mouse(int code, int x = 0, int y = 0) {
  return MouseEvent{code, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)};
}

using test::blocked;
using test::chart_read;

auto console_read(InputQueues& input) {
  return blocked(input, Awaiting::console_line, [&] { return input.take_console_line(); });
}

TEST(InputQueues, ALineGoesOnlyToTheQuestionOfItsWindow) {
  InputQueues input;
  EXPECT_FALSE(input.push_console_line("typed ahead"));  // nobody asks yet
  auto line = console_read(input);
  EXPECT_FALSE(input.push_chart_line("to the chart"));
  EXPECT_TRUE(input.push_console_line(""));  // an empty line is an answer
  EXPECT_FALSE(input.push_console_line("second"));  // one line per question
  EXPECT_EQ(line.get(), "");
  EXPECT_EQ(input.awaiting(), Awaiting::nothing);
  EXPECT_FALSE(input.push_console_line("late"));
}

TEST(InputQueues, ALineTypedDuringAMouseWaitAnswersNoLaterQuestion) {
  InputQueues input;
  auto click = blocked(input, Awaiting::mouse, [&] { return input.take_mouse_event(kLeftPress); });
  EXPECT_FALSE(input.push_chart_line("q"));
  input.push_mouse_event(mouse(kLeftPress, 4, 5));
  EXPECT_EQ(click.get().x, 4);
  auto reply = chart_read(input);
  ASSERT_EQ(reply.wait_for(std::chrono::milliseconds(20)), std::future_status::timeout);
  EXPECT_TRUE(input.push_chart_line("n"));
  EXPECT_EQ(reply.get(), "n");
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

TEST(InputQueues, PassKeysQueueWithTheClicksAndOnlyAPassTakesThem) {
  InputQueues input;
  input.push_pass_key(PassKey::undo);
  input.push_mouse_event(mouse(kRightPress));
  input.push_pass_key(PassKey::page_up);
  constexpr int kPass = kLeftPress + kRightPress + kRightDouble + kPassKey;
  EXPECT_EQ(input.take_mouse_event(kPass).key, PassKey::undo);
  EXPECT_EQ(input.take_mouse_event(kRightPress).event, kRightPress);
  input.push_mouse_event(mouse(kLeftPress, 9));
  EXPECT_EQ(input.take_mouse_event(kLeftPress).x, 9);  // the key was not for this wait
}

TEST(InputQueues, LineReadDropsStaleClicks) {
  InputQueues input;
  input.push_mouse_event(mouse(kLeftPress, 9, 9));
  auto reply = chart_read(input);
  input.push_chart_line("a");
  EXPECT_EQ(reply.get(), "a");
  input.push_mouse_event(mouse(kLeftPress, 1, 2));
  EXPECT_EQ(input.take_mouse_event(kLeftPress).x, 1);
}

TEST(InputQueues, TheExitQuestionTakesOneAnswerWhileAsked) {
  InputQueues input;
  EXPECT_FALSE(input.answer_exit(ExitChoice::save));
  auto choice = blocked(input, Awaiting::exit_choice, [&] { return input.take_exit_choice(); });
  EXPECT_TRUE(input.answer_exit(ExitChoice::cancel));
  EXPECT_EQ(choice.get(), ExitChoice::cancel);
}

TEST(InputQueues, SaveAndCloseEndsOneTakeWhateverItWaitsFor) {
  InputQueues input;
  auto click = blocked(input, Awaiting::mouse, [&] { return input.take_mouse_event(kLeftPress); });
  input.request_save_and_close();
  EXPECT_THROW(click.get(), SaveAndClose);
  // Asked while the program is busy, it ends the next take instead.
  input.request_save_and_close();
  EXPECT_THROW(input.take_chart_line(), SaveAndClose);
  auto reply = chart_read(input);  // once only
  input.push_chart_line("y");
  EXPECT_EQ(reply.get(), "y");
}

// An opened recording ends one take, whatever it waits for, with the request;
// a second request before it is taken replaces the first.
TEST(InputQueues, AnOpenedRecordingEndsOneTakeWithItsRequest) {
  InputQueues input;
  auto request = std::make_shared<OpenRequest>();
  request->file = "a.edf";
  auto line = console_read(input);
  input.request_open(request);
  try {
    line.get();
    ADD_FAILURE() << "the read returned";
  } catch (const OpenRecordingRequest& opened) {
    EXPECT_EQ(opened.request(), request);
  }
  auto later = std::make_shared<OpenRequest>();
  input.request_open(request);
  input.request_open(later);
  try {
    input.take_mouse_event(kLeftPress);
    ADD_FAILURE() << "the wait returned";
  } catch (const OpenRecordingRequest& opened) {
    EXPECT_EQ(opened.request(), later);
  }
  auto reply = chart_read(input);  // once only
  input.push_chart_line("y");
  EXPECT_EQ(reply.get(), "y");
}

TEST(InputQueues, CloseWakesEveryWaiterWithInputClosed) {
  InputQueues input;
  // Each blocked before the next starts, so that close finds all three waiting.
  auto console = blocked(input, Awaiting::console_line, [&] { return input.take_console_line(); });
  auto chart = blocked(input, Awaiting::chart_line, [&] { return input.take_chart_line(); });
  auto click = blocked(input, Awaiting::mouse, [&] { return input.take_mouse_event(kLeftPress); });
  input.close();
  EXPECT_THROW(console.get(), InputClosed);
  EXPECT_THROW(chart.get(), InputClosed);
  EXPECT_THROW(click.get(), InputClosed);
  EXPECT_TRUE(input.is_closed());
}

TEST(InputQueues, NothingIsReadAfterClose) {
  InputQueues input;
  input.push_mouse_event(mouse(kLeftPress));
  input.close();
  EXPECT_FALSE(input.push_chart_line("typed after"));
  EXPECT_THROW(input.take_console_line(), InputClosed);
  EXPECT_THROW(input.take_mouse_event(0x7F), InputClosed);
  EXPECT_THROW(input.take_exit_choice(), InputClosed);
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
