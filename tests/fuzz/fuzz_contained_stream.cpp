// Fuzzes the stream a contained reader sends back: arbitrary bytes, fed in
// pieces the first byte sizes. Nothing is believed before it is checked: a
// stream that finishes gives a recording whose shape and values hold, or a
// problem; one that lies is damaged, never a crash or a wild allocation.
#include <algorithm>
#include <cmath>

#include "fuzz_check.h"
#include "readers/contained_read.h"
#include "readers/recording_limits.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace telmor;
  if (size < 1) return 0;
  const std::size_t piece = 1 + data[0] % 64;
  // What a small file can hold: a shape beyond it is refused before it is
  // allocated.
  RecordingBuilder builder(std::uint64_t{64} << 20);
  ContainedStream stream(builder);
  const char* bytes = reinterpret_cast<const char*>(data + 1);
  for (std::size_t at = 0; at < size - 1; at += piece) {
    if (!stream.feed({bytes + at, std::min(piece, size - 1 - at)})) break;
  }
  FUZZ_CHECK(!(stream.finished() && stream.damaged()));
  if (stream.finished() && !stream.problem()) {
    Recording r;
    if (!builder.finish(r)) {
      FUZZ_CHECK(r.values.size() == static_cast<std::size_t>(r.lead_count) * static_cast<std::size_t>(r.sample_count));
      FUZZ_CHECK(r.lead_count >= 1 && r.lead_count <= kMaxRecordingLeads);
      for (const float v : r.values) FUZZ_CHECK(std::isfinite(v));
    }
  }
  return 0;
}
