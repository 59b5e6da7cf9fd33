// The results file from Python: written as s saves it, read as o loads it.
#pragma once

#include <pybind11/pybind11.h>

#include <filesystem>

#include "py_analysis.h"

namespace telmor::python {

namespace py = pybind11;

// Writes the results file whole or not at all; a results file's limits and
// format refused as ValueError, the system's refusals as its OSError.
void write_results(const std::filesystem::path& path, const PyAnalysis& analysis);
// (at, rt), each rows × leads; a damaged file raises ResultsError.
py::tuple read_results(const std::filesystem::path& path, int leads);

}  // namespace telmor::python
