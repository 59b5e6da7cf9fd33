// Reading a layout file and the grid of a command line.
#include "readers/layout_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "base/number_text.h"

namespace telmor {
namespace {

std::string_view trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// A decimal number without the locale; infinite, NaN and out-of-range
// values read but are told apart from text that is no number.
LayoutFault read_coordinate(std::string_view text, double& value) {
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, value);
  if (ec == std::errc::result_out_of_range && p == end) return LayoutFault::not_finite;
  if (ec != std::errc{} || p != end || text.empty()) return LayoutFault::bad_number;
  return std::isfinite(value) ? LayoutFault::none : LayoutFault::not_finite;
}

bool too_close(const Electrode& a, const Electrode& b) {
  return std::hypot(a.x_mm - b.x_mm, a.y_mm - b.y_mm) < kMinElectrodeDistanceMm;
}

LayoutReading failed(LayoutFault fault, int line) { return {{}, {fault, line}}; }

LayoutFault read_row(std::string_view line, Electrode& e) {
  std::string_view fields[3];
  for (int i = 0; i < 3; ++i) {
    const std::size_t comma = line.find(',');
    if ((i < 2) != (comma != std::string_view::npos)) return LayoutFault::field_count;
    fields[i] = trim(line.substr(0, comma));
    line = comma == std::string_view::npos ? std::string_view{} : line.substr(comma + 1);
  }
  std::int32_t lead = 0;
  if (!parse_integer(fields[0], lead) || lead < 1) return LayoutFault::bad_lead;
  e.lead = lead;
  if (const LayoutFault f = read_coordinate(fields[1], e.x_mm); f != LayoutFault::none) return f;
  return read_coordinate(fields[2], e.y_mm);
}

}  // namespace

LayoutReading parse_layout_csv(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  ElectrodeLayout layout;
  std::vector<int> lines;  // the line of each electrode, for the faults
  int number = 0;
  bool header = false;
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    const std::string_view line = trim(text.substr(0, lf));
    text = lf == std::string_view::npos ? std::string_view{} : text.substr(lf + 1);
    ++number;
    if (!header) {
      if (line != "lead,x_mm,y_mm") return failed(LayoutFault::no_header, number);
      header = true;
      continue;
    }
    if (line.empty()) continue;
    Electrode e;
    if (const LayoutFault f = read_row(line, e); f != LayoutFault::none) return failed(f, number);
    for (const Electrode& earlier : layout.electrodes) {
      if (earlier.lead == e.lead) return failed(LayoutFault::lead_twice, number);
      if (too_close(earlier, e)) return failed(LayoutFault::too_close, number);
    }
    layout.electrodes.push_back(e);
  }
  if (!header) return failed(LayoutFault::no_header, 1);
  if (layout.electrodes.empty()) return failed(LayoutFault::no_electrodes, number);
  std::sort(layout.electrodes.begin(), layout.electrodes.end(),
            [](const Electrode& a, const Electrode& b) { return a.lead < b.lead; });
  return {std::move(layout), {}};
}

LayoutReading parse_grid_layout(std::string_view grid, std::string_view pitch_mm) {
  const std::size_t x = grid.find_first_of("xX");
  std::int32_t rows = 0;
  std::int32_t columns = 0;
  if (x == std::string_view::npos || !parse_integer(grid.substr(0, x), rows) ||
      !parse_integer(grid.substr(x + 1), columns)) {
    return failed(LayoutFault::bad_grid, 0);
  }
  double pitch = 0.0;
  if (read_coordinate(pitch_mm, pitch) != LayoutFault::none) return failed(LayoutFault::bad_pitch, 0);
  return grid_layout(rows, columns, pitch);
}

}  // namespace telmor
