// Files the module reads whole (a results file, a recording in text): regular
// files only, opened without waiting, within a bound.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "readers/recording_file.h"

namespace telmor::python {

namespace py = pybind11;

// The whole of the regular file at path, at most max_bytes. It is opened
// without waiting and checked on the open descriptor, so a FIFO or device is
// never waited on or read, even one put there after a look at the path. The
// system's refusals raise its OSError (FileNotFoundError, PermissionError,
// IsADirectoryError for a folder); a FIFO, device or socket, or a file beyond
// max_bytes, raises error_type naming the file.
TextBuffer file_text(const std::filesystem::path& path, py::handle error_type, std::uintmax_t max_bytes);

// The same checks without reading, for the formats whose library opens the path.
void check_regular_file(const std::filesystem::path& path, py::handle error_type);

}  // namespace telmor::python
