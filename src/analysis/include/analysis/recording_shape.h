// The shape of a recording (leads and seconds) as its text shows it, for
// when nobody states it.
#pragma once

#include <string_view>

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

}  // namespace telmor
