// Counting the values of the first row and the rows of a recording's text,
// and the shape a recording is read with.
#include "readers/recording_shape.h"

#include "readers/waveform_rows.h"
#include "base/text_rules.h"

#include <cmath>
#include <limits>

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
                              std::optional<int> seconds, RecordingShape& r, double rate_hz) {
  // Samples of a length in seconds, when they count in 32 bits.
  const auto samples_of = [&](double length_s, int& samples) {
    const double count = std::round(length_s * rate_hz);
    if (!(count <= static_cast<double>(std::numeric_limits<int>::max()))) return false;
    samples = static_cast<int>(count);
    return true;
  };
  if (leads && seconds) {
    r.lead_count = *leads;
    if (!samples_of(*seconds, r.sample_count)) return {RecordingFault::too_many_seconds, 0, *seconds};
    return {};
  }
  const TextShape shape = text_shape(text);
  if (shape.data_rows == 0) return shape_problem(text, {RecordingFault::no_rows});
  r.lead_count = leads.value_or(shape.first_row_values);
  if (r.lead_count < 1 || r.lead_count > kMaxRecordingLeads) {
    return shape_problem(text, {RecordingFault::first_line_values, 0, shape.first_row_values});
  }
  if (seconds) {
    if (!samples_of(*seconds, r.sample_count)) return {RecordingFault::too_many_seconds, 0, *seconds};
  } else if (rate_hz != kTextSamplesPerSecond) {
    r.sample_count = shape.data_rows;
  } else if (shape.data_rows % kTextSamplesPerSecond != 0) {
    return shape_problem(text, {RecordingFault::rows_not_whole_seconds, 0, shape.data_rows});
  } else {
    if (shape.data_rows / kTextSamplesPerSecond > kMaxRecordingSeconds)
      return shape_problem(text, {RecordingFault::too_many_seconds, 0, shape.data_rows});
    r.sample_count = shape.data_rows;
  }
  return {};
}

}  // namespace telmor
