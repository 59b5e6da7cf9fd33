// The correction pass: window selection, the mouse wait and its dispatch.
#include "correction/mark_correction.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "console/curve_drawing.h"
#include "base/number_text.h"
#include "correction/correction_window.h"
#include "correction/edit_history.h"
#include "correction/mark_table.h"
#include "record/results_snapshot.h"

namespace telmor {
namespace {

constexpr int kWindowStepMs = 500;  // windows overlap by half
constexpr int kWindowMs = 1000;
constexpr int kCorrectionEvents = kLeftPress + kRightPress + kRightDouble;
constexpr std::int16_t kClickTop = 50;
constexpr std::int16_t kClickBottom = 350;
constexpr std::string_view kTableFull = "表が一杯です。これ以上追加できません。";

struct ShownWindow {
  int lead = 1;
  int start_ms = 0;
};

// The window_index-th window of the pass; an index at or below 0 is the first
// window, and the index is held there.
ShownWindow select_window(int& window_index, int windows_per_lead) {
  if (window_index <= 0) {
    window_index = 0;
    return {};
  }
  return {window_index / windows_per_lead + 1, (window_index % windows_per_lead) * kWindowStepMs};
}

// Time in ms at pixel column x of the window, in single precision and neither
// rounded nor limited to the window: x = 300 from 0 gives 499.99997.

std::string whole_ms_text(float t) { return format_integer(std::lround(t)); }

// "誘導3 AT 2583 ms"
std::string mark_words(MarkKind kind, int lead, float t) {
  return "誘導" + format_integer(lead) + (kind == MarkKind::at ? " AT " : " RT ") +
         whole_ms_text(t) + " ms";
}

// "誘導 2  1.5–2.5 s": where the pass stands, for the frame's status bar.
Place place_of(const ShownWindow& window, MarkKind kind) {
  return {window.lead, window.start_ms, window.start_ms + kWindowMs, kind};
}

ColumnState state_of(RunRecord& record, MarkKind kind, int lead) {
  return {mark_column(record, kind, lead), source_column(record, kind, lead), mark_count(record, kind)};
}

void restore(RunRecord& record, MarkKind kind, int lead, const ColumnState& state) {
  mark_column(record, kind, lead) = state.times;
  source_column(record, kind, lead) = state.sources;
  mark_count(record, kind) = state.count;
}

// A pass in progress: the window on show, its edits, and what the frame is told.
class Pass {
 public:
  Pass(WindowLayer& layer, RunRecord& record, DrawingState& drawing, MarkKind kind)
      : layer_(layer), record_(record), drawing_(drawing), kind_(kind),
        windows_per_lead_(2 * record.record_seconds) {}

  void run() {
    for (;;) {
      window_ = select_window(window_index_, windows_per_lead_);
      bool table_full = false;
      stay_ = true;
      while (stay_) {
        layer_.chart_clear();
        if (window_.lead >= record_.lead_count + 1) return leave();
        draw_correction_window(layer_, record_, drawing_, kind_, window_.lead, window_.start_ms);
        layer_.show_time_axis({TimeAxis::Kind::pass_window, window_.start_ms, 0.0f, 0.0f,
                               window_.start_ms + kWindowMs, drawing_.yscale});
        Place place = place_of(window_, kind_);
        place.can_undo = history_.can_undo();
        place.can_redo = history_.can_redo();
        layer_.show_place(place);
        // After the redraw, so that it is still there while the user decides.
        if (table_full) layer_.chart_write(kTableFull);
        table_full = false;
        layer_.set_mouse_cursor(Cursor::cross);

        const MouseEvent input = layer_.wait_mouse_event(kCorrectionEvents | kPassKey);
        switch (input.event) {
          case kLeftPress:
            table_full = click(input.x) == ClickEdit::table_full;
            break;
          case kRightPress:
            step(1);
            break;
          case kRightDouble:
            // Comes after the right press of the same double-click: one window back in all.
            step(-2);
            break;
          case kPassKey:
            if (input.key == PassKey::escape) {
              layer_.chart_clear();
              return leave();
            }
            key(input.key, input.to_lead, input.to_ms);
            break;
          default:
            break;
        }
      }
    }
  }

 private:
  ClickEdit click(std::int16_t x) {
    layer_.set_color_rgb(mark_colour(kind_));
    line(layer_, x, kClickTop, x, kClickBottom);
    Edit edit;
    edit.window_index = window_index_;
    edit.lead = window_.lead;
    edit.before = state_of(record_, kind_, window_.lead);
    edit.what = edit_at_click(mark_column(record_, kind_, window_.lead),
                              source_column(record_, kind_, window_.lead),
                              mark_count(record_, kind_), pass_click_ms(x, window_.start_ms),
                              &edit.time);
    if (edit.what == ClickEdit::table_full) return edit.what;
    edit.after = state_of(record_, kind_, window_.lead);
    history_.push(edit);
    layer_.show_note(mark_words(kind_, edit.lead, edit.time) +
                     (edit.what == ClickEdit::added ? " を追加" : " を削除"));
    changed();
    return edit.what;
  }

  void step(int windows) {
    window_index_ += windows;
    stay_ = false;
  }

  void key(PassKey key, int to_lead = 0, int to_ms = 0) {
    switch (key) {
      case PassKey::right:
      case PassKey::space:
        return step(1);
      case PassKey::left:
        return step(-1);
      case PassKey::page_down:  // the first window of the next lead (past the last: the end)
        window_index_ = window_.lead * windows_per_lead_;
        stay_ = false;
        return;
      case PassKey::page_up:  // the first window of the previous lead
        window_index_ = std::max(window_.lead - 2, 0) * windows_per_lead_;
        stay_ = false;
        return;
      case PassKey::undo:
        return take_back(history_.undo(), true);
      case PassKey::redo:
        return take_back(history_.redo(), false);
      case PassKey::go_to:
        return go_to(to_lead == 0 ? window_.lead : to_lead, to_ms);
      case PassKey::escape:
      case PassKey::none:
        return;
    }
  }

  // The window of lead that holds ms nearest its middle; leads outside the
  // run are ignored.
  void go_to(int lead, int ms) {
    if (lead < 1 || lead > record_.lead_count || windows_per_lead_ < 1) return;
    const int in_lead = std::clamp((ms - kWindowStepMs / 2) / kWindowStepMs, 0, windows_per_lead_ - 1);
    window_index_ = (lead - 1) * windows_per_lead_ + in_lead;
    stay_ = false;
  }

  // Undoes (or redoes) edit in the window it was made in, so that nothing
  // changes off screen.
  void take_back(const Edit* edit, bool undo) {
    if (edit == nullptr) {
      layer_.show_note(undo ? "取り消す修正がありません" : "やり直す修正がありません");
      return;
    }
    restore(record_, kind_, edit->lead, undo ? edit->before : edit->after);
    layer_.show_note(mark_words(kind_, edit->lead, edit->time) +
                     (edit->what == ClickEdit::added ? " の追加を" : " の削除を") +
                     (undo ? "取り消しました" : "やり直しました"));
    // Every edit undone: the tables are as the pass found them.
    changed();
    if (edit->window_index != window_index_) {
      window_index_ = edit->window_index;
      stay_ = false;
    }
  }

  void changed() {
    layer_.show_unsaved(update_unsaved(record_));
    layer_.tables_changed(snapshot_results(record_));
  }

  void leave() {
    layer_.show_place(Place{});
    layer_.show_time_axis(TimeAxis{});
  }

  WindowLayer& layer_;
  RunRecord& record_;
  DrawingState& drawing_;
  const MarkKind kind_;
  const int windows_per_lead_;
  int window_index_ = 0;
  ShownWindow window_;
  bool stay_ = true;
  EditHistory history_;
};

}  // namespace

void correct_marks(WindowLayer& layer, RunRecord& record, DrawingState& drawing, MarkKind kind) {
  Pass(layer, record, drawing, kind).run();
}

}  // namespace telmor
