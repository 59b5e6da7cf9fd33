// The module's refusals as Python's exceptions.
#include "module_errors.h"

#include "python_text.h"

namespace telmor::python {
namespace {

// The module's exception types, made once when it is imported and kept for
// the interpreter's life.
PyObject* recording_type = nullptr;
PyObject* results_type = nullptr;

PyObject* type_of(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::recording:
      return recording_type;
    case ErrorKind::results:
      return results_type;
    case ErrorKind::value:
      break;
  }
  return PyExc_ValueError;
}

}  // namespace

void fail(ErrorKind kind, const std::string& message) { throw ModuleError(kind, message); }

void register_module_errors(py::module_& module) {
  // Released: the types outlive whatever the module's dict does with them.
  recording_type = py::exception<ModuleError>(module, "RecordingError", PyExc_ValueError).release().ptr();
  results_type = py::exception<ModuleError>(module, "ResultsError", PyExc_Exception).release().ptr();
  py::register_exception_translator([](std::exception_ptr thrown) {
    try {
      if (thrown) std::rethrow_exception(thrown);
    } catch (const ModuleError& error) {
      PyErr_SetObject(type_of(error.kind()), text(error.what()).ptr());
    }
  });
}

}  // namespace telmor::python
