// An analysis as the module holds it: the core's result, shared and
// read-only, with the labels of the recording it was made of.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "timing/analysis.h"

namespace telmor::python {

struct PyAnalysis {
  std::shared_ptr<const Analysis> a;
  std::vector<std::string> labels;  // lead j at [j - 1]: "" where none is known
};

}  // namespace telmor::python
