// The instruction sets the preparation's fits can run on. Every one gives the
// same bits; the wider ones run more leads per instruction.
#pragma once

#include <string_view>
#include <vector>

namespace telmor {

enum class PreparationIsa { baseline, avx2, avx512 };

std::string_view isa_name(PreparationIsa isa);

// The instruction sets this computer runs, the baseline first, the widest last.
// A preparation asked to run on one it lacks runs on the widest it has.
std::vector<PreparationIsa> available_isas();

}  // namespace telmor
