// What the user has typed and clicked, handed from the GUI thread to the
// program's thread: blocking queues of console lines, chart lines and mouse
// events, and the flag that says no more input will come.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>

#include "console/window_layer.h"

namespace telmor {

class InputQueues {
 public:
  // At most this many mouse events wait unread; the oldest go first beyond it.
  static constexpr std::size_t kMaxMouseEvents = 1024;

  // GUI side. Pushes after close() are ignored.
  void push_console_line(std::string line);
  void push_chart_line(std::string line);
  void push_mouse_event(const MouseEvent& event);
  // Ends all input: every waiting and every later take throws InputClosed.
  void close();
  bool is_closed() const;

  // Program side. Each take of a line first drops the mouse events still
  // queued (clicks made while the program waited for typing answer nothing),
  // then blocks until a line of its queue is there and returns it.
  std::string take_console_line();
  std::string take_chart_line();
  // Blocks until a mouse event whose code is in mask is queued and returns it;
  // the events before it that are not in mask are dropped.
  MouseEvent take_mouse_event(int mask);

 private:
  std::string take_line(std::deque<std::string>& lines);

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::string> console_lines_;
  std::deque<std::string> chart_lines_;
  std::deque<MouseEvent> mouse_events_;
  bool closed_ = false;
};

}  // namespace telmor
