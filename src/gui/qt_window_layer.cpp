// The desktop window layer: program thread on one side, GUI thread on the other.
#include "gui/qt_window_layer.h"

#include <QCoreApplication>
#include <QEvent>
#include <utility>

#include "gui/frame_language.h"
#include "gui/frame_window.h"

namespace telmor {

void FlushNotifier::customEvent(QEvent*) {
  // The event itself is not looked at: it was made on the program's thread,
  // and flush() takes the lock under which it was posted first.
  layer_.flush();
}

QtWindowLayer::QtWindowLayer(FrameWindow& frame) : frame_(frame) {}

void QtWindowLayer::post(GuiOp op) {
  const std::lock_guard lock(output_mutex_);
  pending_.push_back(std::move(op));
  if (flush_posted_) return;
  // Everything posted until the GUI thread runs this goes with it: a curve of
  // thousands of segments costs a few flushes, not an event per segment.
  // It is posted under the lock that flush() takes first, so that the
  // hand-over is ordered by a lock the thread checker sees, not only by
  // Qt's event queue.
  flush_posted_ = true;
  ++batch_count_;
  QCoreApplication::postEvent(&notifier_, new QEvent(QEvent::User));
}

void QtWindowLayer::flush() {
  GuiOpBatch batch;
  {
    const std::lock_guard lock(output_mutex_);
    batch.swap(pending_);
    flush_posted_ = false;
  }
  frame_.apply(batch);
}

void QtWindowLayer::console_write(std::string_view line) {
  post(gui_op::ConsoleLine{frame_line(line)});
}

std::string QtWindowLayer::console_read_line() {
  post(gui_op::Ask{gui_op::Ask::What::console_line});
  return frame_.input().take_console_line();
}

void QtWindowLayer::chart_open() { post(gui_op::ChartOpen{}); }

void QtWindowLayer::chart_write(std::string_view line) {
  post(gui_op::ChartLine{frame_line(line)});
}

std::string QtWindowLayer::chart_read_line() {
  post(gui_op::Ask{gui_op::Ask::What::chart_line, std::exchange(menu_next_, false)});
  return frame_.input().take_chart_line();
}

MenuRead QtWindowLayer::menu_read_line() {
  post(gui_op::Ask{gui_op::Ask::What::chart_line, std::exchange(menu_next_, false)});
  return frame_.input().take_menu_line();
}

void QtWindowLayer::chart_close() { post(gui_op::ChartClose{}); }

void QtWindowLayer::chart_clear() { post(gui_op::ChartClear{}); }

std::uint32_t QtWindowLayer::set_color_rgb(std::uint32_t colour) {
  return std::exchange(colour_, colour & 0x00FFFFFFu);
}

PixelPoint QtWindowLayer::move_to(std::int16_t x, std::int16_t y) {
  return std::exchange(position_, PixelPoint{x, y});
}

void QtWindowLayer::line_to(std::int16_t x, std::int16_t y) {
  post(gui_op::Segment{colour_, position_.x, position_.y, x, y});
  position_ = PixelPoint{x, y};
}

Cursor QtWindowLayer::set_mouse_cursor(Cursor cursor) {
  if (cursor != cursor_) post(gui_op::SetCursor{cursor});
  return std::exchange(cursor_, cursor);
}

MouseEvent QtWindowLayer::wait_mouse_event(int mask) {
  post(gui_op::Ask{gui_op::Ask::What::mouse, false, (mask & kPassKey) != 0});
  return frame_.input().take_mouse_event(mask);
}

void QtWindowLayer::program_stop() { post(gui_op::Stop{}); }

void QtWindowLayer::at_menu(const ResultsSnapshot& results) {
  post(gui_op::Results{std::make_shared<const ResultsSnapshot>(results)});
  menu_next_ = true;
}

void QtWindowLayer::tables_changed(const ResultsSnapshot& results) {
  post(gui_op::LiveResults{std::make_shared<const ResultsSnapshot>(results)});
}

void QtWindowLayer::show_place(const Place& place) { post(gui_op::Place{place}); }

void QtWindowLayer::show_note(std::string_view note) { post(gui_op::Note{frame_line(note)}); }

void QtWindowLayer::show_time_axis(const TimeAxis& axis) {
  post(gui_op::TimeAxis{axis});
}

void QtWindowLayer::show_lead_strip(const LeadStrip& strip) {
  if (strip_ && *strip_ == strip) return;
  strip_ = std::make_shared<const LeadStrip>(strip);
  post(gui_op::Strip{strip_});
}

void QtWindowLayer::show_unsaved(bool unsaved) { post(gui_op::Unsaved{unsaved}); }

AnalysisChoice QtWindowLayer::analysis_choice() { return frame_.analysis_choice(); }

RangeAnswer QtWindowLayer::ask_suggested_ranges(const RangeBounds& suggested) {
  post(gui_op::AskRanges{suggested});
  return frame_.input().take_range_answer();
}

ChangedFileAnswer QtWindowLayer::ask_changed_file(const ChangedFile& changed) {
  post(gui_op::AskChangedFile{changed});
  return frame_.input().take_changed_file_answer();
}

ExitChoice QtWindowLayer::confirm_exit() {
  post(gui_op::AskExit{});
  return frame_.input().take_exit_choice();
}

}  // namespace telmor
