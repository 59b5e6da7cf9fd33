// Analysis.maps: conduction velocity, restitution and dispersion of an
// analysis's marks, with the electrodes where Python says they are.
#pragma once

#include <pybind11/pybind11.h>

#include <optional>

#include "timing/analysis.h"

namespace telmor::python {

namespace py = pybind11;

// layout: {lead: (x_mm, y_mm)} or an array of rows (x_mm, y_mm), row i for
// lead i + 1. A dict of tables: left_out, cv, restitution,
// restitution_slopes, dispersion.
py::dict maps_of(const Analysis& a, const py::object& layout_given, std::optional<double> radius_mm);

}  // namespace telmor::python
