// Blocking input queues between the GUI thread and the program's thread.
#include "gui/input_queues.h"

#include <utility>

namespace telmor {

void InputQueues::push_console_line(std::string line) {
  {
    const std::lock_guard lock(mutex_);
    if (closed_) return;
    console_lines_.push_back(std::move(line));
  }
  changed_.notify_all();
}

void InputQueues::push_chart_line(std::string line) {
  {
    const std::lock_guard lock(mutex_);
    if (closed_) return;
    chart_lines_.push_back(std::move(line));
  }
  changed_.notify_all();
}

void InputQueues::push_mouse_event(const MouseEvent& event) {
  {
    const std::lock_guard lock(mutex_);
    if (closed_) return;
    if (mouse_events_.size() >= kMaxMouseEvents) mouse_events_.pop_front();
    mouse_events_.push_back(event);
  }
  changed_.notify_all();
}

void InputQueues::close() {
  {
    const std::lock_guard lock(mutex_);
    closed_ = true;
  }
  changed_.notify_all();
}

bool InputQueues::is_closed() const {
  const std::lock_guard lock(mutex_);
  return closed_;
}

std::string InputQueues::take_console_line() { return take_line(console_lines_); }

std::string InputQueues::take_chart_line() { return take_line(chart_lines_); }

std::string InputQueues::take_line(std::deque<std::string>& lines) {
  std::unique_lock lock(mutex_);
  mouse_events_.clear();
  changed_.wait(lock, [&] { return closed_ || !lines.empty(); });
  if (closed_) throw InputClosed("the window was closed");
  std::string line = std::move(lines.front());
  lines.pop_front();
  return line;
}

MouseEvent InputQueues::take_mouse_event(int mask) {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return closed_ || !mouse_events_.empty(); });
    if (closed_) throw InputClosed("the window was closed");
    const MouseEvent event = mouse_events_.front();
    mouse_events_.pop_front();
    if ((event.event & mask) != 0) return event;
  }
}

}  // namespace telmor
