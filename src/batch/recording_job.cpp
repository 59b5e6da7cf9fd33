// Analysing one recording of a batch.
#include "recording_job.h"

#include <new>
#include <system_error>
#include <utility>

#include "analysis/analyse.h"
#include "analysis/recording_text.h"
#include "analysis/summary_csv.h"
#include "map_files.h"
#include "results/file_replace.h"
#include "results/results_format.h"

namespace telmor {

RecordingOutcome analyse_recording_file(const ListedRecording& recording, const BatchOptions& options,
                                        const std::filesystem::path& results_folder,
                                        BatchScratch& scratch, const ElectrodeLayout* layout) {
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

  Analysis analysis;
  try {
    Recording wave;
    reason.recording = read_recording_text(scratch.text.view(), options.leads, options.seconds, wave);
    if (!reason.recording && options.settings.beat_lead > wave.lead_count)
      reason.recording = {RecordingFault::no_beat_lead, 0, options.settings.beat_lead, wave.lead_count};
    if (reason.recording) {
      reason.fault = OutcomeFault::recording;
      return outcome;
    }
    analysis = analyse(std::move(wave), options.settings);
  } catch (const std::bad_alloc&) {
    reason.fault = OutcomeFault::recording;
    reason.recording = {RecordingFault::too_large};
    return outcome;
  }
  if (analysis.status == AnalysisStatus::no_data) {
    reason.fault = OutcomeFault::recording;
    reason.recording = {RecordingFault::no_amplitude};
    return outcome;
  }
  // A results file is only worth writing where the desktop can load it.
  const bool results_file = fits_results_file(analysis);
  std::string file_text;
  if (results_file) {
    reason.format = format_results(mark_tables(analysis), analysis.lead_count, file_text);
    if (reason.format.fault != FormatFault::none) {
      reason.fault = OutcomeFault::results_unformattable;
      return outcome;
    }
  }
  if (layout) {
    const MapFilesFailure failure = write_map_files(recording, analysis.marks, *layout, options.figures,
                                                    results_folder, outcome.left_temporaries);
    if (failure) {
      reason.fault = OutcomeFault::maps_unwritable;
      reason.map_file = failure.file;
      reason.error = failure.error;
      return outcome;
    }
  }
  if (results_file) {
    if (const std::error_code written =
            replace_file_contents(results, file_text, outcome.left_temporaries)) {
      reason.fault = OutcomeFault::results_unwritable;
      reason.results_file = results;
      reason.error = written;
      return outcome;
    }
  } else {
    outcome.beyond_results_file = {analysis.lead_count, analysis.rows};
  }
  append_summary_rows(outcome.summary, recording.summary_name, analysis.marks);
  outcome.fit_messages = analysis.fit_messages.total();
  outcome.analysed = true;
  return outcome;
}

}  // namespace telmor
