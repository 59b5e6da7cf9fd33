// Every line telmor-batch writes about a run, in the user's words: the
// reasons are values until here.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include "analysis/recording_problem.h"
#include "batch/recording_list.h"
#include "batch_reason.h"

namespace telmor {

// One line each, without the path they are about.
std::string path_message(const PathProblem& problem);
std::string recording_message(const RecordingReason& reason);
std::string recording_problem_message(const RecordingProblem& problem);
std::string fit_messages_note(int count);
std::string out_folder_message(std::error_code error);
std::string summary_unwritable_message(std::error_code error);

// The usage error for a summary that cannot be written where it would go.
std::string summary_refusal_message(SummaryFault fault, const std::filesystem::path& summary);

// Where the summary went, for the last line of a run.
enum class SummaryPlace { written, not_written, failed };

struct RunCounts {
  int analysed = 0;
  int skipped = 0;  // not tried: results kept, entries that are no recording
  int failed = 0;   // tried and not analysed
  double seconds = 0.0;
  SummaryPlace summary = SummaryPlace::not_written;
  std::filesystem::path summary_file;
};

// The last line of a run: what was analysed, skipped and failed, the time
// taken and where the summary went.
std::string run_report(const RunCounts& counts);

}  // namespace telmor
