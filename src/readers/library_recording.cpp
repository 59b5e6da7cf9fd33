// The formats read through their libraries. TELMOR checks what it can of a
// file itself (an EDF/BDF/GDF header whole; the others' shapes as their
// libraries report them, before any value is read), and runs every library
// in a contained read, where a crash or a hang costs only that file.
#include <hdf5.h>

#include <algorithm>

#include "biosig_recording.h"
#include "hdf5_recording.h"
#include "matlab_recording.h"
#include "readers/biosig_header.h"
#include "readers/contained_read.h"
#include "readers/recording_file.h"
#include "readers/recording_formats.h"
#include "readers/recording_limits.h"

namespace telmor {
namespace {

// The HDF5 library as the child meets it, for its own files and matio's
// v7.3 ones: its reasons returned rather than printed, and no filter loaded
// from a plugin folder.
void quiet_hdf5() {
  H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
  H5PLset_loading_state(0);
}

// The most samples a file of size bytes can give as 32-bit reals: a sample
// takes a bit at the least (a GDF bit type), and a compressed dataset
// expands kMostCompression times at the most.
std::uint64_t most_samples_bytes(std::uint64_t size, bool compressible) {
  std::uint64_t most = 0;
  if (!multiplied(size, compressible ? 4 * kMostCompression : 32, most)) return kLargestRecordingBytes;
  return std::min(most, kLargestRecordingBytes);
}

}  // namespace

bool format_available(RecordingFormat) { return true; }

RecordingProblem read_library_recording(RecordingFormat format, const std::filesystem::path& file,
                                        const ReadOptions& options, Recording& recording,
                                        const Containment& containment) {
  const bool biosig = format == RecordingFormat::biosig;
  FileStart start;
  if (const FileRead read = read_file_start(file, biosig ? biosig_header_reach() : 0, start);
      read.fault != FileReadFault::none)
    return recording_problem_of(read);
  const std::uint64_t size = start.size;
  Containment contained = containment;
  contained.most_recording_bytes =
      std::min(containment.most_recording_bytes, most_samples_bytes(size, format != RecordingFormat::biosig));
  switch (format) {
    case RecordingFormat::biosig: {
      BiosigLayout layout;
      if (RecordingProblem p = check_biosig_header(start.bytes, size, layout)) return p;
      return read_contained(format_name(format), [&](RecordingSink& sink) {
        return read_biosig_recording(file, layout, options, sink);
      }, recording, contained);
    }
    case RecordingFormat::hdf5:
      return read_contained(format_name(format), [&](RecordingSink& sink) {
        quiet_hdf5();
        return read_hdf5_recording(file, size, options, sink);
      }, recording, contained);
    case RecordingFormat::matlab:
      return read_contained(format_name(format), [&](RecordingSink& sink) {
        quiet_hdf5();
        return read_matlab_recording(file, size, options, sink);
      }, recording, contained);
    case RecordingFormat::text:
    case RecordingFormat::csv:
      break;
  }
  return {RecordingFault::unknown_format};
}

}  // namespace telmor
