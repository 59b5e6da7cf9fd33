// A recording opened from a file of any format, made ready for the program:
// read (unless the asker has), the part chosen brought to 1 kHz, and the
// record filled from it as the dialogue and the waveform reading fill it
// from a text file.
#pragma once

#include <filesystem>

#include "console/window_layer.h"
#include "record/open_request.h"
#include "record/run_record.h"
#include "signal/recording_problem.h"

namespace telmor {

// The part of whole that request chooses, at 1 kHz: at most 20 leads and 1 to
// 30 whole seconds (more leads is lead_outside with leads 21, another length
// time_outside). Without a choice of leads, the first 20; without seconds,
// as many whole ones as the recording holds from the start, up to 30.
RecordingProblem opened_part(const Recording& whole, const OpenRequest& request, Recording& part);

// Reads the request's file (unless it comes with the recording), takes its
// part and fills the record as the dialogue and the reading leave it: its
// name, the part it is (record.part), its results file beside the file
// (NAMEari.csv for the default part: the first channels, up to 20, from the
// start for as many whole seconds as fit, up to 30; NAMEari_ch2-13_2.5-12.5s.csv
// for another, see part_name_suffix), its leads, seconds,
// samples and labels, the ranges at their defaults; the smoothing and ratio
// as the record holds them. Writes the reading's line on the console and
// what was opened as a note; false, with the reason on the console, when
// the file cannot be read or the part cannot be taken.
bool take_opened_recording(WindowLayer& layer, RunRecord& record, const OpenRequest& request);

}  // namespace telmor
