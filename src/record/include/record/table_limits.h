// The sizes of the interactive program's fixed tables.
#pragma once

#include "results/mark_tables.h"  // kMaxLeads, kMaxRows: the results file's

namespace telmor {

inline constexpr int kMaxSamples = 30000;
inline constexpr int kBlockSamples = 1000;  // one second

}  // namespace telmor
