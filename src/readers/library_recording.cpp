// The formats read through their libraries. TELMOR checks what it can of a
// file itself (an EDF/BDF/GDF header whole, here and again in the reader
// program; the others' shapes as their libraries report them, before any
// value is read), and runs every library in the reader program, where a
// crash or a hang costs only that file.
#include <algorithm>

#include "library_reader.h"
#include "readers/biosig_header.h"
#include "readers/contained_read.h"
#include "readers/recording_file.h"
#include "readers/recording_formats.h"
#include "readers/recording_limits.h"

namespace telmor {
namespace {

// The most samples a file of size bytes can give as 32-bit reals: a sample
// takes a bit at the least (a GDF bit type), and a compressed dataset
// expands kMostCompression times at the most.
std::uint64_t most_samples_bytes(std::uint64_t size, bool compressible) {
  std::uint64_t most = 0;
  if (!multiplied(size, compressible ? 4 * kMostCompression : 32, most)) return kLargestRecordingBytes;
  return std::min(most, kLargestRecordingBytes);
}

std::string_view reader_format(RecordingFormat format) {
  switch (format) {
    case RecordingFormat::biosig:
      return "biosig";
    case RecordingFormat::hdf5:
      return "hdf5";
    case RecordingFormat::matlab:
      return "matlab";
    case RecordingFormat::text:
    case RecordingFormat::csv:
      break;
  }
  return {};
}

}  // namespace

bool format_available(RecordingFormat) { return true; }

RecordingProblem read_library_recording(RecordingFormat format, const std::filesystem::path& file,
                                        const ReadOptions& options, Recording& recording,
                                        const Containment& containment) {
  if (reader_format(format).empty()) return {RecordingFault::unknown_format};
  const bool biosig = format == RecordingFormat::biosig;
  FileStart start;
  if (const FileRead read = read_file_start(file, biosig ? biosig_header_reach() : 0, start);
      read.fault != FileReadFault::none)
    return recording_problem_of(read);
  // A damaged header is refused here, before any program starts.
  if (biosig) {
    BiosigLayout layout;
    if (RecordingProblem p = check_biosig_header(start.bytes, start.size, layout)) return p;
  }
  Containment contained = containment;
  contained.most_recording_bytes = std::min(containment.most_recording_bytes, most_samples_bytes(start.size, !biosig));
  const LibraryReadRequest request{std::string(reader_format(format)), std::filesystem::absolute(file), options};
  return read_contained(format_name(format), reader_program(), library_reader_arguments(request), recording,
                        contained);
}

}  // namespace telmor
