// A part of a recording: some of its leads, in the order wanted, and a
// stretch of its time; what lies outside the recording is refused, never
// cut short quietly.
#pragma once

#include <optional>
#include <vector>

#include "signal/recording.h"
#include "signal/recording_problem.h"

namespace telmor {

struct RecordingPart {
  std::vector<int> leads;         // 1-based; empty: every lead
  double start_s = 0.0;           // from the recording's first sample
  std::optional<double> seconds;  // none: to the end
};

// The part, in place: labels and units follow their leads. A lead beyond the
// recording gives lead_outside (leads: the lead asked, count: the leads
// there are), a stretch beyond it time_outside (detail: the stretch asked in
// seconds, count: the recording's length in ms); the recording is then left
// as it was.
RecordingProblem take_part(const RecordingPart& part, Recording& recording);

// The first leads and the first seconds, each only when given.
RecordingProblem take_first(std::optional<int> leads, std::optional<int> seconds, Recording& recording);

}  // namespace telmor
