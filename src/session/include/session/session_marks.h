// The run record's marks as the views of a session see them: with their fine
// times and qualities, laid out by beat, and exported as the results view
// exports them.
#pragma once

#include <string>
#include <string_view>

#include "record/results_snapshot.h"
#include "record/run_record.h"
#include "timing/beat_table.h"

namespace telmor {

// The figures of every entry in use of the record's AT and RT tables, leads
// 1..lead_count, each lead's derivative over samples 1..sample_count.
MarkFigures mark_figures(const RunRecord& record);

// The results part of the record, as snapshot_results copies it, with the
// figures of its marks.
ResultsSnapshot snapshot_with_figures(const RunRecord& record);

// The marks of the tables by beat: the beats are the non-zero entries of
// beat_ms_list, ascending, and rows 1..at_beat_count and 1..rt_beat_count of
// leads 1..lead_count are assigned by time (assign_marks), each earliest mark
// with its figures from the snapshot; from a record they are worked out first.
BeatTable assign_marks(const ResultsSnapshot& results);
BeatTable assign_marks(const RunRecord& record);

// "detected", "hand", "loaded", or "" for none.
std::string_view source_name(MarkSource source);

// The results table of one recording as the results view exports it: the
// summary's rows with two more columns before the figures, at_source and
// rt_source: where the mark shown came from (detected, hand, loaded, or empty).
std::string results_table_csv(const ResultsSnapshot& results);

}  // namespace telmor
