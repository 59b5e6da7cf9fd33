// The rows of a waveform file: one row per millisecond, one column per lead.
#pragma once

#include <istream>
#include <string_view>

#include "record/run_record.h"

namespace telmor {

enum class WaveReadStatus { ok, cannot_open, read_error, end_of_file };

// Reads sample_count rows of lead_count values from text into wave_table, row
// i into sample i of leads 1..lead_count, each row a free-form read of its own:
// it starts on a new line, runs on over further lines until it has its values,
// and skips what stands after them on its last line. Values are separated by
// blanks, tabs or one comma; a slash ends the row; an empty value between
// commas (or a comma at the row's start) leaves that lead as it was. A
// byte-order mark at the start is skipped. Values are written as they are
// read, so rows read before a failure stay. lead_count is 1..20.
WaveReadStatus parse_waveform_rows(std::istream& text, int lead_count, int sample_count,
                                   RunRecord& record);

// How a read of rows ended, and in which row (1-based) it stopped: the row
// that could not be completed (end_of_file) or read (read_error); for ok,
// sample_count.
struct WaveRows {
  WaveReadStatus status = WaveReadStatus::ok;
  int row = 0;
};

// The same rows read from the whole text of a file held in memory, with the
// same rules, values and failures as parse_waveform_rows, and the row where
// a failure happened.
WaveRows read_waveform_rows(std::string_view text, int lead_count, int sample_count,
                            RunRecord& record);

}  // namespace telmor
