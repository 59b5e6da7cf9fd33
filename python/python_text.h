// Text between the core and Python: UTF-8 that is not always valid (a label
// or unit from a Latin-1 file, a path's bytes) never raises on its way to
// Python, and errors carry such text too.
#pragma once

#include <pybind11/pybind11.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace telmor::python {

namespace py = pybind11;

// utf8 as a Python str, each byte that is not valid UTF-8 replaced by U+FFFD.
py::str text(std::string_view utf8);
py::list texts(const std::vector<std::string>& utf8);

// A Python str as UTF-8, a lone surrogate (an undecodable byte of a path that
// os.fsdecode kept) as '?'.
std::string utf8_of(py::handle value);

// A path as Python spells it (os.fsdecode: its bytes kept), for an OSError's filename.
py::object path_object(const std::filesystem::path& path);

// A path in a message: quoted, its invalid bytes shown as U+FFFD.
std::string quoted(const std::filesystem::path& path);

// Raises the OSError of errno_value for path (FileNotFoundError, PermissionError...).
[[noreturn]] void raise_os_error(int errno_value, const std::filesystem::path& path);

}  // namespace telmor::python
