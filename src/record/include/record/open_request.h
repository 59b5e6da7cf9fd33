// A recording to open from a file of any format (the frame's 開く, the
// command line, the replay's open): which file, what its reader needs to be
// told, and the part the user chose. The program reads it (unless the asker
// has read it already), brings the part to its 1 kHz and takes it instead of
// the dialogue's file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "signal/recording.h"

namespace telmor {

struct OpenRequest {
  std::filesystem::path file;
  // What the file cannot say, as the readers take it: the dataset or
  // variable, the rate, and whether rows are samples (1) or leads (2).
  std::optional<std::string> dataset;
  std::optional<double> rate_hz;
  std::uint8_t orientation = 0;
  // The part: leads from 1 in the order wanted (empty: the first, up to 20),
  // the start in seconds and whole seconds (none: as many as fit, up to 30).
  std::vector<int> leads;
  double start_s = 0.0;
  std::optional<int> seconds;
  // The whole recording where the asker has read it already.
  std::shared_ptr<const Recording> whole;
};

}  // namespace telmor
