// What a correction pass needs of the kind of mark it edits: AT and RT
// differ only in their table, row count, colour and instruction line.
#pragma once

#include <cstdint>
#include <string_view>

#include "record/run_record.h"
#include "signal/mark_kind.h"

namespace telmor {

// Colour (0x00BBGGRR) of the marks and of the line drawn at a click.
constexpr std::uint32_t mark_colour(MarkKind kind) {
  return kind == MarkKind::at ? 0x0000FFu : 0x00FFFFu;  // red, yellow
}

constexpr std::string_view instruction_line(MarkKind kind) {
  return kind == MarkKind::at ? "左ボタンAT変更、右＝次へ、早右＝前へ"
                              : "左ボタンRT変更、右＝次へ、早右＝前へ";
}

// The kind's times of one lead (1..20).
inline MarkColumn& mark_column(RunRecord& record, MarkKind kind, int lead) {
  return kind == MarkKind::at ? record.marks.at_ms_table[lead - 1] : record.marks.rt_ms_table[lead - 1];
}
inline const MarkColumn& mark_column(const RunRecord& record, MarkKind kind, int lead) {
  return kind == MarkKind::at ? record.marks.at_ms_table[lead - 1] : record.marks.rt_ms_table[lead - 1];
}

// Where the kind's times of one lead came from.
inline SourceColumn& source_column(RunRecord& record, MarkKind kind, int lead) {
  return kind == MarkKind::at ? record.marks.at_source_table[lead - 1] : record.marks.rt_source_table[lead - 1];
}

// The kind's row count, shared by all leads.
inline std::int32_t& mark_count(RunRecord& record, MarkKind kind) {
  return kind == MarkKind::at ? record.marks.at_beat_count : record.marks.rt_beat_count;
}

}  // namespace telmor
