// Running a batch: recordings spread over threads, one message per problem,
// the summary table in the order of the recordings.
#include "batch/batch_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "analysis/summary_csv.h"
#include "batch/progress_line.h"
#include "batch/recording_list.h"
#include "batch_messages.h"
#include "layout_file.h"
#include "record/utf8_path.h"
#include "recording_job.h"
#include "results/file_replace.h"
#include "results/results_messages.h"
#include "summary_target.h"
#include "telmor_version.h"

namespace telmor {
namespace {

constexpr std::string_view kName = "telmor-batch: ";
constexpr std::string_view kSeeHelp = "（使い方: telmor-batch --help）";

}  // namespace

int run_batch(const BatchOptions& options, std::ostream& err, bool show_progress) {
  const auto start = std::chrono::steady_clock::now();
  std::mutex err_mutex;
  ProgressLine progress(err, show_progress);
  const auto report = [&](const std::filesystem::path& path, const std::string& line) {
    const std::lock_guard lock(err_mutex);
    progress.clear();
    err << kName << utf8_from_path(path) << ": " << line << '\n';
  };

  // The electrodes' positions are read once, before anything is written: a
  // bad layout file is a usage error, not a fault of every recording.
  std::optional<ElectrodeLayout> layout = options.grid;
  if (options.layout_file) {
    LayoutFileLoad load = load_layout_file(*options.layout_file);
    if (!load.ok()) {
      err << kName << layout_file_message(*options.layout_file, load.read, load.reading.problem) << kSeeHelp
          << '\n';
      return kBatchUsageError;
    }
    layout = std::move(load.reading.layout);
  }

  const RecordingList list = list_recordings(options.paths);
  const std::filesystem::path summary_path = summary_file(options);
  if (const SummaryFault refused = summary_refusal(summary_path, list, options);
      refused != SummaryFault::none) {
    err << kName << summary_refusal_message(refused, summary_path) << kSeeHelp << '\n';
    return kBatchUsageError;
  }
  for (const PathProblem& problem : list.problems) report(problem.path, path_message(problem));
  for (const PathProblem& note : list.notes) report(note.path, path_message(note));
  RunCounts counts;
  counts.skipped = static_cast<int>(list.problems.size());

  if (options.out) {
    std::error_code error;
    std::filesystem::create_directories(*options.out, error);
    if (error) {
      report(*options.out, out_folder_message(error));
      return kBatchSomeReported;
    }
  }

  const int total = static_cast<int>(list.recordings.size());
  std::vector<RecordingOutcome> outcomes(list.recordings.size());
  std::atomic<int> next{0};
  int done = 0;
  const auto work = [&] {
    BatchScratch scratch;
    for (int i = next++; i < total; i = next++) {
      const ListedRecording& recording = list.recordings[static_cast<std::size_t>(i)];
      const std::filesystem::path folder =
          options.out ? *options.out : recording.file.parent_path();
      RecordingOutcome& outcome = outcomes[static_cast<std::size_t>(i)];
      outcome = analyse_recording_file(recording, options, folder, scratch, layout ? &*layout : nullptr);
      if (!outcome.analysed) report(recording.file, recording_message(outcome.reason));
      if (outcome.fit_messages > 0) report(recording.file, fit_messages_note(outcome.fit_messages));
      if (const auto& beyond = outcome.beyond_results_file)
        report(recording.file, beyond_results_file_note(beyond->leads, beyond->rows));
      for (const LeftTemporary& left : outcome.left_temporaries)
        report(left.path, left_temporary_reason(left.error));
      const std::lock_guard lock(err_mutex);
      progress.update(++done, total);
    }
  };
  const int wanted = options.jobs > 0 ? options.jobs : static_cast<int>(std::thread::hardware_concurrency());
  const int workers = std::clamp(wanted, 1, std::max(total, 1));
  {
    std::vector<std::jthread> helpers;
    try {
      for (int w = 1; w < workers; ++w) helpers.emplace_back(work);
    } catch (const std::system_error&) {
      // No more threads to be had: the recordings left are done on fewer.
    }
    work();
  }

  std::string summary(kSummaryHeader);
  summary += '\n';
  for (const RecordingOutcome& outcome : outcomes) {
    if (outcome.analysed) {
      ++counts.analysed;
      summary += outcome.summary;
    } else if (outcome.reason.fault == OutcomeFault::results_exist) {
      ++counts.skipped;
    } else {
      ++counts.failed;
    }
  }
  bool reported = counts.skipped > 0 || counts.failed > 0;
  for (const RecordingOutcome& outcome : outcomes)
    reported = reported || !outcome.left_temporaries.empty();
  if (counts.analysed > 0) {
    counts.summary_file = summary_path;
    counts.summary = SummaryPlace::written;
    std::vector<LeftTemporary> left_temporaries;
    if (const std::error_code error =
            replace_file_contents(summary_path, summary, left_temporaries)) {
      report(summary_path, summary_unwritable_message(error));
      counts.summary = SummaryPlace::failed;
      reported = true;
    }
    for (const LeftTemporary& left : left_temporaries)
      report(left.path, left_temporary_reason(left.error));
    reported = reported || !left_temporaries.empty();
  }
  if (!options.quiet) {
    counts.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::lock_guard lock(err_mutex);
    progress.clear();
    err << kName << run_report(counts) << '\n';
  }
  return reported ? kBatchSomeReported : kBatchAllAnalysed;
}

int batch_main(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err,
               bool err_is_terminal) {
  BatchOptions options;
  try {
    options = parse_batch_arguments(arguments);
  } catch (const BatchUsageError& error) {
    err << kName << error.what() << kSeeHelp << '\n';
    return kBatchUsageError;
  }
  if (options.help) {
    out << "使い方:\n" << kBatchSynopsis << '\n' << kBatchHelp;
    return kBatchAllAnalysed;
  }
  if (options.version) {
    out << "telmor-batch " << kTelmorVersion << '\n';
    return kBatchAllAnalysed;
  }
  return run_batch(options, err, err_is_terminal && !options.quiet);
}

}  // namespace telmor
