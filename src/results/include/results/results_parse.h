// Reading the text of a results file into tables of its own, so that a file
// found bad half way has changed nothing in the run.
#pragma once

#include <cstdint>
#include <istream>

#include "results/mark_tables.h"
#include "results/results_layout.h"

namespace telmor {

enum class ParseFault { none, early_end, not_a_number, count_out_of_range, read_error };

struct ParseResult {
  ParseFault fault = ParseFault::none;
  Block block = Block::at;  // block of the line at fault
  int line = 0;             // 1-based line at fault; for early_end the first missing one
  int lead = 0;             // field at fault, 0 for a count line
  std::int32_t count = 0;   // the count read, for count_out_of_range
};

// A results file as read, before it reaches the run record. Indexed
// [lead - 1][row - 1] like the run's tables.
struct LoadedTables {
  Table<kMaxLeads, kMaxRows> at_ms{};
  Table<kMaxLeads, kMaxRows> rt_ms{};
  std::int32_t at_count = 0;
  std::int32_t rt_count = 0;
  // The leads the widest row line of the file holds (0 without rows): a file
  // saved for fewer leads than the run reads 0 for the rest.
  int file_leads = 0;
};

// Reads the AT count line and its rows, then the RT count line and its rows,
// into loaded; lines after the last RT row are not read. Columns are bytes. A
// count is the first 3 columns read as an integer, 0 to 200. Lead k of a row
// line is columns 9k-8..9k-1 read as a single-precision number; column 9k is
// skipped whatever it holds, and columns after 9 x lead_count are ignored.
// Within a field blanks are ignored, a field of blanks reads 0, a point and
// an exponent are optional; a line that ends early reads blanks. Lines end in
// LF or CR LF; a leading UTF-8 byte-order mark is skipped. On a fault,
// loaded holds a partial read and must not be used.
ParseResult parse_results(std::istream& text, int lead_count, LoadedTables& loaded);


}  // namespace telmor
