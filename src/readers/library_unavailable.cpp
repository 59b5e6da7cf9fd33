// A build without the format libraries (Debian's mingw has none of libbiosig,
// HDF5 or matio): text and CSV only; the other formats are named and refused.
#include <string>

#include "readers/recording_formats.h"
#include "readers/recording_rate.h"

namespace telmor {

bool format_available(RecordingFormat format) {
  return format == RecordingFormat::text || format == RecordingFormat::csv;
}

RecordingProblem read_library_recording(RecordingFormat format, const std::filesystem::path&, const ReadOptions&,
                                        Recording&, const Containment&) {
  RecordingProblem p{RecordingFault::format_unreadable};
  p.detail = "this build of TELMOR reads no " + std::string(format_name(format)) + " files (text and CSV only)";
  return p;
}

bool resampling_available() { return false; }

RecordingProblem part_at_rate(const Recording& whole, const RecordingPart& part, double rate_hz, Recording& out) {
  out = whole;
  if (const RecordingProblem p = take_part(part, out)) return p;
  if (whole.rate_hz == rate_hz) return {};
  RecordingProblem p{RecordingFault::format_unreadable};
  p.detail = "this build of TELMOR cannot resample (no libsoxr)";
  return p;
}

}  // namespace telmor
