// Reading the electrode layout file of --layout once, before a run writes
// anything, so that a bad file is a usage error rather than a fault of
// every recording.
#pragma once

#include <filesystem>

#include "readers/layout_file.h"
#include "readers/recording_file.h"

namespace telmor {

struct LayoutFileLoad {
  FileRead read;           // why the file could not be taken into memory
  LayoutReading reading;   // its positions, or the fault and its line
  bool ok() const { return read.fault == FileReadFault::none && !reading.problem; }
};

// The file is taken into memory as a recording is (only a regular file,
// never waiting on a FIFO), then parsed.
LayoutFileLoad load_layout_file(const std::filesystem::path& file);

}  // namespace telmor
