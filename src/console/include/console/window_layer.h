// The operations the program logic needs of its console window, chart window,
// mouse and cursor. The Qt desktop and the headless replay implement it; the
// logic is written once against it as one sequential flow.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

#include "base/console_output.h"
#include "console/lead_strip.h"
#include "console/time_axis.h"
#include "files/file_seen.h"
#include "record/open_request.h"
#include "record/results_snapshot.h"
#include "signal/mark_kind.h"

namespace telmor {

// Mouse event codes, one bit each; a wait names the events that end it as their sum.
inline constexpr int kLeftPress = 1;
inline constexpr int kLeftRelease = 2;
inline constexpr int kLeftDouble = 4;
inline constexpr int kRightPress = 8;
inline constexpr int kRightRelease = 16;
inline constexpr int kRightDouble = 32;
inline constexpr int kMouseMove = 64;

// A key of the keyboard, delivered to a wait whose mask holds kPassKey: the
// correction pass takes keys while it waits for the mouse.
inline constexpr int kPassKey = 256;
// go_to comes from the frame, not a key: it moves the pass to the window of
// MouseEvent::to_lead that holds to_ms (a click on the lead strip, a flagged
// cell of the results view).
enum class PassKey : std::uint8_t {
  none, right, left, space, page_down, page_up, escape, undo, redo, go_to
};

// The platform's standard cursors, numbered as it numbers them (IDC_ARROW, IDC_CROSS).
enum class Cursor : int { arrow = 32512, cross = 32515 };

struct PixelPoint {
  std::int16_t x = 0;
  std::int16_t y = 0;
};

struct MouseEvent {
  int event = 0;       // one of the codes above
  std::int16_t x = 0;  // pixel of the chart surface, origin top-left, y downwards
  std::int16_t y = 0;
  PassKey key = PassKey::none;  // for kPassKey: which key
  std::int32_t to_lead = 0;     // go_to: the lead (0: the pass's own)
  std::int32_t to_ms = 0;       // go_to: a time the window is to hold
};

// Where the user is: the lead and the window of a correction pass, which
// shows samples start_ms + 1 to end_ms, and the kind of marks it edits;
// lead 0 outside a pass.
struct Place {
  int lead = 0;
  int start_ms = 0;
  int end_ms = 0;
  MarkKind kind = MarkKind::at;
  bool can_undo = false;  // the pass has an edit to undo, to redo
  bool can_redo = false;
};

// What the user chose when the program was to end with unsaved changes.
enum class ExitChoice { save, discard, cancel };

// What the user made of recognition ranges suggested from the recording:
// take them, click the four bounds into the window shown instead (as d
// does), or keep the ranges as they are.
enum class RangeAnswer { accept, click, cancel };

// A save that would replace a results file someone else has written, made
// or removed since the program last read or wrote it (or, having done
// neither, since it started on the recording): the change, and the file as
// the windows show it.
struct ChangedFile {
  FileChange change = FileChange::changed;
  std::string shown_path;
};
// Keep the other's file (the tables are not saved), or overwrite it.
enum class ChangedFileAnswer { keep, overwrite };

// Ranges in ms from a beat, as d sets them.
struct RangeBounds {
  std::int32_t at_from = 0, at_to = 0, rt_from = 0, rt_to = 0;
  friend bool operator==(const RangeBounds&, const RangeBounds&) = default;
};

// Thrown by a blocking read or wait when no more input can come (the window
// was closed, or a replay script ran out). It ends the whole run, nothing else.
class InputClosed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Thrown by a blocking read or wait when the user closes the frame and asks
// for the unsaved tables to be saved first: the program leaves what it was
// doing, saves, and ends (or, when the save fails, goes back to its menu).
class SaveAndClose : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Thrown by a blocking read or wait when the user has opened another
// recording: the program leaves what it was doing and starts over with it.
class OpenRecordingRequest : public std::runtime_error {
 public:
  explicit OpenRecordingRequest(std::shared_ptr<const OpenRequest> request)
      : std::runtime_error("open a recording"), request_(std::move(request)) {}
  const std::shared_ptr<const OpenRequest>& request() const { return request_; }

 private:
  std::shared_ptr<const OpenRequest> request_;
};

// The tables and ranges of a recovery file, which restore brings back.
struct RestoredTables {
  MarkTables marks;
  std::int32_t at_from = 0;
  std::int32_t at_to = 0;
  std::int32_t rt_from = 0;
  std::int32_t rt_to = 0;
};

struct MenuEdit {
  // analysis: the frame's analysis choices changed (the derivative, RT's
  // smoothing and windows, the beat search's blanking) for the next c;
  // suggest_ranges: ranges suggested from the recording, shown in d's window
  // to take or click over.
  enum class What : std::uint8_t { drop_beat, undo, restore, analysis, suggest_ranges };
  What what = What::drop_beat;
  std::int32_t beat_ms = 0;  // drop_beat: the beat's time
  std::shared_ptr<const RestoredTables> restored;  // restore: what comes back
};

// What the program's read at its menu brought: the line typed, or a change
// of the tables asked for while it waited there (the desktop's results view
// and 解析 menu, the replay's drop-beat), which the program makes before it
// reads its menu letter again.
using MenuRead = std::variant<std::string, MenuEdit>;

// The analysis the frame chooses around the dialogue's settings (its 解析
// menu, the replay's options): the derivative and RT's smoothing, the
// centred c's RT windows and the beat search's blanking (fields as the run
// record's). Read before a recording's signals are prepared, and again when
// a menu edit says it changed.
struct AnalysisChoice {
  Estimator kind = Estimator::centred;
  std::int32_t rt_smooth_points = kDefaultRtSmoothMs;
  std::int32_t rt_margin_ms = kDefaultRtMarginMs;
  bool rt_after_at = false;
  std::int32_t rt_after_from = 0;
  std::int32_t rt_after_to = 0;
  std::int32_t blank_before_ms = kDefaultBlankBeforeMs;
  std::int32_t blank_after_ms = kDefaultBlankAfterMs;
  friend bool operator==(const AnalysisChoice&, const AnalysisChoice&) = default;
};

// The choice into the record, and the record's as a choice.
void take_analysis_choice(const AnalysisChoice& choice, RunRecord& record);
AnalysisChoice analysis_choice_of(const RunRecord& record);

class WindowLayer : public ConsoleOutput {
 public:
  // console_write (from ConsoleOutput): one line on the console.

  // Blocks until the user has typed a line into the console and pressed Enter;
  // returns it without its line end. Throws InputClosed when input has ended.
  virtual std::string console_read_line() = 0;

  // Creates the chart window and gives it the input focus.
  virtual void chart_open() = 0;
  // Writes one line into the chart's text area, on the next text row.
  virtual void chart_write(std::string_view line) = 0;
  // As console_read_line, for a line typed into the chart window (which echoes it).
  virtual std::string chart_read_line() = 0;
  // The chart's read at the program's menu (after at_menu): a line as
  // chart_read_line reads it, or a menu edit. A layer without menu edits
  // reads a line.
  virtual MenuRead menu_read_line() { return chart_read_line(); }
  virtual void chart_close() = 0;
  // Erases text and graphics to the background and puts the text row back to the first.
  virtual void chart_clear() = 0;

  // Colour 0x00BBGGRR (low 24 bits count) of all later lines; returns the previous one.
  virtual std::uint32_t set_color_rgb(std::uint32_t colour) = 0;
  // Moves the graphics position without drawing; returns the previous position.
  virtual PixelPoint move_to(std::int16_t x, std::int16_t y) = 0;
  // Draws a one-pixel line in the current colour to (x, y), clipped to the
  // surface, and makes (x, y) the current position.
  virtual void line_to(std::int16_t x, std::int16_t y) = 0;

  // Cursor shown over the chart window; returns the previous one.
  virtual Cursor set_mouse_cursor(Cursor cursor) = 0;
  // Blocks until an event whose code is in mask happens in the chart window;
  // events outside the mask are dropped. Throws InputClosed when input has ended.
  virtual MouseEvent wait_mouse_event(int mask) = 0;

  // The program has ended (all files are closed); the layer ends the process
  // or, headless, records the end. The logic returns right after it.
  virtual void program_stop() = 0;

  // What the frame around the program's windows may show; none of it is
  // part of the windows, and the flow does not depend on it.

  // The program is about to read a menu letter from the chart; results is a
  // copy of the AT and RT tables as they stand, for a view of them.
  virtual void at_menu(const ResultsSnapshot& results) { (void)results; }
  // The AT and RT tables after an edit of a correction pass, for a view that
  // follows the pass (at_menu hands them over at the menu).
  virtual void tables_changed(const ResultsSnapshot& results) { (void)results; }
  // Where the user is: the lead and window of a correction pass, or none.
  virtual void show_place(const Place& place) { (void)place; }
  // What the last edit or undo did, or why a key did nothing.
  virtual void show_note(std::string_view note) { (void)note; }
  // How the chart's pixel columns map to the times a click there stores.
  virtual void show_time_axis(const TimeAxis& axis) { (void)axis; }
  // Lead 1 over the whole recording and the beats, for the frame's strip
  // above the chart; told with every overview.
  virtual void show_lead_strip(const LeadStrip& strip) { (void)strip; }
  // Whether the AT and RT tables differ from the results file as last saved
  // or loaded, told after every change.
  virtual void show_unsaved(bool unsaved) { (void)unsaved; }
  // Asked when x would end the program with unsaved changes; without a way to
  // ask, the program ends as it always did.
  virtual ExitChoice confirm_exit() { return ExitChoice::discard; }
  // Asked when a save would replace a results file someone else changed;
  // without a way to ask, the other's file stays and nothing is saved.
  virtual ChangedFileAnswer ask_changed_file(const ChangedFile& changed) {
    (void)changed;
    return ChangedFileAnswer::keep;
  }
  // The derivative to prepare the signals with; without a frame, the default.
  virtual AnalysisChoice analysis_choice() { return {}; }
  // Asked with ranges suggested from the recording, drawn into d's window;
  // without a way to ask, the ranges stay as they are.
  virtual RangeAnswer ask_suggested_ranges(const RangeBounds& suggested) {
    (void)suggested;
    return RangeAnswer::cancel;
  }
};

}  // namespace telmor
