// The results file: the AT and RT tables of a run as text, and the save and
// load dialogues that write and read it in the chart window.
#pragma once

#include <filesystem>

#include "console/window_layer.h"
#include "record/run_record.h"
#include "files/file_access.h"

namespace telmor {

// The save dialogue (menu reply s, and the end of every correction pass).
// file is the host path of result_path. Asks in the chart window and reads
// the reply into reply; only y or Y goes on. Writes lead_count leads of rows
// 1..count of both tables through a temporary beside file that replaces it
// only when complete and on the disk. A failure is reported in the chart
// window and leaves the old file and the tables as they were. files is the
// file system the file is written on.
void save_results(WindowLayer& layer, RunRecord& record, const std::filesystem::path& file,
                  const FileAccess& files = system_files());
// The save without its question: writes the file and the line that says it
// was saved, or the two lines that say why not. A save clears results_unsaved.
// A file someone else has written, made or removed since the run last saw it
// (record.results_seen) is replaced only when the layer's question says so;
// kept, the chart window says so in three lines and the tables stay unsaved.
// Returns true when the file was written.
bool write_results(WindowLayer& layer, RunRecord& record, const std::filesystem::path& file,
                   const FileAccess& files = system_files());
// The load dialogue (menu reply o). Asks as the save does; on y or Y reads
// the whole file first and only then clears rows 1..100 of leads
// 1..lead_count in both tables and stores the rows and counts read. A missing
// or bad file is reported in the chart window and changes nothing (and no
// file is created). A load clears results_unsaved: the tables are the file's.
void load_results(WindowLayer& layer, RunRecord& record, const std::filesystem::path& file,
                  const FileAccess& files = system_files());

}  // namespace telmor
