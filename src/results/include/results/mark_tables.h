// The AT and RT tables as the results file holds them and every program
// shares them: times in ms per lead and beat row (0.0: empty), the rows in
// use, and beside each entry where it came from. A results file holds at
// most 20 leads and 200 rows (the interactive program's tables are as large).
#pragma once

#include <array>
#include <cstdint>

#include "signal/mark_source.h"

namespace telmor {

inline constexpr int kMaxLeads = 20;
inline constexpr int kMaxRows = 200;  // beats, and rows of the AT/RT tables

template <int Rows, int Cols>
using Table = std::array<std::array<float, Cols>, Rows>;

// One lead's AT or RT times, rows 1..200 (0.0: empty), and all leads of a kind.
using MarkColumn = std::array<float, kMaxRows>;
using MarkTable = Table<kMaxLeads, kMaxRows>;

using SourceColumn = std::array<MarkSource, kMaxRows>;
using SourceTable = std::array<SourceColumn, kMaxLeads>;

// The results: times in ms per lead and beat row (0.0: empty), the rows in
// use, and beside each entry where it came from (they move together). The
// run record holds one; a view's copy of the results holds another; an
// analysis of any program gives one (results_tables).
struct MarkTables {
  MarkTable at_ms_table{};
  MarkTable rt_ms_table{};
  std::int32_t at_beat_count = 0;
  std::int32_t rt_beat_count = 0;
  SourceTable at_source_table{};
  SourceTable rt_source_table{};

  float& at_ms(int lead, int row) { return at_ms_table[lead - 1][row - 1]; }
  float at_ms(int lead, int row) const { return at_ms_table[lead - 1][row - 1]; }
  float& rt_ms(int lead, int row) { return rt_ms_table[lead - 1][row - 1]; }
  float rt_ms(int lead, int row) const { return rt_ms_table[lead - 1][row - 1]; }
};

// The same tables as a results file holds them: the same counts, and the same
// times in rows 1..count of leads 1..lead_count (where each came from aside).
bool same_tables(const MarkTables& a, const MarkTables& b, int lead_count);

}  // namespace telmor
