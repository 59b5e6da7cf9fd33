// Conduction velocity at each electrode of one beat from its activation
// times, by two methods:
// - surface: a quadratic T(x, y) = a x² + b y² + c xy + d x + e y + f fitted
//   by least squares (Eigen's column-pivoting QR) to the ATs of the electrode
//   and its neighbours within a radius; the velocity is ∇T / |∇T|² at the
//   electrode (Bayly PV et al., Estimation of conduction velocity vector
//   fields from epicardial mapping data, IEEE Trans Biomed Eng 45:563-571,
//   1998).
// - triangle: the plane through the ATs of each Delaunay triangle gives that
//   triangle's velocity ∇T / |∇T|²; each electrode takes the mean vector of
//   the velocities of its triangles.
// Speeds in m/s (mm/ms), directions in degrees 0..360 from +x towards +y.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "tissue/beat_maps.h"

namespace telmor {

enum class CvMethod : std::uint8_t { surface, triangle };

// "surface" or "triangle".
std::string_view cv_method_name(CvMethod method);

// What makes a velocity doubtful: few (surface: the neighbours do not fix a
// quadratic, so a plane was fitted to them instead), fast or slow (beyond the
// settings' bounds), the first that applies; or no_value: the method gives
// this electrode none (too few neighbours, in no triangle, an even arrival,
// a gradient that is not finite), and speed and direction are NaN.
enum class CvFlag : std::uint8_t { none, few, fast, slow, no_value };

// The flag as the maps' table writes it: "", "few", "fast", "slow" or "no_value".
std::string_view cv_flag_name(CvFlag flag);

struct CvSettings {
  // The surface fit's neighbourhood; 0: 2.5 times the median distance from
  // each electrode of the map to its nearest other electrode.
  double radius_mm = 0.0;
  double fast_m_s = 2.0;   // faster than this: flagged "fast"
  double slow_m_s = 0.01;  // slower than this: flagged "slow"
};

// The electrodes a surface fit needs at least: as many as its coefficients.
inline constexpr int kSurfaceMinElectrodes = 6;

struct CvVector {
  int beat = 0;
  std::int32_t beat_ms = 0;
  int lead = 0;
  CvMethod method = CvMethod::surface;
  double vx_mm_ms = 0.0;
  double vy_mm_ms = 0.0;
  double speed_m_s = 0.0;
  double direction_deg = 0.0;  // [0, 360)
  // The electrodes the value rests on, this one included: those within the
  // radius (surface) or the corners of its triangles (triangle).
  int neighbours = 0;
  CvFlag flag = CvFlag::none;
};

// 2.5 times the median nearest-neighbour distance over the map's electrodes
// (gaps included: the radius belongs to the array, not to one beat); 0 with
// fewer than 2 electrodes.
double default_cv_radius(const BeatMap& map);

// The velocity of every electrode with an AT, by ascending lead; no_value
// where the method gives none: surface, an electrode with fewer than
// kSurfaceMinElectrodes ATs within the radius or whose fit has no slope;
// triangle, an electrode in no triangle with a slope. The positions are taken
// relative to the middle of the map's extent, so that where the layout's
// origin lies changes nothing.
std::vector<CvVector> conduction_velocity(const BeatMap& map, CvMethod method,
                                          const CvSettings& settings = {});

// The velocities of every beat of marks by both methods, as the maps' table
// lists them: beat by beat, lead by lead, the surface fit before the
// triangles.
std::vector<CvVector> all_velocities(const BeatTable& marks, const ElectrodeLayout& layout,
                                     const CvSettings& settings = {});

}  // namespace telmor
