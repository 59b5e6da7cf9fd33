// A recording read from the whole text of its file: its shape decided, its
// rows read, and the reason as a value when it cannot be.
#pragma once

#include <optional>
#include <string_view>

#include "analysis/recording_problem.h"
#include "analysis/waveform_rows.h"
#include "record/run_record.h"

namespace telmor {

// The problem a failed read of rows stands for (none for ok), the text's
// cause first: lead_count is the count the rows were read with.
RecordingProblem read_problem(const WaveRows& rows, int lead_count);

// decide_shape, then read_waveform_rows with that shape into record (which
// the caller has zeroed, as a session starts). Returns the first problem met.
RecordingProblem read_recording_text(std::string_view text, std::optional<int> leads,
                                     std::optional<int> seconds, RunRecord& record);

}  // namespace telmor
