// Rows of the summary table.
#include "analysis/summary_csv.h"

#include <cmath>

#include "base/number_text.h"

namespace telmor {

static_assert(kSummaryHeader.substr(0, kSummaryColumns.size()) == kSummaryColumns &&
              kSummaryHeader.substr(kSummaryColumns.size()) == kFigureColumns);

namespace {

void append_field(std::string& text, std::int64_t value) {
  text += ',';
  text += format_integer(value);
}

void append_optional(std::string& text, bool present, std::int64_t value) {
  text += ',';
  if (present) text += format_integer(value);
}

// The earliest marks' fine times (two decimals) and qualities (one), each
// empty where the beat owns no mark of its kind or the figure is not known.
void append_figure(std::string& text, bool present, double value, int decimals) {
  text += ',';
  if (present && std::isfinite(value)) text += format_fixed(value, decimals);
}

void append_figures(std::string& text, const BeatCell& cell) {
  append_figure(text, cell.at.count > 0, cell.at.fine_ms, 2);
  append_figure(text, cell.rt.count > 0, cell.rt.fine_ms, 2);
  append_figure(text, cell.at.count > 0, cell.at.quality, 1);
  append_figure(text, cell.rt.count > 0, cell.rt.quality, 1);
}

}  // namespace

void append_csv_name(std::string& text, std::string_view name) {
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

void append_summary_rows(std::string& text, std::string_view recording, const BeatTable& table,
                         const ExtraColumns& extra) {
  for (int lead = 1; lead <= table.leads; ++lead) {
    for (int beat = 0; beat <= table.beat_count(); ++beat) {
      const BeatCell& cell = table.cell(lead, beat);
      const bool at = cell.at.count > 0;
      const bool rt = cell.rt.count > 0;
      append_csv_name(text, recording);
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
      append_figures(text, cell);
      text += '\n';
    }
  }
}

std::string results_table_csv(const ResultsSnapshot& results) {
  std::string text(kSummaryColumns);
  text += ",at_source,rt_source";
  text += kFigureColumns;
  text += '\n';
  append_summary_rows(text, results.recording, assign_marks(results),
                      [](int, int, const BeatCell& cell) {
                        return "," + std::string(source_name(cell.at.earliest_source)) + "," +
                               std::string(source_name(cell.rt.earliest_source));
                      });
  return text;
}

}  // namespace telmor
