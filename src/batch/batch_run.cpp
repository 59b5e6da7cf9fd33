// Running a batch: recordings spread over threads, one message per problem,
// the summary table in the order of the recordings.
#include "batch/batch_run.h"

#include <algorithm>
#include <cstring>
#include <atomic>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <system_error>
#include <thread>
#include <vector>

#include "analysis/beat_table.h"
#include "analysis/recording_shape.h"
#include "analysis/summary_csv.h"
#include "analysis/waveform_rows.h"
#include "batch/progress_line.h"
#include "base/number_text.h"
#include "record/utf8_path.h"
#include "results/file_replace.h"
#include "results/results_format.h"
#include "results/results_messages.h"
#include "telmor_version.h"

namespace telmor {
namespace {

constexpr std::string_view kName = "telmor-batch: ";

// Counts the lines the fit writes: in a batch nobody reads them one by one.
class CountingConsole : public ConsoleOutput {
 public:
  void console_write(std::string_view line) override { lines += line.empty() ? 0 : 1; }
  int lines = 0;
};

// A recording of 20 leads x 30000 rows of long numbers is about 12 MB; a file
// far beyond that is no recording, and is not taken into memory.
constexpr std::size_t kLargestRecording = 32u << 20;

// The whole file into the worker's buffer, which keeps its memory from one
// recording to the next; the reason when it cannot be had.
std::string read_whole_file(const std::filesystem::path& file, TextBuffer& text) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return "読めません（ファイルを開けません）。";
  text.size = 0;
  while (in) {
    if (text.size == text.capacity) {
      if (text.capacity > kLargestRecording) {
        return "記録にしては大きすぎます（記録は最大20誘導×30000行です）。";
      }
      const std::size_t capacity = std::max<std::size_t>(2 * text.capacity, 1u << 20);
      auto bytes = std::make_unique_for_overwrite<char[]>(capacity);
      if (text.size != 0) std::memcpy(bytes.get(), text.bytes.get(), text.size);
      text.bytes = std::move(bytes);
      text.capacity = capacity;
    }
    in.read(text.bytes.get() + text.size, static_cast<std::streamsize>(text.capacity - text.size));
    text.size += static_cast<std::size_t>(in.gcount());
  }
  if (in.bad()) return "読み込めません（読み込み中にエラーが起きました）。";
  return {};
}

// The shape from the options or, where they say nothing, from the text; the
// reason when it cannot be had.
std::string decide_shape(const BatchOptions& options, std::string_view text, RunRecord& r) {
  if (options.leads && options.seconds) {
    r.lead_count = *options.leads;
    r.record_seconds = *options.seconds;
  } else {
    const TextShape shape = text_shape(text);
    const std::string how = "--leads と --seconds で形を指定してください。";
    if (shape.data_rows == 0) return "データの行がありません。";
    r.lead_count = options.leads.value_or(shape.first_row_values);
    if (r.lead_count < 1 || r.lead_count > kMaxLeads) {
      return "1行目の値の数 " + format_integer(shape.first_row_values) +
             " が1から20の範囲にありません。" + how;
    }
    if (options.seconds) {
      r.record_seconds = *options.seconds;
    } else if (shape.data_rows % kBlockSamples != 0) {
      return "データの行数 " + format_integer(shape.data_rows) +
             " が1000の倍数ではありません（1秒は1000行）。" + how;
    } else {
      r.record_seconds = shape.data_rows / kBlockSamples;
      if (r.record_seconds > kMaxSamples / kBlockSamples) {
        return "データの行数 " + format_integer(shape.data_rows) + " は" +
               format_integer(r.record_seconds) + "秒で、30秒を超えています。";
      }
    }
  }
  r.sample_count = r.record_seconds * kBlockSamples;
  return {};
}

std::string read_failure(const WaveRows& rows) {
  if (rows.status == WaveReadStatus::end_of_file) {
    return "読み込みエラー（EOF)です。" + format_integer(rows.row) +
           "行目のデータの途中でファイルが終わっています。誘導点数と秒数を確かめてください。";
  }
  return "読み込みエラー（ERR)です。" + format_integer(rows.row) +
         "行目のデータに数値でない値があります。";
}

// Where the summary goes when --summary does not say: in --out, or where the
// first recording's results go.
std::filesystem::path summary_file(const BatchOptions& options) {
  if (options.summary) return *options.summary;
  if (options.out) return *options.out / "summary.csv";
  const std::filesystem::path& first = options.paths.front();
  std::error_code error;
  if (std::filesystem::is_directory(first, error)) return first / "summary.csv";
  return first.parent_path() / "summary.csv";
}

}  // namespace

RecordingOutcome analyse_recording_file(const Recording& recording, const BatchOptions& options,
                                        const std::filesystem::path& results_folder,
                                        BatchScratch& scratch) {
  RecordingOutcome outcome;
  const std::filesystem::path results = results_file_for(recording, results_folder);
  std::error_code error;
  if (!options.overwrite && std::filesystem::exists(results, error)) {
    outcome.reason = "結果ファイル " + utf8_from_path(results) +
                     " が既にあるので解析しませんでした（上書きは --overwrite）。";
    return outcome;
  }
  outcome.reason = read_whole_file(recording.file, scratch.text);
  if (!outcome.reason.empty()) return outcome;
  const std::string_view text = scratch.text.view();

  // Zeroed for every recording, as every session starts; made in the same
  // memory each time, which stays mapped.
  std::destroy_at(scratch.record.get());
  RunRecord* const record = std::construct_at(scratch.record.get());
  outcome.reason = decide_shape(options, text, *record);
  if (!outcome.reason.empty()) return outcome;
  apply_settings(options.settings, *record);
  const WaveRows rows =
      read_waveform_rows(text, record->lead_count, record->sample_count, *record);
  if (rows.status != WaveReadStatus::ok) {
    outcome.reason = read_failure(rows);
    return outcome;
  }

  CountingConsole console;
  if (analyse_recording(*record, console, 1) == AnalysisStatus::no_data) {
    outcome.reason = "データがありません（誘導1〜3の100〜1000 msがすべて0です）。";
    return outcome;
  }
  std::string file_text;
  const FormatResult formatted = format_results(*record, file_text);
  if (formatted.fault != FormatFault::none) {
    outcome.reason = "結果ファイルを書けません（" + format_fault_reason(formatted) + "）。";
    return outcome;
  }
  if (const std::error_code written = replace_file_contents(results, file_text)) {
    outcome.reason = "結果ファイル " + utf8_from_path(results) + " を書けません（" +
                     write_error_reason(written) + "）。";
    return outcome;
  }
  append_summary_rows(outcome.summary, recording.name, assign_marks(*record));
  if (console.lines > 0) {
    outcome.note = "注意: 最小二乗近似のメッセージが" + format_integer(console.lines) +
                   "件ありました（近似できない点の微分は0です）。";
  }
  outcome.analysed = true;
  return outcome;
}

int run_batch(const BatchOptions& options, std::ostream& err, bool show_progress) {
  std::mutex err_mutex;
  ProgressLine progress(err, show_progress);
  bool reported = false;
  const auto report = [&](const std::filesystem::path& path, const std::string& line) {
    const std::lock_guard lock(err_mutex);
    progress.clear();
    err << kName << utf8_from_path(path) << ": " << line << '\n';
  };

  const RecordingList list = list_recordings(options.paths);
  for (const PathProblem& problem : list.problems) report(problem.path, problem.reason);
  reported = !list.problems.empty();

  if (options.out) {
    std::error_code error;
    std::filesystem::create_directories(*options.out, error);
    if (error) {
      report(*options.out, "結果のフォルダを作れません（" + error.message() + "）。");
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
      const Recording& recording = list.recordings[static_cast<std::size_t>(i)];
      const std::filesystem::path folder =
          options.out ? *options.out : recording.file.parent_path();
      RecordingOutcome& outcome = outcomes[static_cast<std::size_t>(i)];
      outcome = analyse_recording_file(recording, options, folder, scratch);
      if (!outcome.analysed) report(recording.file, outcome.reason);
      if (!outcome.note.empty()) report(recording.file, outcome.note);
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

  int analysed = 0;
  std::string summary(kSummaryHeader);
  summary += '\n';
  for (const RecordingOutcome& outcome : outcomes) {
    if (!outcome.analysed) continue;
    ++analysed;
    summary += outcome.summary;
  }
  reported = reported || analysed < total;
  if (analysed > 0) {
    const std::filesystem::path file = summary_file(options);
    if (const std::error_code error = replace_file_contents(file, summary)) {
      report(file, "集計表を書けません（" + write_error_reason(error) + "）。");
      reported = true;
    }
  }
  if (show_progress) {
    const std::lock_guard lock(err_mutex);
    progress.clear();
    err << kName << format_integer(analysed) << "/" << format_integer(total)
        << " 件を解析しました。\n";
  }
  return reported ? kBatchSomeReported : kBatchAllAnalysed;
}

int batch_main(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err,
               bool err_is_terminal) {
  BatchOptions options;
  try {
    options = parse_batch_arguments(arguments);
  } catch (const BatchUsageError& error) {
    err << kName << error.what() << "（使い方: telmor-batch --help）\n";
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
