// What became of one recording in a batch, as values; batch_words.h has
// their words, one catalogue per language.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "signal/recording_problem.h"
#include "timing/analysis.h"
#include "readers/recording_file.h"
#include "results/results_format.h"

namespace telmor {

enum class OutcomeFault : std::uint8_t {
  none,
  results_exist,          // results_file is kept (no --overwrite)
  unreadable,             // read: the file could not be taken into memory
  recording,              // recording: its text
  analysis,               // analysis: what stopped its analysis
  results_unformattable,  // format: the tables do not fit a results file
  results_unwritable,     // results_file, error
  maps_unwritable,        // map_file, error: a table or figure of the maps
  out_of_memory,          // step: what the memory ran out in
  no_beats,               // the analysis found no beat: nothing was measured
  failed,                 // step, detail: what went wrong that nothing foresaw
};

// The steps of a recording, for a failure that can come at any of them.
enum class BatchStep : std::uint8_t { reading, analysis, maps, figures, results_file, summary };

struct RecordingReason {
  OutcomeFault fault = OutcomeFault::none;
  FileRead read{};
  RecordingProblem recording{};
  AnalysisProblem analysis{};
  FormatResult format{};
  std::filesystem::path results_file{};
  std::filesystem::path map_file{};
  std::error_code error{};
  BatchStep step = BatchStep::reading;
  std::string detail{};  // failed: what was thrown
  int beat_lead = 1;     // no_beats: the lead searched
};

// Why --summary (or the summary's default place) cannot take the summary.
enum class SummaryFault : std::uint8_t {
  none,
  not_csv,          // the name does not end in .csv
  is_recording,     // a recording the run reads
  is_results_file,  // a results file the run writes
  is_map_table,     // a map table the run writes
  not_a_file,       // a folder, FIFO or device stands there
  not_a_summary,    // an existing file whose first line is not a summary's header
};

}  // namespace telmor
