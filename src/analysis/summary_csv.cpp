// Rows of the summary table.
#include "analysis/summary_csv.h"

#include "base/number_text.h"

namespace telmor {
namespace {

void append_name(std::string& text, std::string_view name) {
  if (name.find_first_of(",\"\r\n") == std::string_view::npos) {
    text += name;
    return;
  }
  text += '"';
  for (const char c : name) {
    if (c == '"') text += '"';
    text += c;
  }
  text += '"';
}

void append_field(std::string& text, std::int64_t value) {
  text += ',';
  text += format_integer(value);
}

void append_optional(std::string& text, bool present, std::int64_t value) {
  text += ',';
  if (present) text += format_integer(value);
}

}  // namespace

void append_summary_rows(std::string& text, std::string_view recording, const BeatTable& table,
                         const ExtraColumns& extra) {
  for (int lead = 1; lead <= table.leads; ++lead) {
    for (int beat = 0; beat <= table.beat_count(); ++beat) {
      const BeatCell& cell = table.cell(lead, beat);
      const bool at = cell.at.count > 0;
      const bool rt = cell.rt.count > 0;
      append_name(text, recording);
      append_field(text, lead);
      append_field(text, beat);
      append_optional(text, beat > 0, beat > 0 ? table.beats[static_cast<std::size_t>(beat - 1)] : 0);
      append_optional(text, at, cell.at.earliest);
      append_optional(text, rt, cell.rt.earliest);
      append_optional(text, at && rt,
                      static_cast<std::int64_t>(cell.rt.earliest) - cell.at.earliest);
      append_field(text, cell.at.count);
      append_field(text, cell.rt.count);
      if (extra) text += extra(lead, beat, cell);
      text += '\n';
    }
  }
}

std::string results_table_csv(const ResultsSnapshot& results) {
  std::string text(kSummaryHeader);
  text += ",at_source,rt_source\n";
  append_summary_rows(text, results.recording, assign_marks(results),
                      [](int, int, const BeatCell& cell) {
                        return "," + std::string(source_name(cell.at.earliest_source)) + "," +
                               std::string(source_name(cell.rt.earliest_source));
                      });
  return text;
}

}  // namespace telmor
