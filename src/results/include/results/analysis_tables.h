// An analysis as the results file and the interactive program hold it: the
// AT and RT tables of c, row 1 empty and rows 2..beats + 1 the beats in
// ascending time, 0.0 for an empty entry.
#pragma once

#include "results/mark_tables.h"
#include "timing/analysis.h"

namespace telmor {

// What the interactive program can load: a results file holds at most 20
// leads and 200 rows (199 beats and the empty first row).
bool fits_results_file(const Analysis& analysis);

// The tables, every entry's source detected; requires fits_results_file.
MarkTables results_tables(const Analysis& analysis);

}  // namespace telmor
