// An analysis's marks and settings as Python holds them: columns of numpy
// arrays, the summary's but the recording, and a dict of the settings.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "timing/analysis.h"

namespace telmor::python {

namespace py = pybind11;

// The summary's columns but the recording: one entry per lead and beat.
py::dict marks_of(const Analysis& a, const std::vector<std::string>& labels);
py::dict settings_of(const AnalysisSettings& s);

}  // namespace telmor::python
