// A whole batch run: every recording analysed as an interactive session
// would, its results file written, and the summary table of them all.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "batch/batch_options.h"
#include "batch/recording_list.h"
#include "record/run_record.h"

namespace telmor {

inline constexpr int kBatchAllAnalysed = 0;
inline constexpr int kBatchSomeReported = 1;
inline constexpr int kBatchUsageError = 2;

// What became of one recording. Analysed: its results file is written and
// summary holds its rows. Otherwise reason says why (one line).
struct RecordingOutcome {
  bool analysed = false;
  std::string reason;
  std::string note;     // something worth knowing about an analysed recording
  std::string summary;  // summary rows, without the header
};

// The bytes of a file, in memory a worker keeps from one recording to the next.
struct TextBuffer {
  std::unique_ptr<char[]> bytes;
  std::size_t size = 0;
  std::size_t capacity = 0;
  std::string_view view() const { return {bytes.get(), size}; }
};

// What a worker reuses for every recording it analyses.
struct BatchScratch {
  std::unique_ptr<RunRecord> record = std::make_unique<RunRecord>();
  TextBuffer text;
};

// Analyses one recording, on a record made afresh (zeroed) in scratch, and
// writes its results file into results_folder.
RecordingOutcome analyse_recording_file(const Recording& recording, const BatchOptions& options,
                                        const std::filesystem::path& results_folder,
                                        BatchScratch& scratch);

// Runs the batch of options: messages (one line each, naming the file) and,
// when show_progress, the progress line go to err. Returns kBatchAllAnalysed,
// or kBatchSomeReported when anything was reported.
int run_batch(const BatchOptions& options, std::ostream& err, bool show_progress);

// The whole command: arguments after the program name; help and version to out.
int batch_main(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err,
               bool err_is_terminal);

}  // namespace telmor
