// Files the module reads whole (a results file, a recording in text): regular
// files only, opened without waiting, within a bound.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "module_errors.h"
#include "readers/recording_file.h"

namespace telmor::python {

// The whole of the regular file at path, at most max_bytes. It is opened
// without waiting and checked on the open descriptor, so a FIFO or device is
// never waited on or read, even one put there after a look at the path. The
// system's refusals raise its OSError (FileNotFoundError, PermissionError,
// IsADirectoryError for a folder); a FIFO, device or socket, or a file beyond
// max_bytes, fails with a ModuleError of kind naming the file.
TextBuffer file_text(const std::filesystem::path& path, ErrorKind kind, std::uintmax_t max_bytes);

// The same checks without reading, for the formats whose library opens the path.
void check_regular_file(const std::filesystem::path& path, ErrorKind kind);

}  // namespace telmor::python
