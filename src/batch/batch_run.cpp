// Running a batch: recordings spread over threads, one message per problem,
// the summary table in the order of the recordings.
#include "batch/batch_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "tables/summary_csv.h"
#include "batch/progress_line.h"
#include "batch/recording_list.h"
#include "batch_words.h"
#include "layout_file.h"
#include "base/utf8_path.h"
#include "recording_job.h"
#include "files/file_replace.h"
#include "words/words.h"
#include "summary_target.h"
#include "telmor_version.h"

namespace telmor {
namespace {

constexpr std::string_view kName = "telmor-batch: ";

// The lines of a run on standard error, one at a time from any thread, each
// clearing the progress line first.
class Reporter {
 public:
  Reporter(std::ostream& err, bool show_progress, Language language)
      : err_(err), progress_(err, show_progress, language) {}

  void report(const std::filesystem::path& path, const std::string& line) {
    const std::lock_guard lock(mutex_);
    progress_.clear();
    err_ << kName << utf8_from_path(path) << ": " << line << '\n';
  }
  void progress(int done, int total) {
    const std::lock_guard lock(mutex_);
    progress_.update(done, total);
  }
  void last_line(const std::string& line) {
    const std::lock_guard lock(mutex_);
    progress_.clear();
    err_ << kName << line << '\n';
  }

 private:
  std::ostream& err_;
  ProgressLine progress_;
  std::mutex mutex_;
};

// A line about a recording, on standard error and in the notes table.
using Tell = std::function<void(NoteKind, const std::string&)>;

// What an analysed recording's analysis says besides its marks: ranges that
// miss the waves (always), the ranges suggested (not with --quiet, unless
// none could be), the marks the maps left out.
void report_analysis_notes(const BatchWords& w, const Tell& tell, const RecordingOutcome& o, bool quiet) {
  for (const MarkKind kind : {MarkKind::at, MarkKind::rt}) {
    if (const std::string note = w.range_warnings_note(o.range_warnings, kind); !note.empty())
      tell(NoteKind::note, note);
  }
  if (o.ranges_asked && (!quiet || !o.ranges_suggested))
    tell(NoteKind::note, w.suggested_ranges_note(o.ranges_suggested, o.at_from, o.at_to, o.rt_from, o.rt_to));
  if (o.maps_left_dead + o.maps_left_flagged > 0)
    tell(NoteKind::note, w.maps_left_out_note(o.maps_left_dead, o.maps_left_flagged));
}

// The electrodes' positions, read once before anything is written: a bad
// layout file is a usage error (written to err, nullopt), not a fault of every
// recording. Without positions, an empty optional inside.
std::optional<std::optional<ElectrodeLayout>> electrode_positions(const BatchOptions& options,
                                                                  const BatchWords& w, std::ostream& err) {
  if (!options.layout_file) return std::optional<ElectrodeLayout>(options.grid);
  LayoutFileLoad load = load_layout_file(*options.layout_file);
  if (!load.ok()) {
    err << kName << w.layout_file_message(*options.layout_file, load.read, load.reading.problem) << w.see_help()
        << '\n';
    return std::nullopt;
  }
  return std::optional<ElectrodeLayout>(std::move(load.reading.layout));
}

// Every recording analysed, spread over the workers, each with its own
// scratch and workspace; the outcomes in the order of the list.
std::vector<RecordingOutcome> analyse_all(const RecordingList& list, const BatchOptions& options,
                                          const ElectrodeLayout* layout, Reporter& reporter) {
  const int total = static_cast<int>(list.recordings.size());
  std::vector<RecordingOutcome> outcomes(list.recordings.size());
  std::atomic<int> next{0};
  std::atomic<int> done{0};
  const BatchWords& w = batch_words(options.language);
  const auto work = [&] {
    BatchScratch scratch;
    for (int i = next++; i < total; i = next++) {
      const ListedRecording& recording = list.recordings[static_cast<std::size_t>(i)];
      const std::filesystem::path folder = options.out ? *options.out : recording.file.parent_path();
      RecordingOutcome& outcome = outcomes[static_cast<std::size_t>(i)];
      outcome = analyse_recording_file(recording, options, folder, scratch, layout);
      const Tell tell = [&](NoteKind kind, const std::string& line) {
        reporter.report(recording.file, line);
        outcome.notes.push_back({kind, line});
      };
      if (!outcome.analysed)
        tell(outcome.reason.fault == OutcomeFault::results_exist ? NoteKind::skipped : NoteKind::failed,
             w.recording_message(outcome.reason));
      if (outcome.fit_messages > 0) tell(NoteKind::note, w.fit_messages_note(outcome.fit_messages));
      if (outcome.analysed && outcome.velocities_without_value > 0)
        tell(NoteKind::note, w.velocities_without_value_note(outcome.velocities_without_value));
      if (outcome.analysed) report_analysis_notes(w, tell, outcome, options.quiet);
      if (const auto& beyond = outcome.beyond_results_file)
        tell(NoteKind::note, w.beyond_results_file_note(beyond->leads, beyond->rows));
      for (const LeftTemporary& left : outcome.left_temporaries)
        reporter.report(left.path, w.words().left_temporary(left.error));
      reporter.progress(++done, total);
    }
  };
  const int wanted = options.jobs > 0 ? options.jobs : static_cast<int>(std::thread::hardware_concurrency());
  const int workers = std::clamp(wanted, 1, std::max(total, 1));
  std::vector<std::jthread> helpers;
  try {
    for (int k = 1; k < workers; ++k) helpers.emplace_back(work);
  } catch (const std::system_error&) {
    // No more threads to be had: the recordings left are done on fewer.
  }
  work();
  return outcomes;
}

// A table beside the recordings, written whole; false (reported) when it
// cannot be.
bool write_table(const BatchWords& w, const std::filesystem::path& path, const std::string& text,
                 Reporter& reporter) {
  std::vector<LeftTemporary> left_temporaries;
  const std::error_code error = replace_file_contents(path, text, left_temporaries);
  if (error) reporter.report(path, w.summary_unwritable_message(error));
  for (const LeftTemporary& left : left_temporaries)
    reporter.report(left.path, w.words().left_temporary(left.error));
  return !error && left_temporaries.empty();
}

// The name the notes table gives an entry of the list that gave no recording.
std::string entry_name(const std::filesystem::path& path) { return utf8_from_path(path.filename().stem()); }

// The summary of the analysed recordings, in the order of the list, written
// on every run (with no analysed recording it holds its header alone: a
// summary left from another run would describe other data), and the notes
// table beside it with a row for every entry not analysed and every note;
// counts what became of each recording. Returns whether anything was
// reported.
bool write_summary_text(const BatchWords& w, const RecordingList& list, const std::vector<RecordingOutcome>& outcomes,
                        const std::filesystem::path& path, Reporter& reporter, RunCounts& counts) {
  std::string summary(kSummaryHeader);
  summary += '\n';
  std::string notes(kNotesHeader);
  notes += '\n';
  bool noted = false;
  for (const PathProblem& problem : list.problems) {
    append_note_row(notes, entry_name(problem.path), NoteKind::skipped, w.path_message(problem));
    noted = true;
  }
  for (const PathProblem& note : list.notes) {
    append_note_row(notes, entry_name(note.path), NoteKind::note, w.path_message(note));
    noted = true;
  }
  bool reported = false;
  for (std::size_t k = 0; k < outcomes.size(); ++k) {
    const RecordingOutcome& outcome = outcomes[k];
    if (outcome.analysed) {
      ++counts.analysed;
      summary += outcome.summary;
    } else if (outcome.reason.fault == OutcomeFault::results_exist) {
      ++counts.skipped;
    } else {
      ++counts.failed;
    }
    for (const BatchNote& note : outcome.notes) {
      append_note_row(notes, list.recordings[k].summary_name, note.kind, note.reason);
      noted = true;
    }
    reported = reported || !outcome.left_temporaries.empty();
  }
  reported = reported || counts.skipped > 0 || counts.failed > 0;
  counts.summary_file = path;
  counts.summary = write_table(w, path, summary, reporter) ? SummaryPlace::written : SummaryPlace::failed;
  reported = reported || counts.summary == SummaryPlace::failed;
  // A notes table of an earlier run goes with its summary: this run's
  // replaces it, or, with nothing to note, an empty one does.
  const std::filesystem::path notes_path = notes_file_for(path);
  std::error_code error;
  if (noted || std::filesystem::exists(notes_path, error)) {
    counts.notes_file = notes_path;
    counts.notes = write_table(w, notes_path, notes, reporter) ? SummaryPlace::written : SummaryPlace::failed;
    reported = reported || counts.notes == SummaryPlace::failed;
  }
  return reported;
}

// The same; memory that runs out for the summary's text fails the summary,
// not the run.
bool write_summary(const BatchWords& w, const RecordingList& list, const std::vector<RecordingOutcome>& outcomes,
                   const std::filesystem::path& path, Reporter& reporter, RunCounts& counts) {
  try {
    return write_summary_text(w, list, outcomes, path, reporter, counts);
  } catch (const std::bad_alloc&) {
    reporter.report(path, w.summary_unwritable_message(std::make_error_code(std::errc::not_enough_memory)));
    counts.summary = SummaryPlace::failed;
    return true;
  }
}

}  // namespace

int run_batch(const BatchOptions& options, std::ostream& err, bool show_progress) {
  const auto start = std::chrono::steady_clock::now();
  const BatchWords& w = batch_words(options.language);
  const std::optional<std::optional<ElectrodeLayout>> layout = electrode_positions(options, w, err);
  if (!layout) return kBatchUsageError;

  const RecordingList list = list_recordings(options.paths);
  const std::filesystem::path summary_path = summary_file(options);
  if (const SummaryFault refused = summary_refusal(summary_path, list, options);
      refused != SummaryFault::none) {
    err << kName << w.summary_refusal_message(refused, summary_path) << w.see_help() << '\n';
    return kBatchUsageError;
  }
  if (const SummaryFault refused = notes_refusal(notes_file_for(summary_path), list, options);
      refused != SummaryFault::none) {
    err << kName << w.summary_refusal_message(refused, notes_file_for(summary_path)) << w.see_help() << '\n';
    return kBatchUsageError;
  }
  Reporter reporter(err, show_progress, options.language);
  for (const PathProblem& problem : list.problems) reporter.report(problem.path, w.path_message(problem));
  for (const PathProblem& note : list.notes) reporter.report(note.path, w.path_message(note));
  if (options.out) {
    std::error_code error;
    std::filesystem::create_directories(*options.out, error);
    if (error) {
      reporter.report(*options.out, w.out_folder_message(error));
      return kBatchSomeReported;
    }
  }

  const std::vector<RecordingOutcome> outcomes =
      analyse_all(list, options, *layout ? &**layout : nullptr, reporter);
  RunCounts counts;
  counts.skipped = static_cast<int>(list.problems.size());
  const bool reported = write_summary(w, list, outcomes, summary_path, reporter, counts);
  if (!options.quiet) {
    counts.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    reporter.last_line(w.run_report(counts));
  }
  return reported ? kBatchSomeReported : kBatchAllAnalysed;
}

int batch_main(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err,
               bool err_is_terminal, Language fallback) {
  BatchOptions options;
  try {
    options = parse_batch_arguments(arguments, fallback);
  } catch (const BatchUsageError& error) {
    err << kName << error.what() << batch_words(error.language()).see_help() << '\n';
    return kBatchUsageError;
  }
  if (options.help) {
    const BatchWords& w = batch_words(options.language);
    out << w.usage_heading() << kBatchSynopsis << '\n' << w.help();
    return kBatchAllAnalysed;
  }
  if (options.version) {
    out << "telmor-batch " << kTelmorVersion << '\n';
    return kBatchAllAnalysed;
  }
  return run_batch(options, err, err_is_terminal && !options.quiet);
}

}  // namespace telmor
