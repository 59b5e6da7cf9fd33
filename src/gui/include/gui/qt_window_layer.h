// The window layer of the desktop: the program calls it on its own thread;
// output goes to the frame on the GUI thread in batches, input comes back
// through the frame's blocking queues.
#pragma once

#include <QObject>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "console/window_layer.h"
#include "gui/gui_ops.h"

namespace telmor {

class FrameWindow;
class QtWindowLayer;

// Lives on the GUI thread; each event posted to it applies the layer's
// pending output there. Its events go with it, so none outlives the layer.
class FlushNotifier final : public QObject {
 public:
  explicit FlushNotifier(QtWindowLayer& layer) : layer_(layer) {}

 protected:
  void customEvent(QEvent* event) override;

 private:
  QtWindowLayer& layer_;
};

class QtWindowLayer final : public WindowLayer {
 public:
  // Made on the GUI thread; frame must outlive the layer and the program's
  // thread must be joined before either goes.
  explicit QtWindowLayer(FrameWindow& frame);

  void console_write(std::string_view line) override;
  std::string console_read_line() override;

  void chart_open() override;
  void chart_write(std::string_view line) override;
  std::string chart_read_line() override;
  MenuRead menu_read_line() override;
  void chart_close() override;
  void chart_clear() override;

  std::uint32_t set_color_rgb(std::uint32_t colour) override;
  PixelPoint move_to(std::int16_t x, std::int16_t y) override;
  void line_to(std::int16_t x, std::int16_t y) override;

  Cursor set_mouse_cursor(Cursor cursor) override;
  MouseEvent wait_mouse_event(int mask) override;

  // Closes the frame, which ends the application's event loop.
  void program_stop() override;
  // Hands a copy to the frame's results view; the next chart read is the menu's.
  void at_menu(const ResultsSnapshot& results) override;
  void tables_changed(const ResultsSnapshot& results) override;
  void show_place(const Place& place) override;
  void show_note(std::string_view note) override;
  void show_time_axis(const TimeAxis& axis) override;
  // Handed over only when it differs from the last one: every overview tells it.
  void show_lead_strip(const LeadStrip& strip) override;
  void show_unsaved(bool unsaved) override;
  // Asks in a dialog of the frame and waits for the answer.
  ExitChoice confirm_exit() override;
  AnalysisChoice analysis_choice() override;
  RangeAnswer ask_suggested_ranges(const RangeBounds& suggested) override;
  ChangedFileAnswer ask_changed_file(const ChangedFile& changed) override;

  // GUI thread: applies what the program has written since the last flush.
  void flush();
  // How many batches the program's output has been handed over in so far.
  std::size_t batch_count() const { return batch_count_.load(); }

 private:
  // Queues one operation and, if none is pending, one flush for the batch it starts.
  void post(GuiOp op);

  FrameWindow& frame_;
  FlushNotifier notifier_{*this};

  std::mutex output_mutex_;
  GuiOpBatch pending_;
  bool flush_posted_ = false;
  std::atomic<std::size_t> batch_count_ = 0;

  // Drawing state of the chart, used by the program's thread only.
  std::uint32_t colour_ = 0;  // black until set
  PixelPoint position_;
  Cursor cursor_ = Cursor::arrow;
  bool menu_next_ = false;  // the next chart read is the menu's letter
  std::shared_ptr<const LeadStrip> strip_;  // the last strip handed over
};

}  // namespace telmor
