// Layout files and the grid of a command line: where the electrodes lie, read
// from text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "signal/electrode_layout.h"

namespace telmor {

// Reads a layout file: the header lead,x_mm,y_mm, then one row per lead
// (UTF-8, a byte order mark allowed; LF or CRLF; blanks around fields and
// empty lines ignored; "." decimals read without the locale). Stops at the
// first fault.
LayoutReading parse_layout_csv(std::string_view text);

// The most a layout file holds: a line of every electrode a layout takes,
// with room to spare.
inline constexpr std::uintmax_t kMaxLayoutFileBytes = std::uintmax_t{4} << 20;

// Reads and parses the layout file at file: a regular file only (never
// waiting on a FIFO or reading a device), at most kMaxLayoutFileBytes.
// Returns the file's failure (FileError::not_a_regular_file or too_large, or
// the system's reason) or fills reading.
std::error_code read_layout_file(const std::filesystem::path& file, LayoutReading& reading);

// The grid of the texts of --grid RxC (x or X) and --pitch MM.
LayoutReading parse_grid_layout(std::string_view grid, std::string_view pitch_mm);

}  // namespace telmor
