// Where a batch's summary goes, and whether it may go there.
#pragma once

#include <filesystem>

#include "batch/batch_options.h"
#include "batch/recording_list.h"
#include "batch_reason.h"

namespace telmor {

// --summary, else summary.csv in --out, else beside the first PATH (in it
// when it is a folder).
std::filesystem::path summary_file(const BatchOptions& options);

// Why summary must not be written, before anything is: its name does not
// end in .csv (any case); it is one of the recordings, one of the results
// files of the run or, with positions, one of its map tables (by path, and as
// the same file through links); something
// other than a regular file stands there; or an existing file there is no
// summary of this program (its first line does not begin with the summary's
// header). none when it may be written.
SummaryFault summary_refusal(const std::filesystem::path& summary, const RecordingList& list,
                             const BatchOptions& options);

// The same rules for the notes table beside the summary (an existing file
// there must begin with the notes table's header).
SummaryFault notes_refusal(const std::filesystem::path& notes, const RecordingList& list,
                           const BatchOptions& options);

}  // namespace telmor
