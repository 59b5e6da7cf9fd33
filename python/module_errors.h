// The module's own refusals as C++ exceptions of three kinds, made Python's
// exceptions in one place, the translator the module registers: code that
// refuses needs no Python error state and may throw with the GIL released.
#pragma once

#include <pybind11/pybind11.h>

#include <stdexcept>
#include <string>

namespace telmor::python {

namespace py = pybind11;

enum class ErrorKind {
  value,      // ValueError: an argument the analysis cannot take
  recording,  // telmor.RecordingError (a ValueError): a recording file or wave that cannot be analysed
  results,    // telmor.ResultsError: a results file that cannot be read
};

class ModuleError : public std::runtime_error {
 public:
  ModuleError(ErrorKind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

// Throws a ModuleError of kind with message (its invalid bytes are replaced
// on the way to Python).
[[noreturn]] void fail(ErrorKind kind, const std::string& message);
[[noreturn]] inline void fail_value(const std::string& message) { fail(ErrorKind::value, message); }

// Makes RecordingError and ResultsError in module and registers the
// translator of every ModuleError.
void register_module_errors(py::module_& module);

}  // namespace telmor::python
