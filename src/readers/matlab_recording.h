// The MATLAB reader (matio), private to the readers. It runs in the child
// of a contained read.
#pragma once

#include <filesystem>

#include "readers/recording_formats.h"
#include "readers/recording_sink.h"

namespace telmor {

RecordingProblem read_matlab_recording(const std::filesystem::path& file, std::uint64_t file_bytes,
                                       const ReadOptions& options, RecordingSink& sink);

}  // namespace telmor
