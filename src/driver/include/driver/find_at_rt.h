// The automatic detection on the run record's tables, without its question
// and console lines: what c does once confirmed, and what a batch run does.
#pragma once

#include "record/run_record.h"

namespace telmor {

// Empties rows 1 to 200 of AT_MS and RT_MS for leads 1 to LEAD_COUNT, and
// their sources.
void clear_results(RunRecord& record);

// Every time in rows 1 to 200 of leads 1 to LEAD_COUNT was found by c.
void note_detected(RunRecord& record);

// The rows a detection fills: the position of the first zero entry of
// BEAT_MS, that is the number of beats plus one (at most 200).
int detection_rows(const RunRecord& record);

// Fills rows 1 to n of AT_MS and RT_MS for leads 1 to LEAD_COUNT, row k from
// beat n + 1 - k of BEAT_MS (so row 1, the first zero entry, stays empty and
// the beats follow in ascending time). Positions outside the derivative table
// are skipped.
void find_at_rt(RunRecord& record, int n);

// Of two results of a lead at most 50 ms apart in rows 1 to n, keeps the one
// at the lower derivative (AT) or the higher derivative (RT).
void drop_near_duplicates(RunRecord& record, int n);

// The centred search in rows 1 to n (laid out as find_at_rt lays them):
// each lead's windows follow its own cycle, with the record's RT margin and
// RT windows; no mark where the derivative has no extremum inside a window.
// The windows, flags and T waves go to record.detection.
void find_in_cycles(RunRecord& record, int n);

// Rows 1 to n as the record's derivative asks: legacy, find_at_rt and
// drop_near_duplicates (the specified search; no detection notes); centred,
// find_in_cycles.
void search_marks(RunRecord& record, int n);

// The whole detection: clear_results, both counts set to detection_rows,
// search_marks, then note_detected. Reads BEAT_MS as the redraw sorted it.
void detect_marks(RunRecord& record);

}  // namespace telmor
