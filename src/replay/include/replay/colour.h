// The window layer's colours as hex text for the draw log.
#pragma once

#include <string>

#include "console/colour.h"

namespace telmor {

// Six upper-case hex digits, red first: 0x0000FF gives "FF0000".
std::string hex_rrggbb(Rgb colour);

}  // namespace telmor
