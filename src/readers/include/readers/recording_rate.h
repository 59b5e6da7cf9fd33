// A part of a recording brought to another sampling rate (the desktop's
// 1 kHz) by libsoxr's linear-phase, very-high-quality resampler: time-aligned,
// so a deflection keeps its time.
#pragma once

#include "readers/recording_part.h"
#include "signal/recording.h"
#include "signal/recording_problem.h"

namespace telmor {

// Whether this build can resample (the Windows build has no libsoxr).
bool resampling_available();

// The part of whole (take_part's rules) at rate_hz into out: the part with up
// to half a second of the recording on either side is resampled, so that the
// filter's start and end lie outside it, then cut to exactly the part's
// samples at the new rate (its length × rate_hz, rounded). At the recording's
// own rate, the part itself, bit for bit. A failure of the resampler is
// format_unreadable with its reason.
RecordingProblem part_at_rate(const Recording& whole, const RecordingPart& part, double rate_hz, Recording& out);

}  // namespace telmor
