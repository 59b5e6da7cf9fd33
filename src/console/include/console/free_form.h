// The free-form reading of a typed reply line: its first item.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace telmor {

// The first item of a typed line: after leading blanks or tabs, a run of
// characters up to the first blank, tab, comma or slash, or a quoted string
// ('...' or "...", a doubled quote inside standing for one). A line that
// starts with a comma or slash holds an empty item. A line of blanks only
// holds no item at all: nullopt, and the read goes on waiting.
std::optional<std::string> first_item(std::string_view line);

}  // namespace telmor
