// Conduction velocity of waves with known speed and direction: planar waves
// over a grid and over irregular positions, with and without noise, a
// circular wave, the flags and the electrodes left without a value.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "tissue/conduction_velocity.h"
#include "support/beat_tables.h"

namespace telmor {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
namespace {

constexpr double kPi = std::numbers::pi;

// Electrodes on a 4 x 5 grid of 1 mm, each moved by up to jitter mm in x
// and y (seeded); the inner ones are those of rows 1..2 and columns 1..3.
ElectrodeLayout positions(double jitter, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> shift(-jitter, jitter);
  ElectrodeLayout layout;
  for (int n = 1; n <= 20; ++n) {
    const double x = (n - 1) % 5 + shift(random);
    const double y = (n - 1) / 5 + shift(random);
    layout.electrodes.push_back({n, x, y});
  }
  return layout;
}

bool inner(int lead) {
  const int row = (lead - 1) / 5;
  const int column = (lead - 1) % 5;
  return row >= 1 && row <= 2 && column >= 1 && column <= 3;
}

// One beat at 1000 ms whose ATs come from the model at_of(x, y), plus
// Gaussian noise of noise_fraction of the span of the model ATs.
template <typename Model>
BeatMap wave(const ElectrodeLayout& layout, Model at_of, double noise_fraction, unsigned seed) {
  BeatTable t = test::empty_beat_table({1000}, static_cast<int>(layout.electrodes.size()));
  double low = kInfinity;
  double high = -kInfinity;
  for (const Electrode& e : layout.electrodes) {
    low = std::min(low, at_of(e.x_mm, e.y_mm));
    high = std::max(high, at_of(e.x_mm, e.y_mm));
  }
  std::mt19937 random(seed);
  // A normal distribution needs a positive deviation: without noise, none is drawn.
  const double deviation = noise_fraction * (high - low);
  std::normal_distribution<double> noise(0.0, deviation > 0.0 ? deviation : 1.0);
  for (const Electrode& e : layout.electrodes) {
    const double error = deviation > 0.0 ? noise(random) : 0.0;
    test::set_mark(test::cell_of(t, e.lead, 1).at, at_of(e.x_mm, e.y_mm) + error);
  }
  return beat_map(t, layout, 1);
}

double angle_between(double a_deg, double b_deg) {
  const double d = std::fmod(std::abs(a_deg - b_deg), 360.0);
  return std::min(d, 360.0 - d);
}

struct PlanarCase {
  const char* name;
  double jitter;
  double noise;
  double speed_m_s;
  double direction_deg;
};

TEST(ConductionVelocity, PlanarWavesAtTheInnerElectrodes) {
  const PlanarCase cases[] = {
      {"grid", 0.0, 0.0, 0.5, 30.0},       {"grid noisy", 0.0, 0.005, 0.5, 30.0},
      {"grid", 0.0, 0.0, 0.25, 200.0},     {"grid noisy", 0.0, 0.005, 0.25, 200.0},
      {"irregular", 0.3, 0.0, 0.8, 300.0}, {"irregular noisy", 0.3, 0.005, 0.8, 300.0},
      {"irregular", 0.3, 0.0, 0.1, 95.0},  {"irregular noisy", 0.3, 0.005, 0.1, 95.0},
  };
  for (const PlanarCase& c : cases) {
    const ElectrodeLayout layout = positions(c.jitter, 7);
    const double ux = std::cos(c.direction_deg * kPi / 180.0);
    const double uy = std::sin(c.direction_deg * kPi / 180.0);
    const BeatMap map =
        wave(layout, [&](double x, double y) { return 1020.0 + (x * ux + y * uy) / c.speed_m_s; },
             c.noise, 11);
    for (const CvMethod method : {CvMethod::surface, CvMethod::triangle}) {
      int checked = 0;
      for (const CvVector& v : conduction_velocity(map, method)) {
        if (!inner(v.lead)) continue;
        ++checked;
        EXPECT_NEAR(v.speed_m_s, c.speed_m_s, 0.05 * c.speed_m_s)
            << c.name << " " << cv_method_name(method) << " lead " << v.lead;
        EXPECT_LT(angle_between(v.direction_deg, c.direction_deg), 5.0)
            << c.name << " " << cv_method_name(method) << " lead " << v.lead;
        EXPECT_EQ(v.flag, CvFlag::none);
        EXPECT_EQ(v.method, method);
        EXPECT_EQ(v.beat, 1);
        EXPECT_EQ(v.beat_ms, 1000);
      }
      EXPECT_EQ(checked, 6) << c.name << " " << cv_method_name(method);
    }
  }
}

TEST(ConductionVelocity, ACircularWavePointsAwayFromItsSource) {
  // Activation spreads at 0.4 m/s from (-1.5, 1.2), outside the array.
  const double sx = -1.5;
  const double sy = 1.2;
  const ElectrodeLayout layout = positions(0.2, 3);
  const BeatMap map =
      wave(layout, [&](double x, double y) { return 1010.0 + std::hypot(x - sx, y - sy) / 0.4; }, 0.0, 1);
  for (const CvMethod method : {CvMethod::surface, CvMethod::triangle}) {
    int inner_values = 0;
    for (const CvVector& v : conduction_velocity(map, method)) {
      if (v.flag == CvFlag::no_value) continue;  // a corner with few neighbours
      inner_values += inner(v.lead);
      const Electrode& e = layout.electrodes[static_cast<std::size_t>(v.lead - 1)];
      const double away = std::atan2(e.y_mm - sy, e.x_mm - sx) * 180.0 / kPi;
      EXPECT_LT(angle_between(v.direction_deg, away), inner(v.lead) ? 5.0 : 20.0)
          << cv_method_name(method) << " lead " << v.lead;
    }
    EXPECT_EQ(inner_values, 6) << cv_method_name(method);
  }
}

TEST(ConductionVelocity, DirectionsRunFromPlusXTowardsPlusY) {
  // Three electrodes and one triangle: the wave runs along -y, 270 degrees.
  const ElectrodeLayout layout{{{1, 0, 0}, {2, 1, 0}, {3, 0, 1}}};
  const BeatMap map = wave(layout, [](double, double y) { return 1010.0 - y / 0.5; }, 0.0, 1);
  const std::vector<CvVector> v = conduction_velocity(map, CvMethod::triangle);
  ASSERT_EQ(v.size(), 3u);
  for (const CvVector& c : v) {
    EXPECT_NEAR(c.direction_deg, 270.0, 1e-9);
    EXPECT_NEAR(c.speed_m_s, 0.5, 1e-12);
    EXPECT_EQ(c.neighbours, 3);
  }
  // Fewer than six electrodes: no surface, each said so.
  const std::vector<CvVector> surface = conduction_velocity(map, CvMethod::surface);
  ASSERT_EQ(surface.size(), 3u);
  for (const CvVector& c : surface) {
    EXPECT_EQ(c.flag, CvFlag::no_value);
    EXPECT_TRUE(std::isnan(c.speed_m_s) && std::isnan(c.direction_deg));
  }
}

TEST(ConductionVelocity, SpeedsBeyondTheBoundsAreKeptButFlagged) {
  const ElectrodeLayout layout = positions(0.0, 1);
  for (const auto& [speed, flag] : {std::pair{3.0, CvFlag::fast}, std::pair{0.005, CvFlag::slow}}) {
    const BeatMap map = wave(layout, [&](double x, double) { return 1010.0 + x / speed; }, 0.0, 1);
    for (const CvMethod method : {CvMethod::surface, CvMethod::triangle}) {
      const std::vector<CvVector> v = conduction_velocity(map, method);
      ASSERT_EQ(v.size(), 20u);
      for (const CvVector& c : v) {
        EXPECT_EQ(c.flag, flag);
        EXPECT_NEAR(c.speed_m_s, speed, 1e-6 * speed);
      }
    }
  }
}

TEST(ConductionVelocity, NeighboursThatDoNotFixAQuadraticGiveAFlaggedPlane) {
  // Two rows of three: y² equals y on them, so only the plane is fixed.
  const LayoutReading grid = grid_layout(2, 3, 1.0);
  const BeatMap map = wave(grid.layout, [](double x, double y) { return 1010.0 + x / 0.5 + y; }, 0.0, 1);
  const std::vector<CvVector> v = conduction_velocity(map, CvMethod::surface, {.radius_mm = 10.0});
  ASSERT_EQ(v.size(), 6u);
  const double gx = 2.0;  // ms/mm of the model
  const double gy = 1.0;
  for (const CvVector& c : v) {
    EXPECT_EQ(c.flag, CvFlag::few);
    EXPECT_EQ(c.neighbours, 6);
    EXPECT_NEAR(c.vx_mm_ms, gx / (gx * gx + gy * gy), 1e-9);
    EXPECT_NEAR(c.vy_mm_ms, gy / (gx * gx + gy * gy), 1e-9);
  }
}

TEST(ConductionVelocity, GapsAndAnEvenArrivalGiveNoValue) {
  const ElectrodeLayout layout = positions(0.0, 1);
  BeatMap map = wave(layout, [](double x, double) { return 1010.0 + x; }, 0.0, 1);
  for (ElectrodeTimes& e : map.electrodes) {
    if (e.lead % 2 == 0) e.at_ms = std::nan("");
  }
  for (const CvMethod method : {CvMethod::surface, CvMethod::triangle}) {
    for (const CvVector& c : conduction_velocity(map, method)) EXPECT_EQ(c.lead % 2, 1);
  }
  const BeatMap flat = wave(layout, [](double, double) { return 1010.0; }, 0.0, 1);
  for (const CvMethod method : {CvMethod::surface, CvMethod::triangle}) {
    const std::vector<CvVector> v = conduction_velocity(flat, method);
    ASSERT_EQ(v.size(), 20u);
    for (const CvVector& c : v) EXPECT_EQ(c.flag, CvFlag::no_value);
  }
}

// The velocities do not depend on where the layout's origin lies: a layout
// moved as a whole, however far, gives the same speeds and directions.
TEST(ConductionVelocity, ALayoutMovedAsAWholeGivesTheSameVelocities) {
  const ElectrodeLayout here = positions(0.0, 7);
  const auto model = [](double x, double y) { return 1010.0 + 0.8 * x + 0.3 * y + 0.01 * x * y; };
  const BeatMap map = wave(here, model, 0.0, 1);
  for (const double offset : {1000.0, -3.5e4, 1e9}) {
    BeatMap moved = map;
    for (ElectrodeTimes& e : moved.electrodes) {
      e.position.x_mm += offset;
      e.position.y_mm -= offset / 2;
    }
    for (const CvMethod method : {CvMethod::surface, CvMethod::triangle}) {
      const std::vector<CvVector> a = conduction_velocity(map, method);
      const std::vector<CvVector> b = conduction_velocity(moved, method);
      ASSERT_EQ(a.size(), b.size()) << offset;
      for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].flag, b[i].flag) << offset;
        EXPECT_NEAR(a[i].speed_m_s, b[i].speed_m_s, 1e-9 * a[i].speed_m_s) << cv_method_name(method) << " " << offset;
        EXPECT_NEAR(a[i].direction_deg, b[i].direction_deg, 1e-6) << cv_method_name(method) << " " << offset;
      }
    }
  }
}

TEST(ConductionVelocity, TheDefaultRadiusFollowsTheNearestNeighbours) {
  const BeatMap map = wave(positions(0.0, 1), [](double x, double) { return x; }, 0.0, 1);
  EXPECT_DOUBLE_EQ(default_cv_radius(map), 2.5);
  const ElectrodeLayout pair{{{1, 0, 0}, {2, 3, 4}}};
  EXPECT_DOUBLE_EQ(default_cv_radius(wave(pair, [](double x, double) { return x; }, 0.0, 1)), 12.5);
}

}  // namespace
}  // namespace telmor
