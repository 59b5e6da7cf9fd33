// Linear interpolation over triangles and its isolines.
#include <cmath>
#include <limits>

#include "tissue/triangulation.h"

namespace telmor {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
namespace {

const PointMm& at(const ScalarMap& map, const Triangle& t, int k) {
  return map.points[static_cast<std::size_t>(t[static_cast<std::size_t>(k)])];
}
double value(const ScalarMap& map, const Triangle& t, int k) {
  return map.values[static_cast<std::size_t>(t[static_cast<std::size_t>(k)])];
}

PointMm crossing(PointMm a, double va, PointMm b, double vb, double level) {
  const double f = (level - va) / (vb - va);
  return {a.x_mm + f * (b.x_mm - a.x_mm), a.y_mm + f * (b.y_mm - a.y_mm)};
}

}  // namespace

ScalarMap scalar_map(std::span<const PointMm> points, std::span<const double> values) {
  ScalarMap map;
  for (std::size_t i = 0; i < points.size() && i < values.size(); ++i) {
    if (!std::isfinite(values[i])) continue;
    map.points.push_back(points[i]);
    map.values.push_back(values[i]);
  }
  map.triangles = delaunay_triangles(map.points);
  return map;
}

double map_value(const ScalarMap& map, PointMm p) {
  for (const Triangle& t : map.triangles) {
    const PointMm &a = at(map, t, 0), &b = at(map, t, 1), &c = at(map, t, 2);
    // Barycentric weights; a small slack keeps points on a shared edge inside.
    const double area = (b.x_mm - a.x_mm) * (c.y_mm - a.y_mm) - (b.y_mm - a.y_mm) * (c.x_mm - a.x_mm);
    const double wb = ((p.x_mm - a.x_mm) * (c.y_mm - a.y_mm) - (p.y_mm - a.y_mm) * (c.x_mm - a.x_mm)) / area;
    const double wc = ((b.x_mm - a.x_mm) * (p.y_mm - a.y_mm) - (b.y_mm - a.y_mm) * (p.x_mm - a.x_mm)) / area;
    const double wa = 1.0 - wb - wc;
    constexpr double kSlack = -1e-12;
    if (wa >= kSlack && wb >= kSlack && wc >= kSlack) {
      return wa * value(map, t, 0) + wb * value(map, t, 1) + wc * value(map, t, 2);
    }
  }
  return std::nan("");
}

std::vector<IsoSegment> isolines(const ScalarMap& map, double step, int max_levels) {
  std::vector<IsoSegment> segments;
  if (!std::isfinite(step) || !(step > 0.0) || map.triangles.empty()) return segments;
  double low = kInfinity;
  double high = -kInfinity;
  for (const double v : map.values) {
    low = std::fmin(low, v);
    high = std::fmax(high, v);
  }
  const double first = std::ceil(low / step);
  const double last = std::floor(high / step);
  if (last - first + 1.0 > max_levels) return segments;
  for (double k = first; k <= last; k += 1.0) {
    const double level = k * step;
    for (const Triangle& t : map.triangles) {
      PointMm ends[2];
      int found = 0;
      for (int e = 0; e < 3; ++e) {
        const double va = value(map, t, e), vb = value(map, t, (e + 1) % 3);
        if ((va >= level) != (vb >= level) && found < 2) {
          ends[found++] = crossing(at(map, t, e), va, at(map, t, (e + 1) % 3), vb, level);
        }
      }
      // A vertex exactly at the level alone gives a point, not a line.
      if (found == 2 && (ends[0].x_mm != ends[1].x_mm || ends[0].y_mm != ends[1].y_mm)) {
        segments.push_back({level, ends[0], ends[1]});
      }
    }
  }
  return segments;
}

}  // namespace telmor
