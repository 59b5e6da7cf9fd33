// The headless window layer: script in, transcript, draw log and in-memory chart surface out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "console/window_layer.h"
#include "replay/chart_surface.h"
#include "replay/replay_stopped.h"
#include "replay/session_script.h"

namespace telmor {

// Directives are taken lazily, when the program blocks: a read or a wait
// first writes the snapshots and exports that come next in the script, then
// takes the next input directive, which must be of the kind the program waits
// for. An export writes the results table as the program last showed it at
// its menu (only the header before the first menu).
// Otherwise the blocking call throws ReplayStopped (kReplayMismatch), or
// (kReplayRanOut) when the script has no input left.
//
// Transcript lines:   console> TEXT   chart> TEXT   console< TEXT   chart< TEXT
//                     chart: open   chart: close   chart: clear
//                     chart: mouse EVENT X Y          (an event returned by a wait)
//                     chart: ignored mouse EVENT X Y  (dropped: not in the mask, or
//                                                      pending at a typed read)
//                     chart: key NAME                 (a key a pass's mouse wait took)
//                     chart: ignored key NAME         (dropped: no pass waited for it)
//                     chart: note TEXT                (a note of the frame's status bar,
//                                                      with notes on only)
//                     chart: results file CHANGE: PATH, ANSWER
//                                                     (a save found the file changed,
//                                                      removed or created elsewhere)
// Draw log lines:     line X1 Y1 X2 Y2 RRGGBB         (one per line_to, unclipped)
class ReplayLayer : public WindowLayer {
 public:
  // The streams must outlive the layer; draw_log may be null. With notes, the
  // frame's notes go into the transcript too (off by default, so that
  // transcripts made before notes existed stay as they were).
  ReplayLayer(std::vector<Directive> script, std::ostream& transcript,
              std::ostream* draw_log = nullptr, bool notes = false);
  // The program's own lines (console, chart, notes) in English from now on.
  void speak_english() { english_ = true; }

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

  // Records the end, writes the snapshots and exports left in the script and
  // keeps the other unused directives for unused_directives().
  void program_stop() override;

  // Keeps the copy for the script's exports; the next chart read is the menu's.
  void at_menu(const ResultsSnapshot& results) override;
  void show_note(std::string_view note) override;
  AnalysisChoice analysis_choice() override { return analysis_; }
  // The analysis choices the program is to take (the options).
  void set_analysis_choice(const AnalysisChoice& choice) { analysis_ = choice; }
  // The answer the suggest-ranges directive gave, with a transcript line.
  RangeAnswer ask_suggested_ranges(const RangeBounds& suggested) override;
  // The answer of the next directive, which must be changed-file, with a
  // transcript line.
  ChangedFileAnswer ask_changed_file(const ChangedFile& changed) override;

  bool program_stopped() const { return stopped_; }
  // The directives other than snapshots and exports that program_stop() found unused.
  const std::vector<Directive>& unused_directives() const { return unused_; }

  const ChartSurface& surface() const { return surface_; }
  std::uint32_t colour() const { return colour_; }
  PixelPoint position() const { return position_; }
  Cursor cursor() const { return cursor_; }
  // Text rows used in the chart since it was opened or last cleared.
  int chart_text_rows() const { return chart_text_rows_; }

 private:
  // Writes the snapshots and exports that come next; returns the next input
  // directive or null.
  const Directive* next_input();
  // The same, passing over (and noting) the keys that come first.
  const Directive* next_typed_input();
  void write_output(const Directive& directive);
  // A typed line of kind's window; at the menu's read (menu) a drop-beat or
  // suggest-ranges directive answers instead, as a menu edit.
  MenuRead read_typed_line(DirectiveKind kind, std::string_view prefix, std::string_view awaited,
                           bool menu_read = false);
  void drop_pending_events();
  void transcript_event(std::string_view prefix, const MouseEvent& event);

  std::vector<Directive> script_;
  std::size_t next_ = 0;
  std::deque<MouseEvent> pending_;
  std::ostream& transcript_;
  std::ostream* draw_log_;
  bool notes_;
  bool english_ = false;
  AnalysisChoice analysis_;
  RangeAnswer range_answer_ = RangeAnswer::cancel;

  ChartSurface surface_;
  std::uint32_t colour_ = 0;
  PixelPoint position_{};
  Cursor cursor_ = Cursor::arrow;
  int chart_text_rows_ = 0;
  bool at_menu_ = false;  // the next chart read is the menu's: drop-beat may answer it
  bool stopped_ = false;
  std::vector<Directive> unused_;
  std::unique_ptr<ResultsSnapshot> results_ = std::make_unique<ResultsSnapshot>();
};

}  // namespace telmor
