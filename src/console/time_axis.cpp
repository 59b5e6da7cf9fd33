// The conversions of a click's column to a time.
#include "console/time_axis.h"

#include <cmath>

#include "base/number_text.h"

namespace telmor {

float normalised_column(int column) { return static_cast<float>(column) * 0.001f; }

int steps_from(float x, float origin, float step) {
  const double quotient = static_cast<double>(x - origin) / static_cast<double>(step);
  return static_cast<int>(std::trunc(quotient));
}

float pass_click_ms(int column, int start_ms) {
  return static_cast<float>(column) / 0.6f + static_cast<float>(start_ms);
}

double click_time_ms(const TimeAxis& axis, int column) {
  switch (axis.kind) {
    case TimeAxis::Kind::whole_steps:
      return axis.start_ms + steps_from(normalised_column(column), axis.origin, axis.step);
    case TimeAxis::Kind::pass_window:
      return static_cast<double>(pass_click_ms(column, axis.start_ms));
    case TimeAxis::Kind::none:
      break;
  }
  return 0.0;
}

double column_of_ms(const TimeAxis& axis, double ms) {
  switch (axis.kind) {
    case TimeAxis::Kind::whole_steps:
      return (static_cast<double>(axis.origin) + static_cast<double>(axis.step) * (ms - axis.start_ms)) *
             1000.0;
    case TimeAxis::Kind::pass_window:
      return (ms - axis.start_ms) * 0.6;  // the inverse of pass_click_ms
    case TimeAxis::Kind::none:
      break;
  }
  return 0.0;
}

std::string click_time_text(const TimeAxis& axis, int column) {
  if (axis.kind == TimeAxis::Kind::none) return {};
  return format_integer(std::lround(click_time_ms(axis, column))) + " ms";
}

}  // namespace telmor
