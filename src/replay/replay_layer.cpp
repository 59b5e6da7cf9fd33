// The headless window layer driven by a session script.
#include "replay/replay_layer.h"

#include <filesystem>
#include <utility>

#include "session/session_marks.h"

#include "base/utf8_path.h"
#include "words/english_lines.h"
#include "replay/colour.h"
#include "replay/line_raster.h"
#include "base/number_text.h"
#include "replay/png_writer.h"
#include "files/file_replace.h"

namespace telmor {

namespace {

constexpr std::string_view kAwaitConsole = "a line typed into the console";
constexpr std::string_view kAwaitChart = "a line typed into the chart";
constexpr std::string_view kAwaitChanged = "the answer to a results file changed elsewhere (changed-file)";

std::string awaited_mouse(int mask) {
  return "a mouse event (mask " + format_integer(mask & (kPassKey - 1)) + ")";
}

[[noreturn]] void stop_ran_out(std::string_view awaited) {
  throw ReplayStopped(kReplayRanOut, "the script ran out while the program waited for " +
                                         std::string(awaited));
}

[[noreturn]] void stop_mismatch(const Directive& directive, std::string_view awaited) {
  throw ReplayStopped(kReplayMismatch, "script line " + format_integer(directive.line_number) +
                                           " (" + directive.source +
                                           ") does not fit: the program waited for " +
                                           std::string(awaited));
}

}  // namespace

ReplayLayer::ReplayLayer(std::vector<Directive> script, std::ostream& transcript,
                         std::ostream* draw_log, bool notes)
    : script_(std::move(script)), transcript_(transcript), draw_log_(draw_log), notes_(notes) {}

void ReplayLayer::show_note(std::string_view note) {
  if (notes_) transcript_ << "chart: note " << (english_ ? english_line(note) : std::string(note)) << '\n';
}

void ReplayLayer::console_write(std::string_view line) {
  transcript_ << "console> " << (english_ ? english_line(line) : std::string(line)) << '\n';
}

std::string ReplayLayer::console_read_line() {
  return std::get<std::string>(read_typed_line(DirectiveKind::console, "console< ", kAwaitConsole));
}

void ReplayLayer::chart_open() {
  chart_text_rows_ = 0;
  transcript_ << "chart: open\n";
}

void ReplayLayer::chart_write(std::string_view line) {
  ++chart_text_rows_;
  transcript_ << "chart> " << (english_ ? english_line(line) : std::string(line)) << '\n';
}

std::string ReplayLayer::chart_read_line() {
  std::string line = std::get<std::string>(read_typed_line(DirectiveKind::chart, "chart< ", kAwaitChart));
  ++chart_text_rows_;  // the chart window echoes what was typed into it
  return line;
}

MenuRead ReplayLayer::menu_read_line() {
  MenuRead read = read_typed_line(DirectiveKind::chart, "chart< ", kAwaitChart, true);
  if (std::holds_alternative<std::string>(read)) ++chart_text_rows_;
  return read;
}

void ReplayLayer::chart_close() { transcript_ << "chart: close\n"; }

void ReplayLayer::chart_clear() {
  surface_.fill(ChartSurface::kBackground);
  chart_text_rows_ = 0;
  transcript_ << "chart: clear\n";
}

std::uint32_t ReplayLayer::set_color_rgb(std::uint32_t colour) {
  return std::exchange(colour_, colour);
}

PixelPoint ReplayLayer::move_to(std::int16_t x, std::int16_t y) {
  return std::exchange(position_, PixelPoint{x, y});
}

void ReplayLayer::line_to(std::int16_t x, std::int16_t y) {
  const Rgb rgb = rgb_from_colorref(colour_);
  if (draw_log_ != nullptr) {
    *draw_log_ << "line " << format_integer(position_.x) << ' ' << format_integer(position_.y) << ' '
               << format_integer(x) << ' ' << format_integer(y) << ' ' << hex_rrggbb(rgb) << '\n';
  }
  draw_line(surface_, position_.x, position_.y, x, y, rgb);
  position_ = PixelPoint{x, y};
}

Cursor ReplayLayer::set_mouse_cursor(Cursor cursor) { return std::exchange(cursor_, cursor); }

MouseEvent ReplayLayer::wait_mouse_event(int mask) {
  for (;;) {
    if (pending_.empty()) {
      const Directive* directive = next_input();
      if (directive == nullptr) stop_ran_out(awaited_mouse(mask));
      if (directive->kind == DirectiveKind::key) {
        ++next_;
        if ((mask & kPassKey) == 0) {
          transcript_ << "chart: ignored key " << key_name(directive->key) << '\n';
          continue;
        }
        transcript_ << "chart: key " << key_name(directive->key) << '\n';
        MouseEvent key;
        key.event = kPassKey;
        key.key = directive->key;
        return key;
      }
      const bool is_double = directive->kind == DirectiveKind::double_click;
      if (directive->kind != DirectiveKind::press && !is_double) {
        stop_mismatch(*directive, awaited_mouse(mask));
      }
      const bool left = directive->button == MouseButton::left;
      MouseEvent event;
      event.x = directive->x;
      event.y = directive->y;
      event.event = left ? kLeftPress : kRightPress;
      pending_.push_back(event);
      if (is_double) {
        event.event = left ? kLeftDouble : kRightDouble;
        pending_.push_back(event);
      }
      ++next_;
    }
    const MouseEvent event = pending_.front();
    pending_.pop_front();
    if ((event.event & mask) != 0) {
      transcript_event("chart: mouse ", event);
      return event;
    }
    transcript_event("chart: ignored mouse ", event);
  }
}

void ReplayLayer::program_stop() {
  stopped_ = true;
  for (; next_ < script_.size(); ++next_) {
    const Directive& directive = script_[next_];
    if (is_output(directive.kind)) {
      write_output(directive);
    } else {
      unused_.push_back(directive);
    }
  }
  transcript_.flush();
  if (draw_log_ != nullptr) draw_log_->flush();
}

const Directive* ReplayLayer::next_input() {
  while (next_ < script_.size() && is_output(script_[next_].kind)) {
    write_output(script_[next_]);
    ++next_;
  }
  return next_ < script_.size() ? &script_[next_] : nullptr;
}

const Directive* ReplayLayer::next_typed_input() {
  // Keys answer only the mouse waits of a correction pass; a read drops them.
  for (const Directive* directive = next_input(); directive != nullptr; directive = next_input()) {
    if (directive->kind != DirectiveKind::key) return directive;
    transcript_ << "chart: ignored key " << key_name(directive->key) << '\n';
    ++next_;
  }
  return nullptr;
}

void ReplayLayer::at_menu(const ResultsSnapshot& results) {
  *results_ = results;
  at_menu_ = true;
}

void ReplayLayer::write_output(const Directive& directive) {
  const bool snapshot = directive.kind == DirectiveKind::snapshot;
  bool written = false;
  if (snapshot) {
    written = write_png(path_from_utf8(directive.text), surface_);
  } else {
    written = !replace_file_contents(path_from_utf8(directive.text), results_table_csv(*results_));
  }
  if (!written) {
    throw ReplayStopped(kReplayUsageError, "script line " + format_integer(directive.line_number) +
                                               ": cannot write the " +
                                               (snapshot ? "snapshot " : "export ") + directive.text);
  }
}

MenuRead ReplayLayer::read_typed_line(DirectiveKind kind, std::string_view prefix, std::string_view awaited,
                                      bool menu_read) {
  drop_pending_events();
  const Directive* directive = next_typed_input();
  if (directive == nullptr) stop_ran_out(awaited);
  if (directive->kind == DirectiveKind::open) {
    // Another recording, whatever the program was asking: it starts over.
    ++next_;
    transcript_ << "chart: open " << directive->text << '\n';
    at_menu_ = false;
    auto request = std::make_shared<OpenRequest>();
    request->file = path_from_utf8(directive->text);
    request->leads.resize(static_cast<std::size_t>(directive->number));
    for (std::size_t k = 0; k < request->leads.size(); ++k) request->leads[k] = static_cast<int>(k) + 1;
    request->start_s = directive->from_s;
    request->seconds = directive->seconds;
    throw OpenRecordingRequest(std::move(request));
  }
  const bool menu = kind == DirectiveKind::chart && std::exchange(at_menu_, false) && menu_read;
  if (directive->kind == DirectiveKind::drop_beat && menu) {
    // Made by the program at its menu, which then reads its letter again.
    ++next_;
    transcript_ << "chart: drop-beat " << format_integer(directive->number) << '\n';
    at_menu_ = true;
    MenuEdit edit;
    edit.beat_ms = directive->number;
    return edit;
  }
  if (directive->kind == DirectiveKind::suggest_ranges && menu) {
    // Suggested at the menu; the program asks what to make of it.
    ++next_;
    transcript_ << "chart: suggest-ranges\n";
    range_answer_ = directive->answer;
    at_menu_ = true;
    MenuEdit edit;
    edit.what = MenuEdit::What::suggest_ranges;
    return edit;
  }
  if (directive->kind != kind) stop_mismatch(*directive, awaited);
  ++next_;
  transcript_ << prefix << directive->text << '\n';
  return directive->text;
}

RangeAnswer ReplayLayer::ask_suggested_ranges(const RangeBounds& b) {
  static constexpr std::string_view kNames[] = {"accept", "click", "cancel"};
  transcript_ << "chart: suggested ranges " << format_integer(b.at_from) << ' ' << format_integer(b.at_to) << ' '
              << format_integer(b.rt_from) << ' ' << format_integer(b.rt_to) << ", "
              << kNames[static_cast<int>(range_answer_)] << '\n';
  return range_answer_;
}

ChangedFileAnswer ReplayLayer::ask_changed_file(const ChangedFile& changed) {
  drop_pending_events();
  const Directive* directive = next_typed_input();
  if (directive == nullptr) stop_ran_out(kAwaitChanged);
  if (directive->kind != DirectiveKind::changed_file) stop_mismatch(*directive, kAwaitChanged);
  ++next_;
  const std::string_view change = changed.change == FileChange::removed   ? "removed"
                                  : changed.change == FileChange::created ? "created"
                                                                          : "changed";
  transcript_ << "chart: results file " << change << ": " << changed.shown_path << ", "
              << (directive->file_answer == ChangedFileAnswer::keep ? "keep" : "overwrite") << '\n';
  return directive->file_answer;
}

void ReplayLayer::drop_pending_events() {
  for (const MouseEvent& event : pending_) transcript_event("chart: ignored mouse ", event);
  pending_.clear();
}

void ReplayLayer::transcript_event(std::string_view prefix, const MouseEvent& event) {
  transcript_ << prefix << format_integer(event.event) << ' ' << format_integer(event.x) << ' '
              << format_integer(event.y) << '\n';
}

}  // namespace telmor
