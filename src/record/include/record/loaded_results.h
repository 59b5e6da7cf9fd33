// A results file read (parse_results) written into the run record.
#pragma once

#include "record/run_record.h"
#include "results/results_parse.h"

namespace telmor {

// Writes a successful read into the run: rows 1..100 of leads 1..lead_count
// cleared in both tables, then rows 1..count of those leads from loaded (each
// time's source: loaded), and both counts. Rows above 100 that the counts do
// not reach keep their values and sources.
void store_loaded(const LoadedTables& loaded, RunRecord& record);

}  // namespace telmor
