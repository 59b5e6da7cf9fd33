// What the user has typed, clicked and chosen, handed from the GUI thread to
// the program's thread. A typed line goes only to a question the program is
// asking in that window at that moment; clicks and pass keys queue, so that
// quick clicks made while a window is redrawn still count.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "console/window_layer.h"

namespace telmor {

// What the program's thread is blocked on.
enum class Awaiting { nothing, console_line, chart_line, mouse, exit_choice, range_answer, changed_file };

class InputQueues {
 public:
  // At most this many mouse events wait unread; the oldest go first beyond it.
  static constexpr std::size_t kMaxMouseEvents = 1024;

  // GUI side. Pushes after close() are ignored.
  // A line is taken only while the program waits for a line of that window
  // and has none yet; otherwise it is dropped and the push says false.
  bool push_console_line(std::string line);
  bool push_chart_line(std::string line);
  void push_mouse_event(const MouseEvent& event);
  // A key of a correction pass, queued with the clicks (code kPassKey).
  void push_pass_key(PassKey key);
  // A change of the tables asked for at the menu: taken only while the
  // program waits at its menu (take_menu_line), which then returns it.
  // False when not taken.
  bool push_menu_edit(const MenuEdit& edit);
  // The answer to the question confirm_exit asked; false when none is asked.
  bool answer_exit(ExitChoice choice);
  // The answer to ask_suggested_ranges; false when none is asked.
  bool answer_ranges(RangeAnswer answer);
  // The answer to ask_changed_file; false when none is asked.
  bool answer_changed_file(ChangedFileAnswer answer);
  // The next (or the current) blocking take throws SaveAndClose, once.
  void request_save_and_close();
  // The next (or the current) blocking take throws OpenRecordingRequest with
  // request, once (a later request replaces one not yet taken).
  void request_open(std::shared_ptr<const OpenRequest> request);
  // Ends all input: every waiting and every later take throws InputClosed.
  void close();
  bool is_closed() const;
  Awaiting awaiting() const;

  // Program side. Each take of a line first drops the mouse events still
  // queued (clicks made while the program waited for typing answer nothing),
  // then blocks until a line is typed into its window and returns it.
  std::string take_console_line();
  std::string take_chart_line();
  // The chart's line at the program's menu, or a menu edit pushed meanwhile.
  MenuRead take_menu_line();
  // Blocks until a mouse event whose code is in mask is queued and returns it;
  // the events before it that are not in mask are dropped.
  MouseEvent take_mouse_event(int mask);
  ExitChoice take_exit_choice();
  RangeAnswer take_range_answer();
  ChangedFileAnswer take_changed_file_answer();

 private:
  bool push_line(Awaiting window, std::string line);
  std::string take_line(Awaiting window);
  // Waits, as what, until ready() holds; throws when input ends or a save
  // and close is asked for.
  template <class Ready>
  void wait_for(std::unique_lock<std::mutex>& lock, Awaiting what, Ready ready);

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  Awaiting awaiting_ = Awaiting::nothing;
  std::optional<std::string> line_;  // the answer to the line asked
  std::optional<ExitChoice> exit_choice_;
  std::optional<RangeAnswer> range_answer_;
  std::optional<ChangedFileAnswer> changed_file_answer_;
  std::optional<MenuEdit> menu_edit_;
  bool menu_read_ = false;  // the chart line waited for is the menu's
  std::deque<MouseEvent> mouse_events_;
  bool save_and_close_ = false;
  std::shared_ptr<const OpenRequest> open_;
  bool closed_ = false;
};

}  // namespace telmor
