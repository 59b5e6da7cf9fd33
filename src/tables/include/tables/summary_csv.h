// The summary table of one or many recordings: one row per recording, lead
// and beat, as CSV (UTF-8, comma separated, LF line ends, no locale).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "timing/analysis_settings.h"
#include "timing/beat_table.h"

namespace telmor {

// The columns of every row, then any extra ones, then the earliest marks'
// figures, then their flags and T wave, then how the marks were found: the
// summary's header is these together.
inline constexpr std::string_view kSummaryColumns =
    "recording,lead,beat,beat_ms,at_ms,rt_ms,ari_ms,at_marks,rt_marks";
inline constexpr std::string_view kFigureColumns = ",at_fine_ms,rt_fine_ms,at_quality,rt_quality";
inline constexpr std::string_view kFlagColumns = ",at_flag,rt_flag,t_polarity";
inline constexpr std::string_view kMethodColumns = ",estimator,smooth_ms,rt_smooth_ms";
inline constexpr std::string_view kLabelColumn = ",label";
inline constexpr std::string_view kSummaryHeader =
    "recording,lead,beat,beat_ms,at_ms,rt_ms,ari_ms,at_marks,rt_marks,"
    "at_fine_ms,rt_fine_ms,at_quality,rt_quality,at_flag,rt_flag,t_polarity,estimator,smooth_ms,rt_smooth_ms,"
    "label";

// A cell's flag as the tables write it: dead_lead throughout a lead with no
// signal to mark, otherwise the earliest mark's flag or why the search found
// none (mark_flag_name).
std::string_view cell_flag_name(const BeatTable& table, int lead, const OwnedMarks& marks);

// How the marks were found, written on every row so that a row read alone
// still says it: the derivative, its smoothing and, centred, the RT
// derivative's (legacy has one derivative: the column stays empty).
struct SummaryMethod {
  Estimator estimator = Estimator::centred;
  std::int32_t smooth_ms = 0;
  std::int32_t rt_smooth_ms = 0;
};
SummaryMethod summary_method(const AnalysisSettings& settings);

// Extra fields at the end of a row, each with its leading comma, for the cell
// of a lead and beat (the results view adds where each mark came from).
using ExtraColumns = std::function<std::string(int lead, int beat, const BeatCell& cell)>;

// What a table's rows hold beyond the summary's columns and figures: the
// flags and T wave (kFlagColumns), how the marks were found (kMethodColumns),
// the lead's channel label (kLabelColumn, with the flags: empty where none is
// known) and extra columns before the figures. The desktop's export of a
// legacy session has none of these: its columns stay as they were.
struct SummaryParts {
  bool flags = true;
  std::optional<SummaryMethod> method;
  ExtraColumns extra;
  std::vector<std::string> labels{};  // lead j at [j - 1]
};

// Appends the rows of one recording, each ending in LF: lead by lead, beat 0
// (the marks before the first beat's range; beat_ms empty) then beats 1..n.
// at_ms and rt_ms are the earliest mark owned, ari_ms = rt_ms - at_ms; each
// empty when a mark is missing. Extra columns come before the earliest marks'
// fine times and qualities, then the flags and the method. The recording's
// name is quoted when it holds a comma, a quote or a line end.
void append_summary_rows(std::string& text, std::string_view recording, const BeatTable& table,
                         const SummaryParts& parts);

}  // namespace telmor
