// What a workspace keeps, for the steps of an analysis that use it.
#pragma once

#include "fitting/prepare_signals.h"
#include "timing/analysis.h"

namespace telmor {

struct AnalysisWorkspace::Parts {
  PreparationCache fits;
};

}  // namespace telmor
