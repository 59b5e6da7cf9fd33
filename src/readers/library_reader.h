// What the reader program reads, private to the readers: the request a
// caller makes of it for a file of a library's format, as arguments, and the
// reader the program makes of them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "readers/contained_read.h"
#include "readers/recording_formats.h"

namespace telmor {

struct LibraryReadRequest {
  std::string format;  // "biosig", "hdf5" or "matlab"
  std::filesystem::path file;
  ReadOptions options;
};

// The arguments of a request, and the request of arguments (std::invalid_argument
// for arguments no caller of the program gives):
//   FORMAT FILE [--dataset NAME] [--rate HZ] [--orientation samples-by-leads|leads-by-samples]
std::vector<std::string> library_reader_arguments(const LibraryReadRequest& request);
LibraryReadRequest library_read_request(const std::vector<std::string>& arguments);

// The reader program's reader of a request (in telmor_library_readers).
SinkReader library_reader(const std::vector<std::string>& arguments);

}  // namespace telmor
