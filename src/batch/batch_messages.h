// Every line telmor-batch writes about a run, in the user's words: the
// reasons are values until here.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "signal/electrode_layout.h"
#include "signal/recording_problem.h"
#include "batch/recording_list.h"
#include "batch_reason.h"
#include "timing/analysis.h"

namespace telmor {

// One line each, without the path they are about.
std::string path_message(const PathProblem& problem);
std::string recording_message(const RecordingReason& reason);
std::string recording_problem_message(const RecordingProblem& problem);
std::string fit_messages_note(int count);
std::string velocities_without_value_note(int count);
// Leads whose marks of a kind crowd their windows' ends or are weak, by kind.
std::string range_warnings_note(const std::vector<RangeWarning>& warnings, bool at);
// The ranges suggested from the recording, or that none could be.
std::string suggested_ranges_note(bool suggested, std::int32_t at_from, std::int32_t at_to, std::int32_t rt_from,
                                  std::int32_t rt_to);
// The marks the maps' tables left out: of dead leads, and flagged ones.
std::string maps_left_out_note(int dead_lead, int flagged);

// An analysed recording whose tables a results file cannot hold.
std::string beyond_results_file_note(int leads, int rows);
std::string out_folder_message(std::error_code error);
std::string summary_unwritable_message(std::error_code error);

// The usage error for a summary that cannot be written where it would go.
std::string summary_refusal_message(SummaryFault fault, const std::filesystem::path& summary);

// The usage error for --grid RxC --pitch MM that make no grid.
std::string grid_refusal_message(LayoutFault fault, std::string_view grid, std::string_view pitch);
// The usage error for a layout file that cannot be read (read) or holds a
// fault (problem, naming its line).
std::string layout_file_message(const std::filesystem::path& file, const FileRead& read,
                                const LayoutProblem& problem);

// Where the summary went, for the last line of a run.
enum class SummaryPlace { written, not_written, failed };

struct RunCounts {
  int analysed = 0;
  int skipped = 0;  // not tried: results kept, entries that are no recording
  int failed = 0;   // tried and not analysed
  double seconds = 0.0;
  SummaryPlace summary = SummaryPlace::not_written;
  std::filesystem::path summary_file;
  SummaryPlace notes = SummaryPlace::not_written;  // the notes table, written when there are notes
  std::filesystem::path notes_file;
};

// The last line of a run: what was analysed, skipped and failed, the time
// taken and where the summary went.
std::string run_report(const RunCounts& counts);

}  // namespace telmor
