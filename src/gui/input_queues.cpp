// Blocking input queues between the GUI thread and the program's thread.
#include "gui/input_queues.h"

#include <utility>

namespace telmor {

bool InputQueues::push_console_line(std::string line) {
  return push_line(Awaiting::console_line, std::move(line));
}

bool InputQueues::push_chart_line(std::string line) {
  return push_line(Awaiting::chart_line, std::move(line));
}

bool InputQueues::push_line(Awaiting window, std::string line) {
  {
    const std::lock_guard lock(mutex_);
    // A line nobody asked for is not kept for a later question: it would
    // answer that question unseen.
    if (closed_ || awaiting_ != window || line_) return false;
    line_ = std::move(line);
  }
  changed_.notify_all();
  return true;
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

void InputQueues::push_pass_key(PassKey key) {
  MouseEvent event;
  event.event = kPassKey;
  event.key = key;
  push_mouse_event(event);
}

bool InputQueues::push_menu_edit(const MenuEdit& edit) {
  {
    const std::lock_guard lock(mutex_);
    if (closed_ || awaiting_ != Awaiting::chart_line || !menu_read_ || line_ || menu_edit_) return false;
    menu_edit_ = edit;
  }
  changed_.notify_all();
  return true;
}

bool InputQueues::answer_exit(ExitChoice choice) {
  {
    const std::lock_guard lock(mutex_);
    if (closed_ || awaiting_ != Awaiting::exit_choice || exit_choice_) return false;
    exit_choice_ = choice;
  }
  changed_.notify_all();
  return true;
}

bool InputQueues::answer_ranges(RangeAnswer answer) {
  {
    const std::lock_guard lock(mutex_);
    if (closed_ || awaiting_ != Awaiting::range_answer || range_answer_) return false;
    range_answer_ = answer;
  }
  changed_.notify_all();
  return true;
}

bool InputQueues::answer_changed_file(ChangedFileAnswer answer) {
  {
    const std::lock_guard lock(mutex_);
    if (closed_ || awaiting_ != Awaiting::changed_file || changed_file_answer_) return false;
    changed_file_answer_ = answer;
  }
  changed_.notify_all();
  return true;
}

void InputQueues::request_save_and_close() {
  {
    const std::lock_guard lock(mutex_);
    save_and_close_ = true;
  }
  changed_.notify_all();
}

void InputQueues::request_open(std::shared_ptr<const OpenRequest> request) {
  {
    const std::lock_guard lock(mutex_);
    open_ = std::move(request);
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

Awaiting InputQueues::awaiting() const {
  const std::lock_guard lock(mutex_);
  return awaiting_;
}

template <class Ready>
void InputQueues::wait_for(std::unique_lock<std::mutex>& lock, Awaiting what, Ready ready) {
  awaiting_ = what;
  changed_.wait(lock, [&] { return closed_ || save_and_close_ || open_ || ready(); });
  awaiting_ = Awaiting::nothing;
  if (closed_) throw InputClosed("the window was closed");
  if (open_ && !save_and_close_) {
    line_.reset();
    exit_choice_.reset();
    range_answer_.reset();
    changed_file_answer_.reset();
    menu_edit_.reset();
    mouse_events_.clear();
    throw OpenRecordingRequest(std::exchange(open_, nullptr));
  }
  if (save_and_close_) {
    save_and_close_ = false;
    line_.reset();
    exit_choice_.reset();
    range_answer_.reset();
    changed_file_answer_.reset();
    throw SaveAndClose("save and close");
  }
}

std::string InputQueues::take_console_line() { return take_line(Awaiting::console_line); }

std::string InputQueues::take_chart_line() { return take_line(Awaiting::chart_line); }

std::string InputQueues::take_line(Awaiting window) {
  std::unique_lock lock(mutex_);
  mouse_events_.clear();
  line_.reset();
  menu_edit_.reset();
  wait_for(lock, window, [&] { return line_.has_value(); });
  return *std::exchange(line_, std::nullopt);
}

MenuRead InputQueues::take_menu_line() {
  std::unique_lock lock(mutex_);
  mouse_events_.clear();
  line_.reset();
  menu_edit_.reset();
  menu_read_ = true;
  try {
    wait_for(lock, Awaiting::chart_line, [&] { return line_.has_value() || menu_edit_.has_value(); });
  } catch (...) {
    menu_read_ = false;
    throw;
  }
  menu_read_ = false;
  if (menu_edit_) return *std::exchange(menu_edit_, std::nullopt);
  return *std::exchange(line_, std::nullopt);
}

MouseEvent InputQueues::take_mouse_event(int mask) {
  std::unique_lock lock(mutex_);
  for (;;) {
    wait_for(lock, Awaiting::mouse, [&] { return !mouse_events_.empty(); });
    const MouseEvent event = mouse_events_.front();
    mouse_events_.pop_front();
    if ((event.event & mask) != 0) return event;
  }
}

ExitChoice InputQueues::take_exit_choice() {
  std::unique_lock lock(mutex_);
  exit_choice_.reset();
  wait_for(lock, Awaiting::exit_choice, [&] { return exit_choice_.has_value(); });
  return *std::exchange(exit_choice_, std::nullopt);
}

RangeAnswer InputQueues::take_range_answer() {
  std::unique_lock lock(mutex_);
  range_answer_.reset();
  wait_for(lock, Awaiting::range_answer, [&] { return range_answer_.has_value(); });
  return *std::exchange(range_answer_, std::nullopt);
}

ChangedFileAnswer InputQueues::take_changed_file_answer() {
  std::unique_lock lock(mutex_);
  changed_file_answer_.reset();
  wait_for(lock, Awaiting::changed_file, [&] { return changed_file_answer_.has_value(); });
  return *std::exchange(changed_file_answer_, std::nullopt);
}

}  // namespace telmor
