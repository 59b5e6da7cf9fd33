// Where the electrodes of a recording lie: read from a layout file's text or
// made as a regular grid. Maps, conduction velocity and figures use these
// positions; a lead without one takes no part in them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace telmor {

struct Electrode {
  int lead = 0;  // 1, 2, ...
  double x_mm = 0.0;
  double y_mm = 0.0;
};

// The positioned electrodes, by ascending lead.
struct ElectrodeLayout {
  std::vector<Electrode> electrodes;
};

// Closer than this two electrodes are taken for one placed twice.
inline constexpr double kMinElectrodeDistanceMm = 0.001;
// The most electrodes of a layout (a file's or a grid's): far beyond the
// largest arrays, and what a layout's checks and maps do in well under a
// second.
inline constexpr int kMaxLayoutElectrodes = 10000;

enum class LayoutFault : std::uint8_t {
  none,
  no_header,         // the text is empty or its first line is not lead,x_mm,y_mm
  field_count,       // the line does not hold three comma-separated fields
  bad_lead,          // the lead is not a whole number from 1 on
  bad_number,        // x_mm or y_mm is not a decimal number
  not_finite,        // x_mm or y_mm is infinite or not a number
  lead_twice,        // the lead has a position on an earlier line already
  too_close,         // closer than 1 µm to the electrode of an earlier line
  no_electrodes,     // the file holds the header only
  bad_grid,          // not RxC with whole R, C from 1 on, kMaxLayoutElectrodes at most
  bad_pitch,         // the pitch is not a finite number of at least 1 µm
  too_many,          // more than kMaxLayoutElectrodes electrodes (line: the first one too many)
};

// What went wrong and on which line of the layout file (1: the header; 0 for
// the grid's faults).
struct LayoutProblem {
  LayoutFault fault = LayoutFault::none;
  int line = 0;

  explicit operator bool() const { return fault != LayoutFault::none; }
  friend bool operator==(const LayoutProblem&, const LayoutProblem&) = default;
};

struct LayoutReading {
  ElectrodeLayout layout;  // empty unless problem is none
  LayoutProblem problem;
};

// Lead n at column (n - 1) mod columns and row (n - 1) div columns, at
// x = column * pitch, y = row * pitch: rows * columns electrodes.
LayoutReading grid_layout(int rows, int columns, double pitch_mm);

}  // namespace telmor
