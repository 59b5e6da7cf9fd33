// The formats read through their libraries. TELMOR checks what it can of a
// file itself (an EDF/BDF/GDF header whole; the others' shapes as their
// libraries report them, before any value is read), and runs every library
// in a contained read, where a crash or a hang costs only that file.
#include <hdf5.h>

#include "biosig_recording.h"
#include "hdf5_recording.h"
#include "matlab_recording.h"
#include "readers/biosig_header.h"
#include "readers/contained_read.h"
#include "readers/recording_file.h"
#include "readers/recording_formats.h"

namespace telmor {
namespace {

// The HDF5 library as the child meets it, for its own files and matio's
// v7.3 ones: its reasons returned rather than printed, and no filter loaded
// from a plugin folder.
void quiet_hdf5() {
  H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
  H5PLset_loading_state(0);
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
  switch (format) {
    case RecordingFormat::biosig: {
      BiosigLayout layout;
      if (RecordingProblem p = check_biosig_header(start.bytes, size, layout)) return p;
      return read_contained(format_name(format), [&](RecordingSink& sink) {
        return read_biosig_recording(file, layout, options, sink);
      }, recording, containment);
    }
    case RecordingFormat::hdf5:
      return read_contained(format_name(format), [&](RecordingSink& sink) {
        quiet_hdf5();
        return read_hdf5_recording(file, size, options, sink);
      }, recording, containment);
    case RecordingFormat::matlab:
      return read_contained(format_name(format), [&](RecordingSink& sink) {
        quiet_hdf5();
        return read_matlab_recording(file, size, options, sink);
      }, recording, containment);
    case RecordingFormat::text:
    case RecordingFormat::csv:
      break;
  }
  return {RecordingFault::unknown_format};
}

}  // namespace telmor
