// Delaunay triangles from Qhull's reentrant library.
#include "tissue/triangulation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

extern "C" {
#include <libqhull_r/qhull_ra.h>
}

namespace telmor {
namespace {

double cross(PointMm o, PointMm a, PointMm b) {
  return (a.x_mm - o.x_mm) * (b.y_mm - o.y_mm) - (a.y_mm - o.y_mm) * (b.x_mm - o.x_mm);
}

// Whether some three points span an area: Qhull refuses flat input with an
// error, which is no error here but a map without triangles.
bool spans_plane(std::span<const PointMm> points, double tolerance) {
  if (points.size() < 3) return false;
  // The point farthest from the first, then the one farthest from that line.
  std::size_t far = 0;
  double best = 0.0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double d = std::hypot(points[i].x_mm - points[0].x_mm, points[i].y_mm - points[0].y_mm);
    if (d > best) {
      best = d;
      far = i;
    }
  }
  if (far == 0) return false;
  for (const PointMm& p : points) {
    if (std::abs(cross(points[0], points[far], p)) > tolerance * best) return true;
  }
  return false;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Where Qhull writes its messages: nowhere, since a failure here is no
// triangles and not a message to anyone.
std::unique_ptr<std::FILE, FileCloser> null_file() {
#ifdef _WIN32
  return std::unique_ptr<std::FILE, FileCloser>(std::fopen("NUL", "w"));
#else
  return std::unique_ptr<std::FILE, FileCloser>(std::fopen("/dev/null", "w"));
#endif
}

}  // namespace

std::vector<Triangle> delaunay_triangles(std::span<const PointMm> points) {
  std::vector<Triangle> triangles;
  double extent = 0.0;
  for (const PointMm& p : points) {
    extent = std::max({extent, std::abs(p.x_mm - points[0].x_mm), std::abs(p.y_mm - points[0].y_mm)});
  }
  const double tolerance = 1e-9 * extent;
  if (!spans_plane(points, tolerance)) return triangles;
  const auto errors = null_file();
  if (!errors) return triangles;

  std::vector<coordT> coordinates;
  coordinates.reserve(points.size() * 2);
  for (const PointMm& p : points) {
    coordinates.push_back(p.x_mm);
    coordinates.push_back(p.y_mm);
  }
  auto qh_storage = std::make_unique<qhT>();
  qhT* qh = qh_storage.get();
  qh_zero(qh, errors.get());
  char options[] = "qhull d Qt Qbb Qc Qz Q12";
  const int status = qh_new_qhull(qh, 2, static_cast<int>(points.size()), coordinates.data(), False,
                                  options, nullptr, errors.get());
  if (status == 0) {
    facetT* facet = nullptr;
    FORALLfacets {
      if (facet->upperdelaunay) continue;
      Triangle t{};
      int n = 0;
      vertexT* vertex = nullptr;
      vertexT** vertexp = nullptr;
      FOREACHvertex_(facet->vertices) {
        if (n < 3) t[static_cast<std::size_t>(n)] = qh_pointid(qh, vertex->point);
        ++n;
      }
      if (n != 3) continue;
      const double area = cross(points[static_cast<std::size_t>(t[0])], points[static_cast<std::size_t>(t[1])],
                                points[static_cast<std::size_t>(t[2])]);
      if (std::abs(area) <= tolerance * extent) continue;
      if (area < 0) std::swap(t[1], t[2]);
      triangles.push_back(t);
    }
  }
  int long_left = 0;
  int total_long = 0;
  qh_freeqhull(qh, !qh_ALL);
  qh_memfreeshort(qh, &long_left, &total_long);
  if (status != 0) triangles.clear();
  return triangles;
}

}  // namespace telmor
