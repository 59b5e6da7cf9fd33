// The correction pass: window selection, the mouse wait and its dispatch.
#include "correction/mark_correction.h"

#include <cstdint>
#include <string_view>

#include "console/curve_drawing.h"
#include "correction/correction_window.h"
#include "correction/mark_table.h"

namespace telmor {
namespace {

constexpr int kWindowStepMs = 500;  // windows overlap by half
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
float clicked_time(std::int16_t x, int start_ms) {
  return static_cast<float>(x) / 0.6f + static_cast<float>(start_ms);
}

}  // namespace

void correct_marks(WindowLayer& layer, RunRecord& record, DrawingState& drawing, MarkKind kind) {
  const int windows_per_lead = 2 * record.record_seconds;
  int window_index = 0;
  for (;;) {
    const ShownWindow window = select_window(window_index, windows_per_lead);
    record.window_start_ms = window.start_ms;

    bool table_full = false;
    bool stay = true;
    while (stay) {
      layer.chart_clear();
      if (window.lead >= record.lead_count + 1) return;
      draw_correction_window(layer, record, drawing, kind, window.lead);
      // After the redraw, so that it is still there while the user decides.
      if (table_full) layer.chart_write(kTableFull);
      table_full = false;
      layer.set_mouse_cursor(load_cursor_a(nullptr, kIdcCross));

      const MouseEvent click = layer.wait_mouse_event(kCorrectionEvents);
      switch (click.event) {
        case kLeftPress: {
          layer.set_color_rgb(mark_colour(kind));
          line(layer, click.x, kClickTop, click.x, kClickBottom);
          const float t = clicked_time(click.x, window.start_ms);
          table_full = edit_at_click(mark_column(record, kind, window.lead),
                                     source_column(record, kind, window.lead),
                                     mark_count(record, kind), t) == ClickEdit::table_full;
          break;
        }
        case kRightPress:
          window_index += 1;
          stay = false;
          break;
        case kRightDouble:
          // Comes after the right press of the same double-click: one window back in all.
          window_index -= 2;
          stay = false;
          break;
        default:
          break;
      }
    }
  }
}

}  // namespace telmor
