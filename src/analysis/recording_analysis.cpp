// Preparation, beat search and detection of one recording, in the order of
// an interactive session.
#include "analysis/recording_analysis.h"

#include "analysis/beat_search.h"
#include "fitting/prepare_signals.h"
#include "recognition/find_at_rt.h"

namespace telmor {

void apply_settings(const AnalysisSettings& settings, RunRecord& r) {
  r.smooth_points = settings.smooth_points;
  r.amp_ratio = settings.amp_ratio;
  r.at_from = settings.at_from;
  r.at_to = settings.at_to;
  r.rt_from = settings.rt_from;
  r.rt_to = settings.rt_to;
}

AnalysisStatus analyse_recording(RunRecord& r, ConsoleOutput& console, int threads) {
  prepare_signals(r, console, threads);
  if (overview_amplitude(r) == 0.0f) return AnalysisStatus::no_data;
  search_beats(r);
  sort_beats(r);  // as the overview does before the menu
  detect_marks(r);
  return AnalysisStatus::ok;
}

}  // namespace telmor
