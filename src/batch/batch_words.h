// Every line telmor-batch writes about a run, in the user's words: the
// reasons are values until here. One catalogue per language.
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
#include "words/words.h"

namespace telmor {

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

class BatchWords {
 public:
  virtual ~BatchWords() = default;
  // The catalogue of the core's reasons in the same language.
  virtual const Words& words() const = 0;

  // One line each, without the path they are about.
  virtual std::string path_message(const PathProblem& problem) const = 0;
  virtual std::string recording_message(const RecordingReason& reason) const = 0;
  virtual std::string recording_problem_message(const RecordingProblem& problem) const = 0;
  virtual std::string fit_messages_note(int count) const = 0;
  virtual std::string velocities_without_value_note(int count) const = 0;
  // Leads whose marks of a kind crowd their windows' ends or are weak, by kind.
  virtual std::string range_warnings_note(const std::vector<RangeWarning>& warnings, MarkKind kind) const = 0;
  // The ranges suggested from the recording, or that none could be.
  virtual std::string suggested_ranges_note(bool suggested, std::int32_t at_from, std::int32_t at_to,
                                            std::int32_t rt_from, std::int32_t rt_to) const = 0;
  // The marks the maps' tables left out: of dead leads, and flagged ones.
  virtual std::string maps_left_out_note(int dead_lead, int flagged) const = 0;
  // An analysed recording whose tables a results file cannot hold.
  virtual std::string beyond_results_file_note(int leads, int rows) const = 0;
  virtual std::string out_folder_message(std::error_code error) const = 0;
  virtual std::string summary_unwritable_message(std::error_code error) const = 0;

  // The usage error for a summary that cannot be written where it would go.
  virtual std::string summary_refusal_message(SummaryFault fault, const std::filesystem::path& summary) const = 0;
  // The usage error for --grid RxC --pitch MM that make no grid.
  virtual std::string grid_refusal_message(LayoutFault fault, std::string_view grid,
                                           std::string_view pitch) const = 0;
  // The usage error for a layout file that cannot be read (read) or holds a
  // fault (problem, naming its line).
  virtual std::string layout_file_message(const std::filesystem::path& file, const FileRead& read,
                                          const LayoutProblem& problem) const = 0;
  // The last line of a run: what was analysed, skipped and failed, the time
  // taken and where the summary went.
  virtual std::string run_report(const RunCounts& counts) const = 0;

  // The usage errors of the command line.
  virtual std::string option_without_value(std::string_view option) const = 0;
  virtual std::string integer_outside(std::string_view option, std::int64_t low, std::int64_t high,
                                      std::string_view text) const = 0;
  virtual std::string not_an_integer(std::string_view option, std::string_view text) const = 0;
  virtual std::string not_a_number(std::string_view option, std::string_view text) const = 0;
  virtual std::string option_value_unknown(std::string_view option, std::string_view allowed_one,
                                           std::string_view allowed_other, std::string_view text) const = 0;
  // A setting the analysis cannot take, with the option that gave it.
  virtual std::string setting_refused(std::string_view option, const AnalysisProblem& problem) const = 0;
  virtual std::string rate_invalid(double least_hz, std::string_view text) const = 0;
  virtual std::string maps_not_built() const = 0;
  virtual std::string layout_with_grid(std::string_view option) const = 0;
  virtual std::string grid_without_pitch() const = 0;
  virtual std::string pitch_without_grid() const = 0;
  virtual std::string figures_without_positions() const = 0;
  virtual std::string unknown_option(std::string_view option) const = 0;
  virtual std::string no_path() const = 0;
  // After every usage error: where the help is.
  virtual std::string_view see_help() const = 0;
  // --help: the heading before the synopsis, and what follows it.
  virtual std::string_view usage_heading() const = 0;
  virtual std::string_view help() const = 0;
};

const BatchWords& batch_words(Language language);

// What the catalogues share: the leads of the warnings of one kind, and a
// size in bytes in the largest binary unit it is a whole number of (else in
// byte_unit).
std::vector<int> warned_leads(const std::vector<RangeWarning>& warnings, MarkKind kind);
std::string format_bytes(std::size_t bytes, std::string_view byte_unit);

}  // namespace telmor
