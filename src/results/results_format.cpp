// Results file text from the AT and RT tables.
#include "results/results_format.h"

#include <charconv>
#include <cmath>

#include "base/number_text.h"

namespace telmor {
namespace {

using ResultTable = Table<kMaxLeads, kMaxRows>;

void append_time_field(std::string& text, std::int32_t whole) {
  char digits[12];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, whole);
  (void)ec;  // twelve characters hold any 32-bit integer
  const auto length = static_cast<std::size_t>(end - digits);
  text.append(kTimeColumns - 1 - length, ' ');
  text.append(digits, length);
  text += ".,";
}

void append_count_line(std::string& text, std::int32_t count) {
  text += format_integer_width(count, static_cast<int>(kCountColumns));
  text += kLineEnd;
}

// Appends the count line and rows 1..count; false, with fault filled in, at a
// time that does not fit.
bool append_block(std::string& text, const ResultTable& table, std::int32_t count, int leads,
                  Block block, FormatResult& fault) {
  append_count_line(text, count);
  for (int row = 1; row <= count; ++row) {
    for (int lead = 1; lead <= leads; ++lead) {
      std::int32_t whole = 0;
      if (!whole_ms(table[lead - 1][row - 1], whole)) {
        fault = {FormatFault::time_too_wide, block, 0, lead, row};
        return false;
      }
      append_time_field(text, whole);
    }
    text += kLineEnd;
  }
  return true;
}

bool count_in_range(std::int32_t count) { return count >= 0 && count <= kMaxRows; }

}  // namespace

FormatResult format_results(const MarkTables& marks, int lead_count, std::string& text) {
  text.clear();
  if (!count_in_range(marks.at_beat_count))
    return {FormatFault::count_out_of_range, Block::at, marks.at_beat_count, 0, 0};
  if (!count_in_range(marks.rt_beat_count))
    return {FormatFault::count_out_of_range, Block::rt, marks.rt_beat_count, 0, 0};

  const int leads = leads_in_row(lead_count);
  const auto row_bytes = kFieldColumns * static_cast<std::size_t>(leads) + kLineEnd.size();
  const auto rows = static_cast<std::size_t>(marks.at_beat_count + marks.rt_beat_count);
  text.reserve(2 * (kCountColumns + kLineEnd.size()) + rows * row_bytes);

  FormatResult fault;
  if (!append_block(text, marks.at_ms_table, marks.at_beat_count, leads, Block::at, fault) ||
      !append_block(text, marks.rt_ms_table, marks.rt_beat_count, leads, Block::rt, fault)) {
    text.clear();
  }
  return fault;
}

}  // namespace telmor
