// Reading a recording held in memory, with its problems as values.
#include "readers/recording_text.h"

#include <algorithm>
#include <cstdint>

#include "readers/recording_shape.h"

namespace telmor {

RecordingProblem read_problem(const WaveRows& rows, int lead_count) {
  switch (rows.cause) {
    case WaveCause::cr_line_ends:
      return {RecordingFault::cr_line_ends};
    case WaveCause::utf16_text:
      return {RecordingFault::utf16_text};
    case WaveCause::value_beyond_float:
      return {RecordingFault::value_beyond_float, rows.row};
    case WaveCause::none:
      break;
  }
  switch (rows.status) {
    case WaveReadStatus::ok:
      return {};
    case WaveReadStatus::end_of_file:
      return {RecordingFault::end_of_file, rows.row};
    case WaveReadStatus::lead_count_mismatch:
      return {RecordingFault::lead_count_mismatch, rows.row, rows.first_line_values, lead_count};
    case WaveReadStatus::read_error:
    case WaveReadStatus::cannot_open:  // a text in memory was opened
      break;
  }
  return {RecordingFault::not_a_number, rows.row};
}

RecordingProblem read_recording_text(std::string_view text, std::optional<int> leads,
                                     std::optional<int> seconds, Recording& recording, double rate_hz) {
  // NUL bytes are no text (UTF-16, which holds them too, is named as such by
  // the shape's decision): a file of them is binary, whatever its counts say.
  if (text.find('\0') != std::string_view::npos &&
      first_line_cause(text.substr(0, text.find('\n'))) != WaveCause::utf16_text)
    return {RecordingFault::binary_data};
  RecordingShape shape;
  if (const RecordingProblem problem = decide_shape(text, leads, seconds, shape, rate_hz)) return problem;
  // Each row starts on a line of its own: a stated length beyond the text's
  // lines ends in its first row past them all the same, and needs no room
  // beyond them. (A length read off the text fits it.)
  int rows = shape.sample_count;
  if (seconds) {
    const auto lines = static_cast<std::int64_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    rows = static_cast<int>(std::min<std::int64_t>(rows, lines + 1));
  }
  recording = Recording(shape.lead_count, rows);
  recording.rate_hz = rate_hz;
  const WaveRows read = read_waveform_rows(
      text, shape.lead_count, rows,
      WaveTarget{recording.values.data(), static_cast<std::size_t>(rows)});
  return read_problem(read, shape.lead_count);
}

}  // namespace telmor
