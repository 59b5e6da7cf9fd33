// The core's tables as numpy arrays and pandas frames.
#include "numpy_columns.h"

namespace telmor::python {

py::object text_column(const std::vector<std::string>& texts) {
  py::list list;
  for (const std::string& text : texts) list.append(text);
  return py::module_::import("numpy").attr("array")(list, "object");
}

py::object frame(const py::dict& columns) {
  try {
    return py::module_::import("pandas").attr("DataFrame")(columns);
  } catch (const py::error_already_set& e) {
    if (!e.matches(PyExc_ImportError)) throw;
    return columns;
  }
}

py::array_t<float> samples_by_leads(const Recording& r) {
  return table<float>(r.sample_count, r.lead_count,
                      [&](int i, int j) { return r.value(j + 1, i + 1); });
}

}  // namespace telmor::python
