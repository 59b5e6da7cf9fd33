// The command line of telmor-batch.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "signal/electrode_layout.h"
#include "signal/recording.h"
#include "timing/analysis_settings.h"
#include "readers/recording_formats.h"
#include "readers/recording_shape.h"
#include "words/words.h"

namespace telmor {

inline constexpr std::string_view kBatchSynopsis =
    "    telmor-batch [--smooth N] [--ratio R] [--ranges AF AT RF RT | --ranges auto] [--beat-lead N]\n"
    "                 [--estimator centred|legacy] [--rt-smooth MS] [--rate HZ]\n"
    "                 [--dataset NAME] [--orientation samples-by-leads|leads-by-samples]\n"
    "                 [--rt-margin MS] [--rt-window FROM TO] [--blank-before MS] [--blank-after MS]\n"
    "                 [--leads N] [--seconds S] [--jobs N] [--out DIR] [--summary FILE]\n"
    "                 [--layout FILE | --grid RxC --pitch MM] [--figures]\n"
    "                 [--overwrite] [--quiet] [--lang ja|en] PATH...\n";

struct BatchOptions {
  AnalysisSettings settings;
  // The sampling rate: of the text recordings (1000 when not given), and of
  // any other file, over what it states.
  std::optional<double> rate_hz;
  std::optional<std::string> dataset;   // HDF5, MATLAB: the dataset or variable to read
  Orientation orientation = Orientation::unknown;
  double text_rate() const { return rate_hz.value_or(kTextRateHz); }
  std::optional<int> leads;    // 1..1024; from the file when not given
  std::optional<int> seconds;  // from the file when not given
  int jobs = 0;                // recordings analysed at once; 0: one per core
  std::optional<std::filesystem::path> out;      // results folder; beside each recording when not given
  std::optional<std::filesystem::path> summary;  // summary table
  // Electrode positions for the maps' tables: a layout file (read when the
  // run starts) or the grid of --grid and --pitch; neither: no maps.
  std::optional<std::filesystem::path> layout_file;
  std::optional<ElectrodeLayout> grid;
  bool figures = false;  // the figure of each recording too; only with positions
  bool overwrite = false;
  bool quiet = false;
  bool help = false;
  bool version = false;
  // What the run's lines, notes and help are written in (--lang ja|en).
  Language language = Language::japanese;
  std::vector<std::filesystem::path> paths;
};

// A command line that cannot be run; what() is one line saying what is wrong.
class BatchUsageError : public std::runtime_error {
 public:
  explicit BatchUsageError(const std::string& what, Language language = Language::japanese)
      : std::runtime_error(what), language_(language) {}
  // The language the refusal is in, for what follows it.
  Language language() const { return language_; }

 private:
  Language language_;
};

// The arguments after the program name. Throws BatchUsageError for an unknown
// option, an option without its value or with one out of range, or no PATH
// (unless --help or --version), --layout with --grid, --grid without --pitch
// or the other way round, a grid or pitch that makes no grid, or --figures
// without electrode positions. Its refusals are in the language of --lang,
// else in fallback's (the user's locale's).
BatchOptions parse_batch_arguments(std::span<const std::string_view> arguments,
                                   Language fallback = Language::japanese);

}  // namespace telmor
