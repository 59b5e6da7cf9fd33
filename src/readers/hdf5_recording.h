// The HDF5 reader (the HDF5 C library), private to the readers.
#pragma once

#include <filesystem>

#include "readers/recording_formats.h"

namespace telmor {

RecordingProblem read_hdf5_recording(const std::filesystem::path& file, const ReadOptions& options,
                                     Recording& recording);

}  // namespace telmor
