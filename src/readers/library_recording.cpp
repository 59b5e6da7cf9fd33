// The formats read through their libraries, one at a time: the HDF5 library
// of Debian is not built thread-safe (matio's v7.3 files go through it too),
// nor is biosig's reader, and the batch reads with several threads.
#include <mutex>

#include "biosig_recording.h"
#include "hdf5_recording.h"
#include "matlab_recording.h"
#include "readers/recording_formats.h"

namespace telmor {

bool format_available(RecordingFormat) { return true; }

RecordingProblem read_library_recording(RecordingFormat format, const std::filesystem::path& file,
                                        const ReadOptions& options, Recording& recording) {
  static std::mutex libraries;
  const std::lock_guard lock(libraries);
  switch (format) {
    case RecordingFormat::biosig:
      return read_biosig_recording(file, options, recording);
    case RecordingFormat::hdf5:
      return read_hdf5_recording(file, options, recording);
    case RecordingFormat::matlab:
      return read_matlab_recording(file, options, recording);
    case RecordingFormat::text:
    case RecordingFormat::csv:
      break;
  }
  return {RecordingFault::unknown_format};
}

}  // namespace telmor
