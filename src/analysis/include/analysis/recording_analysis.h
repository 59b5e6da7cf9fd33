// The analysis of one recording without a window: what an interactive
// session does from the settings dialogue to c, with no dialogue and no
// drawing, so that its tables are the ones that session would save.
#pragma once

#include <cstdint>

#include "base/console_output.h"
#include "record/run_record.h"

namespace telmor {

// The settings of the start-up dialogue and the recognition ranges of d, in
// ms relative to a beat; the defaults are the dialogue's.
struct AnalysisSettings {
  std::int32_t smooth_points = 7;
  float amp_ratio = 0.1f;
  std::int32_t at_from = -80;
  std::int32_t at_to = 80;
  std::int32_t rt_from = 100;
  std::int32_t rt_to = 200;
  int beat_lead = 1;  // the lead the beats are found on (an interactive session: lead 1)
};

// Writes the settings and ranges into the record, as the dialogue and d do.
void apply_settings(const AnalysisSettings& settings, RunRecord& record);

enum class AnalysisStatus { ok, no_data };

// On a record whose rows are read (wave, lead_count, record_seconds,
// sample_count) and whose settings are applied: the baseline and derivative
// of every lead (the fit's messages go to console; threads as for
// prepare_signals), the beats and their sorted list, then the detection of c.
// no_data: leads 1 to 3 hold no amplitude over samples 100 to 1000, where an
// interactive session ends; the tables are not touched then.
AnalysisStatus analyse_recording(RunRecord& record, ConsoleOutput& console, int threads);

}  // namespace telmor
