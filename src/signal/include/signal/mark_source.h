// Where an AT or RT mark came from.
#pragma once

#include <cstdint>

namespace telmor {

// Found by the automatic detection, added by a click in a correction pass, or
// read from a results file.
enum class MarkSource : std::uint8_t { none, detected, hand, loaded };

}  // namespace telmor
