// Why a recording cannot be read, as a value with its data. The words are
// made at the edge, in the catalogue of the user's language.
#pragma once

#include <cstdint>

namespace telmor {

enum class RecordingFault : std::uint8_t {
  none,
  no_rows,                 // no line holds a value
  first_line_values,       // count: the values on the first line, not 1..20 leads
  rows_not_whole_seconds,  // count: the lines that hold data, not a multiple of 1000
  too_many_seconds,        // count: the lines that hold data, beyond the longest recording
  end_of_file,             // row: the row the file ended in
  not_a_number,            // row: the row with a value that is not a number
  value_beyond_float,      // row: the row with a number beyond a 32-bit real
  lead_count_mismatch,     // row: the row that did not end at a line end;
                           // count: the values on the first line; leads: as stated
  cr_line_ends,            // the lines end in CR alone
  utf16_text,              // the text is UTF-16
  binary_data,             // the file holds NUL bytes: no text at all
  too_large,               // more than memory holds
};

struct RecordingProblem {
  RecordingFault fault = RecordingFault::none;
  int row = 0;
  int count = 0;
  int leads = 0;

  explicit operator bool() const { return fault != RecordingFault::none; }
  friend bool operator==(const RecordingProblem&, const RecordingProblem&) = default;
};

}  // namespace telmor
