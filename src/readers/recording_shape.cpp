// Counting the values of the first row and the rows of a recording's text,
// and the shape a recording is read with.
#include "readers/recording_shape.h"

#include "readers/waveform_rows.h"
#include "base/text_rules.h"

namespace telmor {
namespace {

bool holds_data(std::string_view line) {
  for (const char c : line) {
    if (!is_blank(c)) return true;
  }
  return false;
}

// The problem a shape that does not fit shows, unless the text's first line
// names a likelier cause.
RecordingProblem shape_problem(std::string_view text, RecordingProblem problem) {
  skip_byte_order_mark(text);
  switch (first_line_cause(text.substr(0, text.find('\n')))) {
    case WaveCause::cr_line_ends:
      return {RecordingFault::cr_line_ends};
    case WaveCause::utf16_text:
      return {RecordingFault::utf16_text};
    case WaveCause::value_beyond_float:
    case WaveCause::none:
      break;
  }
  return problem;
}

}  // namespace

int line_values(std::string_view line) {
  int values = 0;
  bool after_comma = true;
  std::size_t at = 0;
  while (at < line.size()) {
    const char c = line[at];
    if (is_blank(c)) {
      ++at;
    } else if (c == '/') {
      break;
    } else if (c == ',') {
      if (after_comma) ++values;  // an empty value
      after_comma = true;
      ++at;
    } else {
      while (at < line.size() && !ends_item(line[at])) ++at;
      ++values;
      after_comma = false;
    }
  }
  return values;
}

int first_row_values(std::string_view text) {
  skip_byte_order_mark(text);
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (holds_data(line)) return line_values(line);
  }
  return 0;
}

TextShape text_shape(std::string_view text) {
  skip_byte_order_mark(text);
  TextShape shape;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!holds_data(line)) continue;
    if (shape.data_rows == 0) shape.first_row_values = line_values(line);
    ++shape.data_rows;
  }
  return shape;
}

RecordingProblem decide_shape(std::string_view text, std::optional<int> leads,
                              std::optional<int> seconds, RecordingShape& r) {
  if (leads && seconds) {
    r.lead_count = *leads;
    r.seconds = *seconds;
    return {};
  }
  const TextShape shape = text_shape(text);
  if (shape.data_rows == 0) return shape_problem(text, {RecordingFault::no_rows});
  r.lead_count = leads.value_or(shape.first_row_values);
  if (r.lead_count < 1 || r.lead_count > kMaxRecordingLeads) {
    return shape_problem(text, {RecordingFault::first_line_values, 0, shape.first_row_values});
  }
  if (seconds) {
    r.seconds = *seconds;
  } else if (shape.data_rows % kTextSamplesPerSecond != 0) {
    return shape_problem(text, {RecordingFault::rows_not_whole_seconds, 0, shape.data_rows});
  } else {
    r.seconds = shape.data_rows / kTextSamplesPerSecond;
    if (r.seconds > kMaxRecordingSeconds)
      return shape_problem(text, {RecordingFault::too_many_seconds, 0, shape.data_rows});
  }
  return {};
}

}  // namespace telmor
