// Rows of the summary table.
#include "tables/summary_csv.h"

#include <limits>

#include "base/csv_text.h"
#include "base/number_text.h"

namespace telmor {

static_assert(kSummaryHeader.substr(0, kSummaryColumns.size()) == kSummaryColumns &&
              kSummaryHeader.substr(kSummaryColumns.size(), kFigureColumns.size()) == kFigureColumns &&
              kSummaryHeader.substr(kSummaryColumns.size() + kFigureColumns.size(), kFlagColumns.size()) ==
                  kFlagColumns &&
              kSummaryHeader.substr(kSummaryColumns.size() + kFigureColumns.size() + kFlagColumns.size(),
                                    kMethodColumns.size()) == kMethodColumns &&
              kSummaryHeader.substr(kSummaryColumns.size() + kFigureColumns.size() + kFlagColumns.size() +
                                    kMethodColumns.size()) == kLabelColumn);

namespace {

// The earliest marks' fine times (two decimals) and qualities (one), each
// empty where the beat owns no mark of its kind or the figure is not known.
void append_figures(std::string& text, const BeatCell& cell) {
  constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  const bool at = cell.at.count > 0, rt = cell.rt.count > 0;
  append_csv_number(text, at ? cell.at.fine_ms : kNone, 2);
  append_csv_number(text, rt ? cell.rt.fine_ms : kNone, 2);
  append_csv_number(text, at ? cell.at.quality : kNone, 1);
  append_csv_number(text, rt ? cell.rt.quality : kNone, 1);
}

void append_method(std::string& text, const SummaryMethod& method) {
  const bool legacy = method.estimator == Estimator::legacy;
  text += ',';
  text += estimator_name(method.estimator);
  append_csv_integer(text, method.smooth_ms);
  append_csv_integer(text, !legacy, method.rt_smooth_ms);
}

}  // namespace

std::string_view cell_flag_name(const BeatTable& table, int lead, const OwnedMarks& marks) {
  if (table.dead(lead)) return "dead_lead";
  return mark_flag_name(marks.flag);
}

SummaryMethod summary_method(const AnalysisSettings& settings) {
  return {settings.estimator, settings.smooth_ms, settings.rt_smooth()};
}

void append_summary_rows(std::string& text, std::string_view recording, const BeatTable& table,
                         const SummaryParts& parts) {
  for (int lead = 1; lead <= table.leads; ++lead) {
    for (int beat = 0; beat <= table.beat_count(); ++beat) {
      const BeatCell& cell = table.cell(lead, beat);
      const bool at = cell.at.count > 0;
      const bool rt = cell.rt.count > 0;
      append_csv_name(text, recording);
      append_csv_integer(text, lead);
      append_csv_integer(text, beat);
      append_csv_integer(text, beat > 0, beat > 0 ? table.beats[static_cast<std::size_t>(beat - 1)] : 0);
      append_csv_integer(text, at, cell.at.earliest);
      append_csv_integer(text, rt, cell.rt.earliest);
      append_csv_integer(text, at && rt,
                      static_cast<std::int64_t>(cell.rt.earliest) - cell.at.earliest);
      append_csv_integer(text, cell.at.count);
      append_csv_integer(text, cell.rt.count);
      if (parts.extra) text += parts.extra(lead, beat, cell);
      append_figures(text, cell);
      if (parts.flags) {
        const bool beat_row = beat > 0;
        (text += ',') += beat_row ? cell_flag_name(table, lead, cell.at) : "";
        (text += ',') += beat_row ? cell_flag_name(table, lead, cell.rt) : "";
        (text += ',') += cell.rt.count > 0 ? t_polarity_name(cell.rt.polarity) : "";
      }
      if (parts.method) append_method(text, *parts.method);
      if (parts.flags) {
        const auto j = static_cast<std::size_t>(lead - 1);
        text += ',';
        append_csv_name(text, j < parts.labels.size() ? parts.labels[j] : std::string());
      }
      text += '\n';
    }
  }
}

}  // namespace telmor
