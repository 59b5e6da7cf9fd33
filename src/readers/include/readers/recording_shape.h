// The shape of a recording (leads and seconds): as stated, or as its text
// shows it when nobody states it.
#pragma once

#include <optional>
#include <string_view>

#include "signal/recording_problem.h"


namespace telmor {

struct TextShape {
  int first_row_values = 0;  // values on the first line that holds any
  int data_rows = 0;         // lines that hold anything but blanks
};

// Counts as the waveform reader reads: values separated by blanks, tabs or
// one comma (two commas in a row hold an empty value, which counts), a slash
// ends the line's values; a leading byte-order mark is skipped. Lines of
// blanks only are not rows.
TextShape text_shape(std::string_view text);

// The values of one line (without its LF), counted as text_shape counts them.
int line_values(std::string_view line);

// text_shape's first_row_values, reading no further than that row's line.
int first_row_values(std::string_view text);

// The most leads and seconds a recording's text may hold: a row of 1024
// values is far beyond any acquisition system, and the samples of the longest
// recording still count in 32 bits.
inline constexpr int kMaxRecordingLeads = 1024;
// A text recording holds one row per millisecond.
inline constexpr int kTextSamplesPerSecond = 1000;
inline constexpr int kMaxRecordingSeconds = 2'000'000;

struct RecordingShape {
  int lead_count = 0;
  int sample_count = 0;
};

// The shape to read text with at rate_hz: leads and seconds where stated, the
// rest from text_shape (leads from the first row's values, samples from the
// rows, which at 1 kHz, the rate the text format states, must be whole
// seconds; at any other rate every row is a sample). Or why the text has no
// shape that can be read: no rows, a first row outside 1..kMaxRecordingLeads
// values, rows not whole seconds or beyond kMaxRecordingSeconds (or beyond
// what 32 bits count); lines that end in CR alone or UTF-16 text are named as
// the cause rather than the counts they upset.
RecordingProblem decide_shape(std::string_view text, std::optional<int> leads,
                              std::optional<int> seconds, RecordingShape& shape,
                              double rate_hz = 1000.0);

}  // namespace telmor
