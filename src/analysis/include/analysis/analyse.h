// The analysis of a recording of any size, as a value: what an interactive
// session computes from the settings dialogue to c, without a console, a
// window or the interactive program's limits. Nothing is shared between
// calls, so several threads may analyse at once.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/beat_table.h"
#include "analysis/recording.h"
#include "analysis/recording_analysis.h"
#include "fitting/signal_tables.h"

namespace telmor {

struct AnalyseOptions {
  bool keep_derivative = false;  // hand back the derivative of every lead
  int threads = 1;               // threads for the fits; 0: one per core
};

// The tables of c as a recording of any size gives them. Row 1 stays empty, as
// c leaves it; rows 2..beats+1 belong to the beats in ascending time. Where a
// session's tables end at 199 beats and 20 leads, these have no end: within
// those limits they are the session's tables, entry for entry.
struct Analysis {
  AnalysisSettings settings;
  AnalysisStatus status = AnalysisStatus::ok;
  int lead_count = 0;
  int sample_count = 0;
  std::vector<std::int32_t> beats;  // ascending, whole ms
  int rows = 0;                     // beats + 1; 0 when there is no data
  // Lead j, row k at [(j - 1) * rows + (k - 1)]: times in ms (0.0: empty),
  // and each mark's fine time and quality (NaN where empty).
  std::vector<float> at_ms, rt_ms;
  std::vector<double> at_fine_ms, rt_fine_ms, at_quality, rt_quality;
  BeatTable marks;                  // the marks by beat, as the summary lays them out
  FitMessageCounts fit_messages;
  std::vector<float> derivative;    // as the recording, when asked for

  float at(int lead, int row) const { return at_ms[index(lead, row)]; }
  float rt(int lead, int row) const { return rt_ms[index(lead, row)]; }
  std::size_t index(int lead, int row) const {
    return static_cast<std::size_t>(lead - 1) * static_cast<std::size_t>(rows) +
           static_cast<std::size_t>(row - 1);
  }
};

// What the interactive program can load: a results file holds at most 20
// leads and 200 rows.
bool fits_results_file(const Analysis& analysis);

// The recording, baseline removed and differentiated with the settings'
// smoothing; the beats found on settings.beat_lead; AT and RT of every beat in
// every lead. no_data (nothing else filled) when leads 1 to 3 hold no
// amplitude over samples 100 to 1000, where an interactive session ends.
// The recording must hold at least one lead and one sample, and beat_lead must
// be one of its leads.
Analysis analyse(const Recording& recording, const AnalysisSettings& settings,
                 const AnalyseOptions& options = {});
// The same, working in the recording's own memory (no copy of it).
Analysis analyse(Recording&& recording, const AnalysisSettings& settings,
                 const AnalyseOptions& options = {});

// The tables as the record's, for the results file: requires fits_results_file.
MarkTables mark_tables(const Analysis& analysis);

}  // namespace telmor
