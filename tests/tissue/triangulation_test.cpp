// Delaunay triangles, linear interpolation inside the hull only, and
// isolines that lie where a linear field has their level.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tissue/triangulation.h"

namespace telmor {
namespace {

double signed_area(const std::vector<PointMm>& p, const Triangle& t) {
  const PointMm &a = p[static_cast<std::size_t>(t[0])], &b = p[static_cast<std::size_t>(t[1])],
                &c = p[static_cast<std::size_t>(t[2])];
  return 0.5 * ((b.x_mm - a.x_mm) * (c.y_mm - a.y_mm) - (b.y_mm - a.y_mm) * (c.x_mm - a.x_mm));
}

std::vector<PointMm> grid(int rows, int columns, double pitch) {
  std::vector<PointMm> p;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) p.push_back({c * pitch, r * pitch});
  }
  return p;
}

TEST(Delaunay, TooFewOrCollinearPointsGiveNoTriangles) {
  EXPECT_TRUE(delaunay_triangles({}).empty());
  const std::vector<PointMm> two = {{0, 0}, {1, 0}};
  EXPECT_TRUE(delaunay_triangles(two).empty());
  const std::vector<PointMm> line = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {5, 5}};
  EXPECT_TRUE(delaunay_triangles(line).empty());
}

TEST(Delaunay, AGridIsCoveredByTwoTrianglesPerCell) {
  // Cocircular corners of every cell: the triangulation splits each cell
  // into two, and the triangles cover the 3 x 4 mm rectangle once.
  const std::vector<PointMm> p = grid(4, 5, 1.0);
  const std::vector<Triangle> t = delaunay_triangles(p);
  EXPECT_EQ(t.size(), 24u);
  double area = 0.0;
  for (const Triangle& tri : t) {
    EXPECT_GT(signed_area(p, tri), 0.0);
    area += signed_area(p, tri);
  }
  EXPECT_NEAR(area, 12.0, 1e-12);
}

TEST(Delaunay, ATriangleWithAPointInsideHasThree) {
  const std::vector<PointMm> p = {{0, 0}, {4, 0}, {0, 4}, {1, 1}};
  EXPECT_EQ(delaunay_triangles(p).size(), 3u);
}

TEST(ScalarMap, ReproducesALinearFieldInsideAndNothingOutside) {
  std::vector<PointMm> p = {{0, 0}, {3, 0.5}, {1, 2}, {2.5, 3}, {-1, 1.5}, {1.2, 0.9}};
  std::vector<double> v;
  for (const PointMm& q : p) v.push_back(10.0 + 2.0 * q.x_mm - 3.0 * q.y_mm);
  const ScalarMap m = scalar_map(p, v);
  ASSERT_FALSE(m.triangles.empty());
  for (const PointMm q : {PointMm{1.0, 1.0}, PointMm{2.0, 1.5}, PointMm{0.0, 1.0}, PointMm{3.0, 0.5}}) {
    EXPECT_NEAR(map_value(m, q), 10.0 + 2.0 * q.x_mm - 3.0 * q.y_mm, 1e-9);
  }
  EXPECT_TRUE(std::isnan(map_value(m, {3.0, 3.0})));
  EXPECT_TRUE(std::isnan(map_value(m, {-2.0, 0.0})));
}

TEST(ScalarMap, GapsTakeNoPart) {
  const std::vector<PointMm> p = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  const std::vector<double> v = {1.0, 2.0, 3.0, std::nan("")};
  const ScalarMap m = scalar_map(p, v);
  EXPECT_EQ(m.points.size(), 3u);
  EXPECT_EQ(m.triangles.size(), 1u);
  EXPECT_TRUE(std::isnan(map_value(m, {0.9, 0.9})));
  EXPECT_NEAR(map_value(m, {0.25, 0.25}), 1.0 + 0.25 + 0.5, 1e-12);
}

TEST(Isolines, LieOnTheLevelsOfALinearField) {
  // T = 2x + y over 0..4 x 0..3: levels 0, 1.5, ..., 10.5 (the highest is 11).
  const std::vector<PointMm> p = grid(4, 5, 1.0);
  std::vector<double> v;
  for (const PointMm& q : p) v.push_back(2.0 * q.x_mm + q.y_mm);
  const ScalarMap m = scalar_map(p, v);
  const std::vector<IsoSegment> s = isolines(m, 1.5);
  ASSERT_FALSE(s.empty());
  std::vector<bool> seen(8, false);
  for (const IsoSegment& seg : s) {
    EXPECT_NEAR(2.0 * seg.a.x_mm + seg.a.y_mm, seg.level, 1e-9);
    EXPECT_NEAR(2.0 * seg.b.x_mm + seg.b.y_mm, seg.level, 1e-9);
    const double k = seg.level / 1.5;
    ASSERT_NEAR(k, std::round(k), 1e-12);
    seen[static_cast<std::size_t>(std::lround(k))] = true;
  }
  // Level 0 touches a single corner only; every other level crosses the map.
  for (std::size_t k = 1; k < seen.size(); ++k) EXPECT_TRUE(seen[k]) << k;
  EXPECT_TRUE(isolines(m, 0.0).empty());
  EXPECT_TRUE(isolines(m, 1e-6).empty());  // beyond the number of levels allowed
}

}  // namespace
}  // namespace telmor
