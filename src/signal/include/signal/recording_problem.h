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
  // What a file says of itself, checked before anything is taken on trust.
  header_invalid,          // field: the header's field; leads: its signal (0: the fixed header);
                           // detail: the value as the file writes it
  data_missing,            // row: the whole records (samples) the file holds; count: those its
                           // header declares; detail: the dataset where one is named
  beyond_limit,            // detail: the shape declared (leads × samples); count: the most GiB
                           // of samples a recording may hold
  // The library that reads the format, run apart so that it cannot take the
  // program down: detail names the format.
  library_crashed,         // count: the signal it ended with
  library_hung,            // count: the seconds it went without a word
};
inline constexpr RecordingFault kLastRecordingFault = RecordingFault::library_hung;

// The field of an EDF/BDF/GDF header that a header_invalid problem names.
enum class HeaderField : std::uint8_t {
  none,
  version,             // the format's version, not one the reader knows
  header_bytes,        // the header's length against 256 × (signals + 1) and the file
  signal_count,        // the number of signals
  record_count,        // the number of data records
  record_duration,     // the duration of a data record
  samples_per_record,  // a signal's samples in each record
  digital_range,       // a signal's digital minimum not below its maximum
  physical_minimum,    // a signal's physical minimum, not a number
  physical_maximum,    // a signal's physical maximum, not a number
  physical_range,      // a signal's physical minimum equal to its maximum
  sample_type,         // a GDF signal's type of sample, not one GDF defines
};
inline constexpr HeaderField kLastHeaderField = HeaderField::sample_type;

struct RecordingProblem {
  RecordingFault fault = RecordingFault::none;
  std::int64_t row = 0;
  std::int64_t count = 0;
  int leads = 0;
  std::string detail{};  // names, shapes or a library's reason, as the fault says
  HeaderField field = HeaderField::none;
  explicit operator bool() const { return fault != RecordingFault::none; }
  friend bool operator==(const RecordingProblem&, const RecordingProblem&) = default;
};

}  // namespace telmor
