// The rows of a waveform file: one row per millisecond, one column per lead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string_view>


namespace telmor {

// lead_count_mismatch: a row that took its values from two or more lines did
// not end at the end of its last line, so the stated lead count does not fit
// the file's columns.
enum class WaveReadStatus { ok, cannot_open, read_error, end_of_file, lead_count_mismatch };

// What a failed read most likely comes from, when the text shows it: lines
// that end in CR alone, UTF-16 text, or (for read_error) a number beyond the
// range of a 32-bit real rather than no number at all.
enum class WaveCause : std::uint8_t { none, cr_line_ends, utf16_text, value_beyond_float };

// How a read of rows ended. row (1-based): the row that could not be
// completed (end_of_file), read (read_error) or did not end at a line end
// (lead_count_mismatch); sample_count for ok. first_line_values: for ok and
// lead_count_mismatch, the values on the first line that holds any (so that
// extra columns, or a lead count that does not fit, can be told). cause:
// for a failure, what the text shows about it.
struct WaveRows {
  WaveReadStatus status = WaveReadStatus::ok;
  int row = 0;
  int first_line_values = 0;
  WaveCause cause = WaveCause::none;
};

// Where rows go: lead j (1-based), sample i (1-based) at values[(j - 1) * lead_stride + (i - 1)].
// The storage must hold (lead_count - 1) * lead_stride + sample_count values,
// with lead_stride >= sample_count.
struct WaveTarget {
  float* values = nullptr;
  std::size_t lead_stride = 0;
};

// Reads sample_count rows of lead_count values from text into target, row i
// into sample i of leads 1..lead_count, each row a free-form read of its own:
// it starts on a new line, runs on over further lines until it has its values,
// and skips what stands after them on its last line. Values are separated by
// blanks, tabs or one comma; a slash ends the row; an empty value between
// commas (or a comma at the row's start) leaves that lead as it was. A row
// that took values (an empty one included) from two or more lines must end at
// the end of its last line: anything but blanks, tabs and commas after the
// value that completes it is a lead_count_mismatch. A byte-order mark at the
// start is skipped. Values are written as they are read, so rows read before a
// failure stay. lead_count and sample_count are any numbers >= 1.
WaveRows parse_waveform_rows(std::istream& text, int lead_count, int sample_count,
                             WaveTarget target);

// The same rows read from the whole text of a file held in memory, with the
// same rules, values and failures as parse_waveform_rows; rows on one line
// with plain decimals (the usual kind) take a fast path of their own.
WaveRows read_waveform_rows(std::string_view text, int lead_count, int sample_count,
                            WaveTarget target);

// What the first line of a text (without its LF) shows: utf16_text when it
// starts with a UTF-16 byte-order mark or one of its first two bytes is NUL
// and the other is not (an ASCII character in UTF-16); cr_line_ends when it
// holds a CR followed by anything but another CR, so the lines end in CR
// alone; none otherwise.
WaveCause first_line_cause(std::string_view first_line);

}  // namespace telmor
