// One recording of a batch: read, analysed as an interactive session would,
// its results file written, its summary rows made.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "signal/electrode_layout.h"
#include "batch/batch_options.h"
#include "batch/recording_list.h"
#include "batch_reason.h"
#include "notes_table.h"
#include "readers/recording_file.h"
#include "files/temporary_files.h"
#include "timing/analysis.h"

namespace telmor {

// What became of one recording. analysed: its results file is written and
// summary holds its rows; otherwise reason says why.
struct RecordingOutcome {
  bool analysed = false;
  RecordingReason reason;
  int fit_messages = 0;  // lines the fit wrote: worth a note on an analysed recording
  int velocities_without_value = 0;  // rows of the velocity table flagged no_value
  // The analysis's notes: leads whose marks crowd their windows' ends, the
  // ranges suggested (or that none could be), and, with a layout, the marks
  // the maps left out.
  std::vector<RangeWarning> range_warnings;
  bool ranges_asked = false;
  bool ranges_suggested = false;
  std::int32_t at_from = 0, at_to = 0, rt_from = 0, rt_to = 0;
  int maps_left_dead = 0, maps_left_flagged = 0;
  // An analysed recording whose tables the desktop could not load (more than
  // 20 leads or 200 rows): no results file, its rows in the summary only.
  struct Beyond {
    int leads = 0;
    int rows = 0;
  };
  std::optional<Beyond> beyond_results_file;
  std::string summary;   // summary rows, without the header
  std::vector<BatchNote> notes;  // what the run reported of it, for the notes table
  // Temporaries that killed saves left beside the results file and that
  // could not be removed: the report names each.
  std::vector<LeftTemporary> left_temporaries;
};

// What a worker reuses for every recording it analyses.
struct BatchScratch {
  TextBuffer text;
  AnalysisWorkspace workspace;
};

// Analyses one recording and writes its results file into results_folder;
// with a layout, the maps' files (write_map_files, figures as options say)
// first, so that a results file stands only beside complete maps and a run
// after a failure analyses the recording again.
RecordingOutcome analyse_recording_file(const ListedRecording& recording, const BatchOptions& options,
                                        const std::filesystem::path& results_folder,
                                        BatchScratch& scratch, const ElectrodeLayout* layout = nullptr);

}  // namespace telmor
