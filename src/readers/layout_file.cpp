// Reading a layout file and the grid of a command line.
#include "readers/layout_file.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <string>
#include <cmath>
#include <limits>
#include <system_error>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/file_errors.h"
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

// The spacing rules of a layout checked electrode by electrode in line
// order, each against the earlier ones, in constant time: the leads seen, and
// the electrodes in square cells of the least distance, so that only the
// nine cells around an electrode can hold one too close. The fault is the one
// a comparison with every earlier electrode in order would find first.
class SpacingCheck {
 public:
  LayoutFault add(const Electrode& e) {
    constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
    std::size_t same_lead = kNone;
    if (const auto found = leads_.find(e.lead); found != leads_.end()) same_lead = found->second;
    std::size_t close = kNone;
    const double cx = std::floor(e.x_mm / kMinElectrodeDistanceMm);
    const double cy = std::floor(e.y_mm / kMinElectrodeDistanceMm);
    for (const double dx : {-1.0, 0.0, 1.0}) {
      for (const double dy : {-1.0, 0.0, 1.0}) {
        const auto cell = cells_.find({cx + dx, cy + dy});
        if (cell == cells_.end()) continue;
        for (const std::size_t i : cell->second) {
          if (i < close && too_close(electrodes_[i], e)) close = i;
        }
      }
    }
    if (same_lead != kNone && same_lead <= close) return LayoutFault::lead_twice;
    if (close != kNone) return LayoutFault::too_close;
    leads_.emplace(e.lead, electrodes_.size());
    cells_[{cx, cy}].push_back(electrodes_.size());
    electrodes_.push_back(e);
    return LayoutFault::none;
  }

 private:
  struct CellHash {
    std::size_t operator()(const std::pair<double, double>& c) const {
      return std::hash<double>{}(c.first) * 31u + std::hash<double>{}(c.second);
    }
  };
  std::vector<Electrode> electrodes_;
  std::unordered_map<int, std::size_t> leads_;
  std::unordered_map<std::pair<double, double>, std::vector<std::size_t>, CellHash> cells_;
};

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
  SpacingCheck spacing;
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
    if (layout.electrodes.size() == static_cast<std::size_t>(kMaxLayoutElectrodes))
      return failed(LayoutFault::too_many, number);
    if (const LayoutFault f = spacing.add(e); f != LayoutFault::none) return failed(f, number);
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

std::error_code read_layout_file(const std::filesystem::path& file, LayoutReading& reading) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(file, error);
  if (error) return error;
  if (status.type() == std::filesystem::file_type::directory)
    return std::make_error_code(std::errc::is_a_directory);
  if (status.type() != std::filesystem::file_type::regular) return make_error_code(FileError::not_a_regular_file);
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error) return error;
  if (size > kMaxLayoutFileBytes) return make_error_code(FileError::too_large);
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::make_error_code(std::errc::permission_denied);
  std::string text(static_cast<std::size_t>(size), '\0');
  in.read(text.data(), static_cast<std::streamsize>(size));
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return std::make_error_code(std::errc::io_error);
  reading = parse_layout_csv(text);
  return {};
}

}  // namespace telmor
