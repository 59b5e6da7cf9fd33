// The two kinds of mark: an activation time (AT, the steepest fall) and a
// recovery time (RT, the highest derivative peak).
#pragma once

#include <cstdint>
#include <string_view>

namespace telmor {

enum class MarkKind : std::uint8_t { at, rt };

// "AT" or "RT", as every table and message names them.
constexpr std::string_view mark_kind_name(MarkKind kind) { return kind == MarkKind::at ? "AT" : "RT"; }

}  // namespace telmor
