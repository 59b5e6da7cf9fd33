// Why a recording cannot be read, as a value with its data. The words are
// made at the edge, in the catalogue of the user's language.
#pragma once

#include <cstdint>
#include <string>

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
  // Files of other formats.
  cannot_open,             // detail: why the file cannot be opened (missing, not a regular file)
  unknown_format,          // detail: the file's name; neither its extension nor its content names a format
  format_unreadable,       // detail: the reading library's reason
  no_dataset,              // the file holds no 2-D numeric dataset (or variable)
  several_datasets,        // detail: their names; --dataset must choose
  dataset_not_found,       // detail: the name asked for
  dataset_shape,           // detail: the shape found (not 2-D, empty, not numeric)
  orientation_ambiguous,   // row, count: the shape; --orientation must say which is samples
  rate_missing,            // the file states no sampling rate; --rate must give it
  rate_invalid,            // detail: the rate found, not a positive finite number
  rates_differ,            // detail: the channels and their rates; one rate is needed
  irregular_time,          // row: where the time column's step changes
  csv_header,              // count: 1 the first row holds numbers, not names; 2 the time column's
                           // name (detail) says neither s nor ms; 3 no column but time
  field_count,             // row: the row whose fields are not the header's count
  // A part asked of a recording.
  lead_outside,            // leads: the lead asked; count: the leads there are
  time_outside,            // detail: the stretch asked (s); count: the recording's length in ms
};

struct RecordingProblem {
  RecordingFault fault = RecordingFault::none;
  int row = 0;
  int count = 0;
  int leads = 0;
  std::string detail{};  // names, shapes or a library's reason, as the fault says

  explicit operator bool() const { return fault != RecordingFault::none; }
  friend bool operator==(const RecordingProblem&, const RecordingProblem&) = default;
};

}  // namespace telmor
