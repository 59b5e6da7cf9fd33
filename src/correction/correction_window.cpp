// Caption, curves and marks of a correction window.
#include "correction/correction_window.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "console/curve_drawing.h"
#include "base/number_text.h"

namespace telmor {
namespace {

constexpr int kWindowMs = 1000;
constexpr std::int16_t kMarkTop = 50;
constexpr std::int16_t kMarkBottom = 250;
constexpr float kCurveOffset = 0.05f;  // keeps the two curves apart around the middle

// "誘導  2の  1.5-  2.5secを解析します。", built without touching the heap.
void write_caption(WindowLayer& layer, int lead, int start_ms) {
  std::array<char, 64> buffer{};
  std::size_t size = 0;
  const auto append = [&](std::string_view piece) {
    size += piece.copy(buffer.data() + size, buffer.size() - size);
  };
  const auto seconds = [](int ms) {
    return format_fixed_width(static_cast<double>(static_cast<float>(ms) / 1000.0f), 5, 1);
  };
  append("誘導");
  append(format_integer_width(lead, 3));
  append("の");
  append(seconds(start_ms));
  append("-");
  append(seconds(start_ms + kWindowMs));
  append("secを解析します。");
  layer.chart_write(std::string_view(buffer.data(), size));
}

// Fills column of win3 with samples start_ms + 1 .. + 1000 of a lead table,
// zeros past its end; returns the largest absolute value.
float take_excerpt(DrawingState& drawing, int column,
                   const std::array<float, kMaxSamples>& lead_samples, int start_ms) {
  float largest = 0.0f;
  for (int j = 1; j <= kExcerptPoints; ++j) {
    const int sample = start_ms + j;
    const float v = sample <= kMaxSamples ? lead_samples[sample - 1] : 0.0f;
    drawing.win3(column, j) = v;
    largest = std::max(largest, std::fabs(v));
  }
  return largest;
}

// y per unit that makes ±largest fill ±0.4 of the height, or 0 (a flat curve)
// when there is no finite one: all zero, or too small a maximum.
float scale_for(const DrawingState& drawing, float largest) {
  const float scale = (drawing.frame_y1 - drawing.frame_y0) / (2.0f * largest);
  return std::isfinite(scale) ? scale : 0.0f;
}

void plot_excerpt(const RunRecord& record, DrawingState& drawing, int column, float scale,
                  float offset, float x_step) {
  for (int j = 1; j <= kExcerptPoints; ++j) {
    drawing.plot_x[j - 1] = x_step * record.time_ms(j) + drawing.frame_x0;
    drawing.plot_y[j - 1] =
        clamp_to_chart(drawing.frame_ymid - scale * drawing.win3(column, j) + offset);
  }
}

void draw_marks(WindowLayer& layer, const RunRecord& record, MarkKind kind, int lead, int start,
                float x_step) {
  layer.set_color_rgb(mark_colour(kind));
  // Every row, not only those in use: the display shows what the table holds.
  for (const float t : mark_column(record, kind, lead)) {
    if (static_cast<float>(start + 1) <= t && t <= static_cast<float>(start + kWindowMs)) {
      // A time at the window's end comes out as d = 0, at the left edge.
      const int d = (static_cast<int>(t) - start) % kWindowMs;
      const auto x = static_cast<std::int16_t>(static_cast<float>(d) * x_step * 1000.0f);
      line(layer, x, kMarkTop, x, kMarkBottom);
    }
  }
}

}  // namespace

void draw_correction_window(WindowLayer& layer, const RunRecord& record, DrawingState& drawing,
                            MarkKind kind, int lead, int start) {
  write_caption(layer, lead, start);

  drawing.amp_max = take_excerpt(drawing, 1, record.wave_table[lead - 1], start);
  const float deriv_max = take_excerpt(drawing, 2, record.deriv_table[lead - 1], start);

  drawing.curve_n = kExcerptPoints;
  const float x_step = (drawing.frame_x1 - drawing.frame_x0) / 1000.0f;
  const float yscale = scale_for(drawing, drawing.amp_max);
  // The overview draws with this scale later, so it never takes a 0 from a flat window.
  if (yscale != 0.0f) drawing.yscale = yscale;
  const float deriv_yscale = scale_for(drawing, deriv_max);

  plot_excerpt(record, drawing, 1, yscale, -kCurveOffset, x_step);
  gpl(layer, drawing.curve_n, drawing.plot_x.data(), drawing.plot_y.data());
  plot_excerpt(record, drawing, 2, deriv_yscale, kCurveOffset, x_step);
  gpl2(layer, drawing.curve_n, drawing.plot_x.data(), drawing.plot_y.data());

  draw_marks(layer, record, kind, lead, start, x_step);
  layer.chart_write(instruction_line(kind));
}

}  // namespace telmor
