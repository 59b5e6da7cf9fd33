// telmor.analyse: a recording from Python and the keywords of its settings,
// checked as the analysis bounds them, analysed without the GIL.
#pragma once

#include <pybind11/pybind11.h>

#include <optional>
#include <string>
#include <utility>

#include "py_analysis.h"

namespace telmor::python {

namespace py = pybind11;

PyAnalysis analyse_wave(const py::object& wave, std::optional<double> fs, int smooth, double ratio,
                        const py::object& ranges, int beat_lead, const std::string& estimator,
                        std::optional<int> rt_smooth, std::optional<int> rt_margin,
                        std::optional<std::pair<int, int>> rt_window, int blank_before, int blank_after,
                        bool derivative);

}  // namespace telmor::python
