// The Delaunay triangulation of electrode positions (Qhull, as scipy's
// Delaunay uses it), the linear interpolation of values over its triangles
// and the isolines of that interpolation.
#pragma once

#include <array>
#include <span>
#include <vector>

namespace telmor {

struct PointMm {
  double x_mm = 0.0;
  double y_mm = 0.0;
};

// Three indices into the points, counter-clockwise (positive area with y up).
using Triangle = std::array<int, 3>;

// The triangles of the Delaunay triangulation of points (Qhull's options
// "d Qt Qbb Qc Qz Q12"); cocircular points are split into triangles. Fewer
// than 3 points, all points on one line, or a failure of Qhull give no
// triangles. Triangles of no area (relative to the points' extent) are left out.
std::vector<Triangle> delaunay_triangles(std::span<const PointMm> points);

// Values at points, linear over each triangle.
struct ScalarMap {
  std::vector<PointMm> points;
  std::vector<double> values;
  std::vector<Triangle> triangles;
};

// The map of the points whose value is finite (the others are gaps and take
// no part in the triangulation).
ScalarMap scalar_map(std::span<const PointMm> points, std::span<const double> values);

// The linear interpolation at p from the first triangle that holds it (its
// edges included); NaN outside every triangle.
double map_value(const ScalarMap& map, PointMm p);

// One piece of an isoline: where the map equals level inside one triangle.
struct IsoSegment {
  double level = 0.0;
  PointMm a;
  PointMm b;
};

// The isolines at every whole multiple of step between the lowest and the
// highest value, triangle by triangle (marching triangles: a vertex counts
// as above a level when its value is at or above it, so that each crossing
// is found once). No segments for a step that is not finite and above 0,
// or for more than max_levels levels.
std::vector<IsoSegment> isolines(const ScalarMap& map, double step, int max_levels = 1000);

}  // namespace telmor
