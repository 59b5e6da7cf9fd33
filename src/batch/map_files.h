// The maps' files of one analysed recording, beside its results file: the
// conduction velocity, restitution and dispersion tables, and the figure.
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "timing/beat_table.h"
#include "signal/electrode_layout.h"
#include "batch/recording_list.h"
#include "batch_reason.h"
#include "map_file_names.h"
#include "files/temporary_files.h"

namespace telmor {

// The first file that could not be written and why; no error: all written,
// velocities_without_value of them flagged no_value, the marks of dead leads
// and the flagged marks left out of them counted.
struct MapFilesFailure {
  std::filesystem::path file;
  std::error_code error;
  int velocities_without_value = 0;
  int left_dead = 0, left_flagged = 0;
  explicit operator bool() const { return static_cast<bool>(error); }
};

// Writes NAMEcv.csv, NAMErestitution.csv and NAMEdispersion.csv into folder
// and, with figures, NAMEfigure.svg and NAMEfigure.png (the middle beat),
// each durably (replace_file_contents), in that order, stopping at the
// first failure (io_error when the figure could not be drawn). Their
// recording column holds the recording's summary name. Temporaries of
// killed writers that could not be removed go into left_temporaries.
MapFilesFailure write_map_files(const ListedRecording& recording, const BeatTable& marks,
                                const ElectrodeLayout& layout, bool figures, const std::vector<std::string>& labels,
                                const std::filesystem::path& folder,
                                std::vector<LeftTemporary>& left_temporaries, BatchStep& step);

}  // namespace telmor
