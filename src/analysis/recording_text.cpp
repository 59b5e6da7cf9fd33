// Reading a recording held in memory, with its problems as values.
#include "analysis/recording_text.h"

#include "analysis/recording_shape.h"

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
                                     std::optional<int> seconds, RunRecord& record) {
  if (const RecordingProblem shape = decide_shape(text, leads, seconds, record)) return shape;
  const WaveRows rows = read_waveform_rows(text, record.lead_count, record.sample_count, record);
  return read_problem(rows, record.lead_count);
}

}  // namespace telmor
