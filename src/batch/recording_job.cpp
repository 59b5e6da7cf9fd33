// Analysing one recording of a batch.
#include "recording_job.h"

#include <new>
#include <stdexcept>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "base/utf8_path.h"
#include "readers/recording_formats.h"
#include "readers/recording_text.h"
#include "tables/summary_csv.h"
#include "map_files.h"
#include "results/analysis_tables.h"
#include "files/file_replace.h"
#include "results/results_format.h"

namespace telmor {

namespace {

ReadOptions read_options(const BatchOptions& options) {
  return {options.leads, options.seconds, options.rate_hz, options.dataset, options.orientation};
}

// The recording read and analysed; nullopt with the reason filled when it
// cannot be. Its channel labels go to labels.
std::optional<Analysis> analysed(const std::filesystem::path& file, std::string_view text, const BatchOptions& options,
                                 BatchScratch& scratch, RecordingReason& reason, std::vector<std::string>& labels) {
  Recording wave;
  reason.recording = read_any_recording(file, text, read_options(options), wave);
  if (reason.recording) {
    reason.fault = OutcomeFault::recording;
    return std::nullopt;
  }
  labels = wave.labels;
  reason.step = BatchStep::analysis;
  Analysis analysis = analyse(std::move(wave), options.settings, {}, &scratch.workspace);
  if (analysis.problem) {
    reason.fault = OutcomeFault::analysis;
    reason.analysis = analysis.problem;
    return std::nullopt;
  }
  // A recording without a beat has nothing measured: an empty results file
  // would read as an analysis that found nothing to mark.
  if (analysis.beat_count() == 0) {
    reason.fault = OutcomeFault::no_beats;
    reason.beat_lead = options.settings.beat_lead;
    return std::nullopt;
  }
  return analysis;
}

// The maps' files (with a layout), then the results file where the desktop
// can load the tables, so that a results file stands only beside complete
// maps. False with the reason filled at the first that cannot be written.
bool write_files(const ListedRecording& recording, const BatchOptions& options, const Analysis& analysis,
                 const BeatTable& marks, const ElectrodeLayout* layout, const std::vector<std::string>& labels,
                 const std::filesystem::path& results_folder, const std::filesystem::path& results,
                 RecordingOutcome& outcome) {
  RecordingReason& reason = outcome.reason;
  const bool results_file = fits_results_file(analysis);
  std::string file_text;
  if (results_file) {
    reason.format = format_results(results_tables(analysis), analysis.lead_count, file_text);
    if (reason.format.fault != FormatFault::none) {
      reason.fault = OutcomeFault::results_unformattable;
      return false;
    }
  }
  if (layout) {
    reason.step = BatchStep::maps;
    const MapFilesFailure failure = write_map_files(recording, marks, *layout, options.figures, labels,
                                                    results_folder, outcome.left_temporaries, reason.step);
    outcome.velocities_without_value = failure.velocities_without_value;
    outcome.maps_left_dead = failure.left_dead;
    outcome.maps_left_flagged = failure.left_flagged;
    if (failure) {
      reason.fault = OutcomeFault::maps_unwritable;
      reason.map_file = failure.file;
      reason.error = failure.error;
      return false;
    }
  }
  if (!results_file) {
    outcome.beyond_results_file = {analysis.lead_count, analysis.beat_count() + 1};
    return true;
  }
  reason.step = BatchStep::results_file;
  if (const std::error_code written = replace_file_contents(results, file_text, outcome.left_temporaries)) {
    reason.fault = OutcomeFault::results_unwritable;
    reason.results_file = results;
    reason.error = written;
    return false;
  }
  return true;
}

// The steps of one recording; a step that runs out of memory leaves the
// reason filled with it.
RecordingOutcome recording_steps(const ListedRecording& recording, const BatchOptions& options,
                                 const std::filesystem::path& results_folder, BatchScratch& scratch,
                                 const ElectrodeLayout* layout, RecordingOutcome& outcome) {
  RecordingReason& reason = outcome.reason;
  const std::filesystem::path results = results_file_for(recording, results_folder);
  std::error_code error;
  if (!options.overwrite && std::filesystem::exists(results, error)) {
    reason = {OutcomeFault::results_exist};
    reason.results_file = results;
    return outcome;
  }
  // A library reads its file itself: only the check that it is a regular
  // file (no FIFO is ever opened), none of its bytes in memory twice.
  std::string_view text;
  if (read_from_path(recording.file)) {
    const std::filesystem::file_status status = std::filesystem::status(recording.file, error);
    if (error || status.type() != std::filesystem::file_type::regular) {
      reason.read = error ? FileRead{FileReadFault::cannot_open, error} : FileRead{FileReadFault::not_a_regular_file, {}, status.type()};
      reason.fault = OutcomeFault::unreadable;
      return outcome;
    }
  } else {
    reason.read = read_recording_file(recording.file, scratch.text);
    if (reason.read.fault != FileReadFault::none) {
      reason.fault = OutcomeFault::unreadable;
      return outcome;
    }
    text = scratch.text.view();
  }
  std::vector<std::string> labels;
  const std::optional<Analysis> analysis = analysed(recording.file, text, options, scratch, reason, labels);
  if (!analysis) return outcome;
  const BeatTable marks = marks_by_beat(*analysis);
  outcome.range_warnings = analysis->range_warnings;
  outcome.ranges_asked = options.settings.auto_ranges;
  outcome.ranges_suggested = analysis->ranges_suggested;
  outcome.at_from = analysis->at_from;
  outcome.at_to = analysis->at_to;
  outcome.rt_from = analysis->rt_from;
  outcome.rt_to = analysis->rt_to;

  if (!write_files(recording, options, *analysis, marks, layout, labels, results_folder, results, outcome))
    return outcome;
  reason.step = BatchStep::summary;
  SummaryParts parts{true, summary_method(options.settings), {}};
  parts.labels = std::move(labels);
  append_summary_rows(outcome.summary, recording.summary_name, marks, parts);
  outcome.fit_messages = analysis->fit_messages.total();
  outcome.analysed = true;
  return outcome;
}

// A recording given up at the step it was in, what it held given back.
RecordingOutcome failed_at(RecordingOutcome& outcome, OutcomeFault fault, std::string detail) {
  const BatchStep step = outcome.reason.step;
  outcome = RecordingOutcome{};
  outcome.reason.fault = fault;
  outcome.reason.step = step;
  outcome.reason.detail = std::move(detail);
  return outcome;
}

}  // namespace

RecordingOutcome analyse_recording_file(const ListedRecording& recording, const BatchOptions& options,
                                        const std::filesystem::path& results_folder,
                                        BatchScratch& scratch, const ElectrodeLayout* layout) {
  RecordingOutcome outcome;
  try {
    return recording_steps(recording, options, results_folder, scratch, layout, outcome);
  } catch (const std::bad_alloc&) {
    // The step it ran out in is named; what it held is given back, and the
    // next recording has the memory again.
    return failed_at(outcome, OutcomeFault::out_of_memory, {});
  } catch (const std::length_error&) {
    return failed_at(outcome, OutcomeFault::out_of_memory, {});
  } catch (const std::exception& error) {
    // Whatever else a step throws costs this recording, never the run.
    return failed_at(outcome, OutcomeFault::failed, error.what());
  }
}

}  // namespace telmor
