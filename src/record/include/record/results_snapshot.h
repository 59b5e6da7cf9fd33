// A copy of the AT and RT tables and of what goes with them, taken when the
// program flow comes back to the menu, for views that live on another thread
// and must never read the run record while it changes.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "record/run_record.h"

namespace telmor {

// For every entry of the AT and RT tables: its fine time (where between
// samples the extremum of the derivative lies) and its quality (how far the
// mark's slope stands out of its lead's derivative noise). NaN where not known.
struct MarkFigures {
  using Column = std::array<double, kMaxRows>;
  using Figures = std::array<Column, kMaxLeads>;
  Figures at_fine_ms, rt_fine_ms, at_quality, rt_quality;
  // After a centred c, for every entry: the beat (1..n of the detection
  // notes) whose window holds it (0: none), its flag (near_edge) and, RT,
  // its T wave; and the leads whose derivative is zero throughout.
  template <class T>
  using Entries = std::array<std::array<T, kMaxRows>, kMaxLeads>;
  Entries<std::int16_t> at_owner{}, rt_owner{};
  Entries<MarkFlag> at_flag{}, rt_flag{};
  Entries<TPolarity> polarity{};
  std::array<bool, kMaxLeads> silent_lead{};

  MarkFigures();
};

struct ResultsSnapshot {
  std::string recording;  // the file name as typed, without its extension
  std::vector<std::string> labels;  // lead j's channel label at [j - 1]; "" where none is known
  std::vector<std::string> units;   // lead j's unit of values at [j - 1]; "" where none is known
  // Where the results file lies on this computer (empty when not known): the
  // files that belong to the recording (its electrode layout) lie beside it.
  std::filesystem::path results_file;
  std::int32_t lead_count = 0;
  std::int32_t at_from = 0;  // the AT range's start: beats own times from there
  // The rest of the settings and ranges the tables were made with, so that a
  // copy of the tables (a recovery file) can say what they belong to.
  std::int32_t at_to = 0;
  std::int32_t rt_from = 0;
  std::int32_t rt_to = 0;
  float amp_ratio = 0.0f;
  std::int32_t smooth_points = 0;
  Estimator estimator = Estimator::centred;
  std::int32_t rt_smooth_points = kDefaultRtSmoothMs;
  std::array<std::int32_t, kMaxRows> beat_ms_list{};
  MarkTables marks;
  MarkFigures figures;  // as the derivative gives them; NaN when it was not at hand
  DetectionNotes detection;  // the last centred c's windows and flags
  std::int32_t undo_steps = 0;  // steps undo at the menu can take back
  // Beats dropped at the menu as false ones (their marks gone) since the
  // tables were last replaced: the views leave their columns out.
  std::vector<std::int32_t> dropped_beats;
};

ResultsSnapshot snapshot_results(const RunRecord& record);

// The tables as the views show them: the beats dropped at the menu left out
// of the beat list and of the last c's windows (their marks are gone
// already, so no other beat's marks change), the marks' owners numbered as
// the windows that are left. The list of drops is kept.
ResultsSnapshot without_dropped_beats(const ResultsSnapshot& results);

}  // namespace telmor
