// Writing AT and RT tables as the text of a results file.
#pragma once

#include <cstdint>
#include <string>

#include "results/mark_tables.h"
#include "results/results_layout.h"
#include "timing/whole_ms.h"

namespace telmor {

enum class FormatFault { none, count_out_of_range, time_too_wide };

struct FormatResult {
  FormatFault fault = FormatFault::none;
  Block block = Block::at;
  std::int32_t count = 0;  // the count out of range
  int lead = 0;            // lead and row of the time that does not fit
  int row = 0;
};

// Reads the counts of marks and rows 1..count of leads 1..lead_count of its
// AT and RT tables; fills text with the whole file: the AT count line (3
// columns) and one line per AT row, then the same for RT, each row holding
// one field per lead, every line ending CR LF. A count outside 0..200
// or a time that does not fit its field leaves text empty and reports where:
// a file written is always one that loads back as written.
FormatResult format_results(const MarkTables& marks, int lead_count, std::string& text);

}  // namespace telmor
