// The times of one beat at the positioned electrodes.
#include "tissue/beat_maps.h"

#include <cmath>
#include <utility>

#include "timing/mark_figures.h"

namespace telmor {

double mark_time(const OwnedMarks& marks) {
  if (marks.count != 1) return std::nan("");
  return std::isfinite(marks.fine_ms) ? marks.fine_ms : static_cast<double>(marks.earliest);
}

namespace {

bool flagged(const OwnedMarks& marks, bool at) {
  const double weak = at ? kWeakAtQuality : kWeakRtQuality;
  return marks.flag == MarkFlag::near_edge || marks.quality < weak;
}

}  // namespace

double mapped_time(const BeatTable& table, int lead, const OwnedMarks& marks, bool at) {
  if (table.dead(lead) || flagged(marks, at)) return std::nan("");
  return mark_time(marks);
}

LeftOut left_out(const BeatTable& table) {
  LeftOut out;
  for (int lead = 1; lead <= table.leads; ++lead) {
    for (int beat = 1; beat <= table.beat_count(); ++beat) {
      const BeatCell& cell = table.cell(lead, beat);
      for (const auto& [marks, at] : {std::pair{&cell.at, true}, std::pair{&cell.rt, false}}) {
        if (marks->count != 1) continue;
        if (table.dead(lead)) {
          ++out.dead_lead;
        } else if (flagged(*marks, at)) {
          ++out.flagged;
        }
      }
    }
  }
  return out;
}

BeatMap beat_map(const BeatTable& table, const ElectrodeLayout& layout, int beat) {
  BeatMap map;
  if (beat < 1 || beat > table.beat_count()) return map;
  map.beat = beat;
  map.beat_ms = table.beats[static_cast<std::size_t>(beat - 1)];
  for (const Electrode& e : layout.electrodes) {
    if (e.lead < 1 || e.lead > table.leads) continue;
    const BeatCell& cell = table.cell(e.lead, beat);
    const double at = mapped_time(table, e.lead, cell.at, true);
    const double rt = mapped_time(table, e.lead, cell.rt, false);
    map.electrodes.push_back(
        {e.lead, {e.x_mm, e.y_mm}, at, rt, rt - at, std::isfinite(rt) ? cell.rt.polarity : TPolarity::none});
  }
  return map;
}

std::vector<BeatMap> beat_maps(const BeatTable& table, const ElectrodeLayout& layout) {
  std::vector<BeatMap> maps;
  for (int beat = 1; beat <= table.beat_count(); ++beat) maps.push_back(beat_map(table, layout, beat));
  return maps;
}

int middle_beat(const BeatTable& table) { return (table.beat_count() + 1) / 2; }

ScalarMap times_map(const BeatMap& map, double ElectrodeTimes::*time) {
  std::vector<PointMm> points;
  std::vector<double> values;
  for (const ElectrodeTimes& e : map.electrodes) {
    points.push_back(e.position);
    values.push_back(e.*time);
  }
  return scalar_map(points, values);
}

}  // namespace telmor
