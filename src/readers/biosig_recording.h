// The EDF/BDF/GDF reader (libbiosig), private to the readers. It runs in
// the child of a contained read, on a file whose header was checked first.
#pragma once

#include <filesystem>

#include "readers/biosig_header.h"
#include "readers/recording_formats.h"
#include "readers/recording_sink.h"

namespace telmor {

RecordingProblem read_biosig_recording(const std::filesystem::path& file, const BiosigLayout& layout,
                                       const ReadOptions& options, RecordingSink& sink);

}  // namespace telmor
