// A recording taken on piece by piece, every piece checked before it is
// stored: the shape against the limits, each lead's values in order and
// within the shape, every value a finite 32-bit real.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "signal/recording.h"
#include "signal/recording_problem.h"

namespace telmor {

// What a reader hands on: the shape first, then each lead's values in the
// order of time (leads may take turns, a block at a time).
class RecordingSink {
 public:
  virtual ~RecordingSink() = default;
  // labels and units: one per lead, or none.
  virtual RecordingProblem begin(std::uint64_t leads, std::uint64_t samples, double rate_hz,
                                 std::vector<std::string> labels, std::vector<std::string> units) = 0;
  // The next values of lead (1-based).
  virtual RecordingProblem append(int lead, std::span<const float> values) = 0;
};

// The sink that builds a Recording. begin checks the shape (check_declared_shape)
// and the rate before it allocates; append refuses a lead outside the shape,
// values past a lead's samples and values that are not finite (not_a_number
// at their sample); finish refuses a recording some of whose values never
// came (end_of_file at the first missing sample) and hands the recording
// over. Labels and units are cleaned (label_from_bytes) and one per lead.
class RecordingBuilder final : public RecordingSink {
 public:
  // most_bytes: the most the recording's samples may take, besides the
  // limits every recording has (a caller that knows what the file can hold
  // says so: a shape declared beyond it is beyond_limit).
  explicit RecordingBuilder(std::uint64_t most_bytes = std::uint64_t{16} << 30) : most_bytes_(most_bytes) {}
  RecordingProblem begin(std::uint64_t leads, std::uint64_t samples, double rate_hz, std::vector<std::string> labels,
                         std::vector<std::string> units) override;
  RecordingProblem append(int lead, std::span<const float> values) override;
  RecordingProblem finish(Recording& recording);

 private:
  std::uint64_t most_bytes_;
  Recording recording_;
  std::vector<std::uint64_t> filled_;  // per lead, the values that came
  bool begun_ = false;
};

}  // namespace telmor
