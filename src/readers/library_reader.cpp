// The reader program's readers: the format library asked for, on the file
// named, with the options the caller was given.
#include <hdf5.h>

#include "biosig_recording.h"
#include "hdf5_recording.h"
#include "library_reader.h"
#include "matlab_recording.h"
#include "readers/biosig_header.h"
#include "readers/recording_file.h"

namespace telmor {
namespace {

// The HDF5 library as the reader meets it, for its own files and matio's
// v7.3 ones: its reasons returned rather than printed, and no filter loaded
// from a plugin folder.
void quiet_hdf5() {
  H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
  H5PLset_loading_state(0);
}

RecordingProblem read_library_file(const LibraryReadRequest& request, RecordingSink& sink) {
  FileStart start;
  const bool biosig = request.format == "biosig";
  if (const FileRead read = read_file_start(request.file, biosig ? biosig_header_reach() : 0, start);
      read.fault != FileReadFault::none)
    return recording_problem_of(read);
  if (biosig) {
    BiosigLayout layout;
    if (RecordingProblem p = check_biosig_header(start.bytes, start.size, layout)) return p;
    return read_biosig_recording(request.file, layout, request.options, sink);
  }
  quiet_hdf5();
  if (request.format == "hdf5") return read_hdf5_recording(request.file, start.size, request.options, sink);
  if (request.format == "matlab") return read_matlab_recording(request.file, start.size, request.options, sink);
  return {RecordingFault::unknown_format, 0, 0, 0, request.format};
}

}  // namespace

SinkReader library_reader(const std::vector<std::string>& arguments) {
  const LibraryReadRequest request = library_read_request(arguments);
  return [request](RecordingSink& sink) { return read_library_file(request, sink); };
}

}  // namespace telmor
