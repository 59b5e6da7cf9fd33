// How a click on the chart becomes a time: the one conversion that the
// program's clicks and the frame's time under the pointer both use, so that
// the time the status bar shows at a column is the time a click there stores.
#pragma once

#include <cstdint>
#include <string>

namespace telmor {

// A left click's horizontal position as d's pick takes it: the pixel column
// × 0.001 in single precision.
float normalised_column(int column);

// A position's whole-step count from origin: the quotient of the held
// single-precision values formed in double precision, truncated toward zero.
// (A single-precision quotient would turn column 120 of a 0.0006 step into
// 200 instead of 199.)
int steps_from(float x, float origin, float step);

// The time a left click at column stores in a correction pass whose window
// starts at start_ms: column / 0.6 + start_ms in single precision.
float pass_click_ms(int column, int start_ms);

// What the chart shows along its columns, and so what a click there means.
struct TimeAxis {
  enum class Kind : std::uint8_t {
    none,         // no time (text only)
    whole_steps,  // the overview and d's window: start_ms + whole steps of step from origin
    pass_window,  // a correction pass's window from start_ms
  };
  Kind kind = Kind::none;
  int start_ms = 0;
  float origin = 0.0f;  // whole_steps: the drawing frame's left edge, normalised
  float step = 0.0f;    // whole_steps: one ms, normalised
  // For the frame's ruler and scale bar: the time at the drawing frame's
  // right edge, and the vertical scale of the curve drawn (normalised y per
  // unit of the file; 0 when none).
  std::int32_t end_ms = 0;
  float yscale = 0.0f;
};

// The logical pixel column (fractional) at which the chart draws time ms:
// the inverse of the click conversion, for rulers that must line up with
// the columns.
double column_of_ms(const TimeAxis& axis, double ms);

// The time in ms that a left click at column stores (whole_steps: whole ms;
// pass_window: the single-precision time); 0 for none.
double click_time_ms(const TimeAxis& axis, int column);

// The status bar's words for that time: whole ms, a pass's time rounded as
// its edit notes round it ("702 ms"); "" for none.
std::string click_time_text(const TimeAxis& axis, int column);

}  // namespace telmor
