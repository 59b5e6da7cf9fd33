// Which part of which recording file a run analyses when the recording was
// opened from a file of any format: the file's name, its channels in the
// order taken, the span and the file's own rate, and what its reader was
// told. Its results file records it beside itself, so that a load can tell
// results of another part of the same file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace telmor {

struct RecordedPart {
  std::string source;         // the recording file's name (UTF-8, no folder)
  std::vector<int> channels;  // the file's channels (from 1), lead 1 first
  double start_s = 0.0;       // where the part starts in the file
  std::int32_t seconds = 0;   // whole seconds
  double rate_hz = 0.0;       // the file's rate (the part is analysed at 1 kHz)
  std::optional<std::string> dataset;  // the HDF5 dataset or MATLAB variable named
  std::uint8_t orientation = 0;        // 1 rows are samples, 2 rows are leads, 0 as read
  friend bool operator==(const RecordedPart&, const RecordedPart&) = default;
};

}  // namespace telmor
