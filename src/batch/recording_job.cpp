// Analysing one recording of a batch.
#include "recording_job.h"

#include <system_error>

#include "analysis/beat_table.h"
#include "analysis/recording_text.h"
#include "analysis/summary_csv.h"
#include "results/file_replace.h"
#include "results/results_format.h"

namespace telmor {
namespace {

// Counts the lines the fit writes: in a batch nobody reads them one by one.
class CountingConsole : public ConsoleOutput {
 public:
  void console_write(std::string_view line) override { lines += line.empty() ? 0 : 1; }
  int lines = 0;
};

}  // namespace

RecordingOutcome analyse_recording_file(const Recording& recording, const BatchOptions& options,
                                        const std::filesystem::path& results_folder,
                                        BatchScratch& scratch) {
  RecordingOutcome outcome;
  RecordingReason& reason = outcome.reason;
  const std::filesystem::path results = results_file_for(recording, results_folder);
  std::error_code error;
  if (!options.overwrite && std::filesystem::exists(results, error)) {
    reason = {OutcomeFault::results_exist};
    reason.results_file = results;
    return outcome;
  }
  reason.read = read_recording_file(recording.file, scratch.text);
  if (reason.read.fault != FileReadFault::none) {
    reason.fault = OutcomeFault::unreadable;
    return outcome;
  }

  // Zeroed for every recording, as every session starts; made in the same
  // memory each time, which stays mapped.
  std::destroy_at(scratch.record.get());
  RunRecord* const record = std::construct_at(scratch.record.get());
  apply_settings(options.settings, *record);
  reason.recording = read_recording_text(scratch.text.view(), options.leads, options.seconds, *record);
  if (reason.recording) {
    reason.fault = OutcomeFault::recording;
    return outcome;
  }

  CountingConsole console;
  if (analyse_recording(*record, console, 1) == AnalysisStatus::no_data) {
    reason.fault = OutcomeFault::recording;
    reason.recording = {RecordingFault::no_amplitude};
    return outcome;
  }
  std::string file_text;
  reason.format = format_results(*record, file_text);
  if (reason.format.fault != FormatFault::none) {
    reason.fault = OutcomeFault::results_unformattable;
    return outcome;
  }
  if (const std::error_code written =
          replace_file_contents(results, file_text, outcome.left_temporaries)) {
    reason.fault = OutcomeFault::results_unwritable;
    reason.results_file = results;
    reason.error = written;
    return outcome;
  }
  append_summary_rows(outcome.summary, recording.summary_name, assign_marks(*record));
  outcome.fit_messages = console.lines;
  outcome.analysed = true;
  return outcome;
}

}  // namespace telmor
