// The session both sides of the kill test share: a small recording named
// "small" whose results file is d/data/map/smallari.csv under a drives root,
// and the edits of an AT pass that the killed program makes.
#pragma once

#include <QPoint>
#include <filesystem>

#include "console/drawing_state.h"
#include "record/run_record.h"
#include "support/pass_record.h"

namespace telmor::test {

inline void set_up_small_session(RunRecord& record, DrawingState& drawing) {
  set_up_small_pass(record, drawing);
  record.file_name.assign("small");
  record.result_path.assign("d:\\data\\map\\smallari.csv");
  record.amp_ratio = 0.5f;
  record.smooth_points = 7;
  record.at_from = -50;
  record.at_to = 100;
  record.rt_from = 150;
  record.rt_to = 400;
}

inline std::filesystem::path small_results_file(const std::filesystem::path& drives_root) {
  return drives_root / "d" / "data" / "map" / "smallari.csv";
}

// In the first window of lead 1 (from 0 ms) column 300 stores 500 ms; in
// that of lead 2 column 120 stores 200 ms.
inline constexpr QPoint kLead1Click{300, 120};
inline constexpr QPoint kLead2Click{120, 120};
inline constexpr float kLead1Ms = 500.0f;
inline constexpr float kLead2Ms = 200.0f;

}  // namespace telmor::test
