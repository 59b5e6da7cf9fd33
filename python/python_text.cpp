// Text between the core and Python.
#include "python_text.h"

#include <cerrno>

namespace telmor::python {

py::str text(std::string_view utf8) {
  PyObject* decoded = PyUnicode_DecodeUTF8(utf8.data(), static_cast<Py_ssize_t>(utf8.size()), "replace");
  if (decoded == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(decoded);
}

py::list texts(const std::vector<std::string>& utf8) {
  py::list list;
  for (const std::string& item : utf8) list.append(text(item));
  return list;
}

std::string utf8_of(py::handle value) {
  const py::str given = py::str(value);
  PyObject* encoded = PyUnicode_AsEncodedString(given.ptr(), "utf-8", "replace");
  if (encoded == nullptr) throw py::error_already_set();
  const auto bytes = py::reinterpret_steal<py::bytes>(encoded);
  return std::string(bytes);
}

py::object path_object(const std::filesystem::path& path) {
  PyObject* decoded = PyUnicode_DecodeFSDefault(path.c_str());
  if (decoded == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(decoded);
}

std::string quoted(const std::filesystem::path& path) {
  return "'" + utf8_of(text(path.string())) + "'";
}

void raise_os_error(int errno_value, const std::filesystem::path& path) {
  errno = errno_value;
  PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, path_object(path).ptr());
  throw py::error_already_set();
}

}  // namespace telmor::python
