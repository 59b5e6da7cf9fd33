// Conduction velocity by a local quadratic surface or by triangle planes.
#include "tissue/conduction_velocity.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <set>

#include "timing/order_statistic.h"

namespace telmor {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
namespace {

constexpr double kRadiusFactor = 2.5;
// Less change of the activation time than this over a fit's extent is an
// even arrival (rounding, not a slope): no direction, no finite speed.
constexpr double kEvenArrivalMs = 1e-9;

struct Activation {
  int lead = 0;
  PointMm p;
  double at_ms = 0.0;
};

// The electrodes with an AT, their positions relative to the middle of the
// map's extent (every electrode's, gaps included: the same for every beat).
// Far from the origin, a triangulation and a plane's gradient lose the digits
// that tell the electrodes apart; relative to the middle they keep them, and
// a layout moved as a whole gives the same velocities.
std::vector<Activation> activations(const BeatMap& map) {
  double low_x = kInfinity, high_x = -kInfinity, low_y = kInfinity, high_y = -kInfinity;
  for (const ElectrodeTimes& e : map.electrodes) {
    low_x = std::min(low_x, e.position.x_mm);
    high_x = std::max(high_x, e.position.x_mm);
    low_y = std::min(low_y, e.position.y_mm);
    high_y = std::max(high_y, e.position.y_mm);
  }
  const double mid_x = low_x + (high_x - low_x) / 2.0;
  const double mid_y = low_y + (high_y - low_y) / 2.0;
  std::vector<Activation> list;
  for (const ElectrodeTimes& e : map.electrodes) {
    if (std::isfinite(e.at_ms))
      list.push_back({e.lead, {e.position.x_mm - mid_x, e.position.y_mm - mid_y}, e.at_ms});
  }
  return list;
}

CvVector no_value(const BeatMap& map, int lead, CvMethod method, int neighbours) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  CvVector v;
  v.beat = map.beat;
  v.beat_ms = map.beat_ms;
  v.lead = lead;
  v.method = method;
  v.vx_mm_ms = v.vy_mm_ms = v.speed_m_s = v.direction_deg = kNaN;
  v.neighbours = neighbours;
  v.flag = CvFlag::no_value;
  return v;
}

double distance(PointMm a, PointMm b) { return std::hypot(a.x_mm - b.x_mm, a.y_mm - b.y_mm); }

// A velocity from the gradient of the activation time (ms/mm) of a fit
// over extent_mm; false for an even arrival or a gradient not finite.
bool velocity_of(double gx, double gy, double extent_mm, double& vx, double& vy) {
  const double g2 = gx * gx + gy * gy;
  if (!(std::sqrt(g2) * extent_mm > kEvenArrivalMs) || !std::isfinite(g2)) return false;
  vx = gx / g2;
  vy = gy / g2;
  return true;
}

CvVector vector_of(const BeatMap& map, int lead, CvMethod method, double vx, double vy,
                   int neighbours, CvFlag flag, const CvSettings& settings) {
  CvVector v;
  v.beat = map.beat;
  v.beat_ms = map.beat_ms;
  v.lead = lead;
  v.method = method;
  v.vx_mm_ms = vx;
  v.vy_mm_ms = vy;
  v.speed_m_s = std::hypot(vx, vy);
  double degrees = std::atan2(vy, vx) * (180.0 / std::numbers::pi);
  if (degrees < 0.0) degrees += 360.0;
  v.direction_deg = degrees >= 360.0 ? 0.0 : degrees;
  v.neighbours = neighbours;
  if (flag != CvFlag::none) {
    v.flag = flag;
  } else if (v.speed_m_s > settings.fast_m_s) {
    v.flag = CvFlag::fast;
  } else if (v.speed_m_s < settings.slow_m_s) {
    v.flag = CvFlag::slow;
  }
  return v;
}

// The slope at the centre of the fit of the columns' model to times; false
// when the columns do not have full rank. Coordinates are relative to the
// electrode and scaled by the radius, so the matrix is well conditioned at
// any unit of length.
bool fitted_slope(const Eigen::MatrixXd& columns, const Eigen::VectorXd& times, Eigen::Index dx,
                  double& gx, double& gy) {
  const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr = columns.colPivHouseholderQr();
  if (qr.rank() < columns.cols()) return false;
  const Eigen::VectorXd c = qr.solve(times);
  gx = c(dx);
  gy = c(dx + 1);
  return true;
}

void surface(const BeatMap& map, const std::vector<Activation>& list, double radius,
             const CvSettings& settings, std::vector<CvVector>& out) {
  if (!(radius > 0.0) || !std::isfinite(radius)) return;
  const double reach = radius * (1.0 + 1e-9);  // a neighbour exactly at the radius counts
  for (const Activation& centre : list) {
    std::vector<const Activation*> near;
    for (const Activation& other : list) {
      if (distance(centre.p, other.p) <= reach) near.push_back(&other);
    }
    const auto n = static_cast<Eigen::Index>(near.size());
    if (n < kSurfaceMinElectrodes) {
      out.push_back(no_value(map, centre.lead, CvMethod::surface, static_cast<int>(n)));
      continue;
    }
    Eigen::MatrixXd quadratic(n, 6);
    Eigen::MatrixXd plane(n, 3);
    Eigen::VectorXd times(n);
    for (Eigen::Index i = 0; i < n; ++i) {
      const Activation& a = *near[static_cast<std::size_t>(i)];
      const double u = (a.p.x_mm - centre.p.x_mm) / radius;
      const double v = (a.p.y_mm - centre.p.y_mm) / radius;
      quadratic.row(i) << u * u, v * v, u * v, u, v, 1.0;
      plane.row(i) << u, v, 1.0;
      times(i) = a.at_ms;
    }
    double gx = 0.0;
    double gy = 0.0;
    CvFlag flag = CvFlag::none;
    double vx = 0.0;
    double vy = 0.0;
    if (!fitted_slope(quadratic, times, 3, gx, gy)) {
      if (!fitted_slope(plane, times, 0, gx, gy)) gx = gy = 0.0;  // no slope: no value below
      flag = CvFlag::few;
    }
    if (!velocity_of(gx / radius, gy / radius, radius, vx, vy)) {
      out.push_back(no_value(map, centre.lead, CvMethod::surface, static_cast<int>(n)));
      continue;
    }
    out.push_back(vector_of(map, centre.lead, CvMethod::surface, vx, vy, static_cast<int>(n), flag,
                            settings));
  }
}

void triangles(const BeatMap& map, const std::vector<Activation>& list, const CvSettings& settings,
               std::vector<CvVector>& out) {
  std::vector<PointMm> points;
  for (const Activation& a : list) points.push_back(a.p);
  struct Sum {
    double vx = 0.0;
    double vy = 0.0;
    int count = 0;
    std::set<int> corners;
  };
  std::vector<Sum> sums(list.size());
  for (const Triangle& t : delaunay_triangles(points)) {
    const Activation& a = list[static_cast<std::size_t>(t[0])];
    const Activation& b = list[static_cast<std::size_t>(t[1])];
    const Activation& c = list[static_cast<std::size_t>(t[2])];
    // The plane's gradient from its two edges out of a (Cramer's rule).
    const double x1 = b.p.x_mm - a.p.x_mm, y1 = b.p.y_mm - a.p.y_mm, t1 = b.at_ms - a.at_ms;
    const double x2 = c.p.x_mm - a.p.x_mm, y2 = c.p.y_mm - a.p.y_mm, t2 = c.at_ms - a.at_ms;
    const double det = x1 * y2 - x2 * y1;
    double vx = 0.0;
    double vy = 0.0;
    const double extent = std::max(std::hypot(x1, y1), std::hypot(x2, y2));
    if (!velocity_of((t1 * y2 - t2 * y1) / det, (x1 * t2 - x2 * t1) / det, extent, vx, vy)) continue;
    for (const int corner : t) {
      Sum& s = sums[static_cast<std::size_t>(corner)];
      s.vx += vx;
      s.vy += vy;
      ++s.count;
      s.corners.insert(t.begin(), t.end());
    }
  }
  for (std::size_t i = 0; i < list.size(); ++i) {
    const Sum& s = sums[i];
    if (s.count == 0) {
      out.push_back(no_value(map, list[i].lead, CvMethod::triangle, static_cast<int>(s.corners.size())));
      continue;
    }
    out.push_back(vector_of(map, list[i].lead, CvMethod::triangle, s.vx / s.count, s.vy / s.count,
                            static_cast<int>(s.corners.size()), CvFlag::none, settings));
  }
}

}  // namespace

std::string_view cv_method_name(CvMethod method) {
  return method == CvMethod::surface ? "surface" : "triangle";
}

std::string_view cv_flag_name(CvFlag flag) {
  switch (flag) {
    case CvFlag::few:
      return "few";
    case CvFlag::fast:
      return "fast";
    case CvFlag::slow:
      return "slow";
    case CvFlag::no_value:
      return "no_value";
    case CvFlag::none:
      break;
  }
  return "";
}

double default_cv_radius(const BeatMap& map) {
  const auto& e = map.electrodes;
  if (e.size() < 2) return 0.0;
  std::vector<double> nearest;
  for (std::size_t i = 0; i < e.size(); ++i) {
    double best = kInfinity;
    for (std::size_t j = 0; j < e.size(); ++j) {
      if (j != i) best = std::min(best, distance(e[i].position, e[j].position));
    }
    nearest.push_back(best);
  }
  return kRadiusFactor * median_of(nearest);
}

std::vector<CvVector> conduction_velocity(const BeatMap& map, CvMethod method,
                                          const CvSettings& settings) {
  std::vector<CvVector> out;
  const std::vector<Activation> list = activations(map);
  if (method == CvMethod::surface) {
    surface(map, list, settings.radius_mm > 0.0 ? settings.radius_mm : default_cv_radius(map), settings,
            out);
  } else {
    triangles(map, list, settings, out);
  }
  return out;
}

std::vector<CvVector> all_velocities(const BeatTable& marks, const ElectrodeLayout& layout,
                                     const CvSettings& settings) {
  std::vector<CvVector> all;
  for (const BeatMap& map : beat_maps(marks, layout)) {
    std::vector<CvVector> beat = conduction_velocity(map, CvMethod::surface, settings);
    const std::vector<CvVector> triangle = conduction_velocity(map, CvMethod::triangle, settings);
    beat.insert(beat.end(), triangle.begin(), triangle.end());
    // Stable: each lead's surface value stays before its triangle value.
    std::stable_sort(beat.begin(), beat.end(),
                     [](const CvVector& a, const CvVector& b) { return a.lead < b.lead; });
    all.insert(all.end(), beat.begin(), beat.end());
  }
  return all;
}

}  // namespace telmor
