// One recording of a batch: read, analysed as an interactive session would,
// its results file written, its summary rows made.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "batch/batch_options.h"
#include "batch/recording_list.h"
#include "batch_reason.h"
#include "record/run_record.h"
#include "recording_file.h"
#include "results/temporary_files.h"

namespace telmor {

// What became of one recording. analysed: its results file is written and
// summary holds its rows; otherwise reason says why.
struct RecordingOutcome {
  bool analysed = false;
  RecordingReason reason;
  int fit_messages = 0;  // lines the fit wrote: worth a note on an analysed recording
  std::string summary;   // summary rows, without the header
  // Temporaries that killed saves left beside the results file and that
  // could not be removed: the report names each.
  std::vector<LeftTemporary> left_temporaries;
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

}  // namespace telmor
