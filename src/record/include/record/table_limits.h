// The sizes of the interactive program's fixed tables.
#pragma once

namespace telmor {

inline constexpr int kMaxLeads = 20;
inline constexpr int kMaxSamples = 30000;
inline constexpr int kMaxRows = 200;        // beats, and rows of the AT/RT tables
inline constexpr int kBlockSamples = 1000;  // one second

}  // namespace telmor
