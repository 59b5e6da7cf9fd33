// Layout files and the grid of a command line: where the electrodes lie, read
// from text.
#pragma once

#include <string_view>

#include "signal/electrode_layout.h"

namespace telmor {

// Reads a layout file: the header lead,x_mm,y_mm, then one row per lead
// (UTF-8, a byte order mark allowed; LF or CRLF; blanks around fields and
// empty lines ignored; "." decimals read without the locale). Stops at the
// first fault.
LayoutReading parse_layout_csv(std::string_view text);

// The grid of the texts of --grid RxC (x or X) and --pitch MM.
LayoutReading parse_grid_layout(std::string_view grid, std::string_view pitch_mm);

}  // namespace telmor
