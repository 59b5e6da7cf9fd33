// The run record's settings as the analysis core takes them: the record
// keeps the specified fields (points and ms at 1 kHz), the core's steps read
// them through this one translation.
#pragma once

#include "record/run_record.h"
#include "timing/analysis_settings.h"

namespace telmor {

// The record's rate: the interactive program's recordings are 1 kHz.
inline constexpr double kRecordRateHz = 1000.0;

// The dialogue's settings, d's ranges and the frame's choices of the record;
// the beats are found on lead 1.
AnalysisSettings analysis_settings_of(const RunRecord& record);

}  // namespace telmor
