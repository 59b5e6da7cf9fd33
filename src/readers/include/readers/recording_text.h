// A recording read from the whole text of its file: its shape decided, its
// rows read, and the reason as a value when it cannot be.
#pragma once

#include <optional>
#include <string_view>

#include "signal/recording.h"
#include "signal/recording_problem.h"
#include "readers/waveform_rows.h"

namespace telmor {

// The problem a failed read of rows stands for (none for ok), the text's
// cause first: lead_count is the count the rows were read with.
RecordingProblem read_problem(const WaveRows& rows, int lead_count);

// decide_shape, then read_waveform_rows with that shape into recording, made
// afresh (zeros) in that shape. Returns the first problem met.
RecordingProblem read_recording_text(std::string_view text, std::optional<int> leads,
                                     std::optional<int> seconds, Recording& recording,
                                     double rate_hz = kTextRateHz);

}  // namespace telmor
