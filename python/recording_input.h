// Recordings from Python: a file in any format the readers know, a
// telmor.Recording, or any 2-D array-like of real numbers.
#pragma once

#include <pybind11/pybind11.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "signal/recording.h"

namespace telmor::python {

namespace py = pybind11;

// A recording in any format the readers know, as (data samples × leads
// float32, fs, labels, units, source); telmor.read_recording wraps it.
py::tuple read_any(const std::filesystem::path& path, std::optional<int> leads, std::optional<int> seconds,
                   std::optional<std::string> dataset, std::optional<double> rate,
                   std::optional<std::string> orientation);

// A telmor.Recording's data, rate and labels; any other array-like as it is,
// at fs (1000 Hz when not given), without labels. Each value is rounded to a
// 32-bit real; a value that is not finite is refused.
Recording recording_given(const py::object& wave, std::optional<double> fs, std::vector<std::string>& labels);

}  // namespace telmor::python
