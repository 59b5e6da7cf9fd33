// The checks of what a file declares of itself.
#include "readers/recording_limits.h"

#include <algorithm>
#include <limits>
#include <string>

#include "readers/recording_shape.h"

namespace telmor {
namespace {

std::string shape_digits(std::uint64_t leads, std::uint64_t samples) {
  return std::to_string(leads) + " × " + std::to_string(samples);
}

}  // namespace

RecordingProblem check_declared_shape(std::uint64_t leads, std::uint64_t samples, std::string_view what) {
  if (leads == 0 || samples == 0) {
    RecordingProblem p{RecordingFault::dataset_shape};
    p.detail = (what.empty() ? std::string() : std::string(what) + ": ") + shape_digits(leads, samples);
    return p;
  }
  if (leads > static_cast<std::uint64_t>(kMaxRecordingLeads)) {
    // The count says how many; one beyond any integer we hold is named by
    // the shape instead.
    if (leads > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
      RecordingProblem p{RecordingFault::beyond_limit};
      p.detail = shape_digits(leads, samples);
      p.count = kLargestRecordingGiB;
      return p;
    }
    return {RecordingFault::first_line_values, 0, static_cast<std::int64_t>(leads)};
  }
  std::uint64_t values = 0, bytes = 0;
  if (samples > static_cast<std::uint64_t>(std::numeric_limits<int>::max()) || !multiplied(leads, samples, values) ||
      !multiplied(values, sizeof(float), bytes) || bytes > kLargestRecordingBytes) {
    RecordingProblem p{RecordingFault::beyond_limit};
    p.detail = shape_digits(leads, samples);
    p.count = kLargestRecordingGiB;
    return p;
  }
  return {};
}

RecordingProblem check_declared_data(std::uint64_t declared_bytes, std::uint64_t held_bytes, bool compressed,
                                     std::uint64_t value_bytes, std::string_view what) {
  std::uint64_t room = held_bytes;
  if (compressed && !multiplied(held_bytes, kMostCompression, room)) room = std::numeric_limits<std::uint64_t>::max();
  if (declared_bytes <= room) return {};
  RecordingProblem p{RecordingFault::data_missing};
  const std::uint64_t each = value_bytes > 0 ? value_bytes : 1;
  const auto clamp = [](std::uint64_t v) {
    return static_cast<std::int64_t>(std::min<std::uint64_t>(v, std::numeric_limits<std::int64_t>::max()));
  };
  p.row = clamp(held_bytes / each);
  p.count = clamp(declared_bytes / each);
  p.detail = std::string(what);
  return p;
}

}  // namespace telmor
