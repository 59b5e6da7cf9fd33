// The layout of the results file, shared by its writer and its reader: an AT
// block then an RT block, each a count line and then one line per table row
// with one fixed-width field per lead.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "results/mark_tables.h"

namespace telmor {

enum class Block { at, rt };

inline constexpr std::size_t kCountColumns = 3;
inline constexpr std::size_t kTimeColumns = 8;   // the time, right-aligned, ending in its point
inline constexpr std::size_t kFieldColumns = 9;  // the time, then one separator column
// A row line of the most leads the tables hold; the reader looks no further.
inline constexpr std::size_t kLongestRow = kFieldColumns * kMaxLeads;
inline constexpr std::string_view kLineEnd = "\r\n";

// Rows 1..kClearedRows of both tables are emptied by a load; rows beyond keep
// what they hold unless the file's counts reach them.
inline constexpr int kClearedRows = 100;

// Leads per row line: the run's lead count, kept within the tables so that a
// bad count can never address a lead that does not exist.
inline int leads_in_row(int lead_count) { return std::clamp(lead_count, 0, kMaxLeads); }

inline std::string_view block_name(Block block) { return block == Block::at ? "AT" : "RT"; }

}  // namespace telmor
