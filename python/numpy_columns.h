// The core's tables as numpy arrays and pandas frames.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>
#include <type_traits>
#include <vector>

#include "signal/recording.h"

namespace telmor::python {

namespace py = pybind11;

// rows × columns of value(i, j).
template <typename T>
py::array_t<T> table(int rows, int columns, auto&& value) {
  py::array_t<T> out({rows, columns});
  auto view = out.template mutable_unchecked<2>();
  for (py::ssize_t i = 0; i < rows; ++i) {
    for (py::ssize_t j = 0; j < columns; ++j) view(i, j) = value(static_cast<int>(i), static_cast<int>(j));
  }
  return out;
}

// One column of values.
template <typename T>
py::array_t<T> column(const std::vector<T>& values) {
  return py::array_t<T>(static_cast<py::ssize_t>(values.size()), values.data());
}

// One column of a member of every item.
template <typename Items, typename Member>
auto column_of(const Items& items, Member member) {
  using T = std::decay_t<decltype(items.front().*member)>;
  std::vector<T> values;
  for (const auto& item : items) values.push_back(item.*member);
  return column(values);
}

// Texts as a numpy array of objects.
py::object text_column(const std::vector<std::string>& texts);

// Columns of equal length as numpy arrays, as a DataFrame when pandas is importable.
py::object frame(const py::dict& columns);

// Samples × leads, as numpy users hold a recording.
py::array_t<float> samples_by_leads(const Recording& r);

}  // namespace telmor::python
