// The EDF/BDF/GDF reader (libbiosig), private to the readers.
#pragma once

#include <filesystem>

#include "readers/recording_formats.h"

namespace telmor {

RecordingProblem read_biosig_recording(const std::filesystem::path& file, const ReadOptions& options,
                                       Recording& recording);

}  // namespace telmor
