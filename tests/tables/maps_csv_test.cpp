// The conduction velocity, restitution and dispersion tables as text.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tables/maps_csv.h"

namespace telmor {
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
namespace {

TEST(MapsCsv, ConductionVelocityRows) {
  CvVector v;
  v.beat = 3;
  v.beat_ms = 2400;
  v.lead = 7;
  v.method = CvMethod::triangle;
  v.speed_m_s = 0.61234;
  v.direction_deg = 359.96;
  v.neighbours = 5;
  v.flag = CvFlag::slow;
  const CvVector rows[] = {v};
  EXPECT_EQ(cv_csv("a,b", rows),
            "recording,beat,beat_ms,lead,method,speed_m_s,direction_deg,neighbours,flag\n"
            "\"a,b\",3,2400,7,triangle,0.6123,0.0,5,slow\n");
}

TEST(MapsCsv, RestitutionRowsLeaveGapsEmpty) {
  Restitution r;
  r.points.push_back({2, 5, 600.0, 350.25, -0.001});
  r.points.push_back({2, 6, 420.0, kNan, 180.5});
  EXPECT_EQ(restitution_csv("rec\"1", r),
            "recording,lead,beat,cl_ms,di_ms,ari_ms\n"
            "\"rec\"\"1\",2,5,600,350.25,0.00\n"
            "\"rec\"\"1\",2,6,420,,180.50\n");
}

TEST(MapsCsv, DispersionRows) {
  BeatDispersion d;
  d.beat = 1;
  d.beat_ms = 1000;
  d.at_first_ms = 1010.5;
  d.at_last_ms = 1020.0;
  d.total_activation_ms = 9.5;
  d.rt_sd_ms = 1.0 / 3.0;
  d.rt_range_ms = 2.0;
  d.rt_iqr_ms = 1.0;
  d.ari_sd_ms = kNan;
  d.ari_range_ms = 0.0;
  d.ari_iqr_ms = 0.0;
  d.leads = 1;
  const BeatDispersion rows[] = {d};
  EXPECT_EQ(dispersion_csv("r", rows),
            std::string(kDispersionHeader) + "\nr,1,1000,1010.50,1020.00,9.50,0.33,2.00,1.00,,0.00,0.00,1\n");
}

TEST(MapsCsv, AnEmptyTableIsItsHeader) {
  EXPECT_EQ(cv_csv("r", {}), std::string(kCvHeader) + "\n");
  EXPECT_EQ(dispersion_csv("r", {}), std::string(kDispersionHeader) + "\n");
  EXPECT_EQ(restitution_csv("r", {}), std::string(kRestitutionHeader) + "\n");
}

}  // namespace
}  // namespace telmor
