// Restitution slopes from recordings whose ARI follows a known line of DI,
// Student's t quantiles, and dispersion over hand-made tables.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "tissue/beat_maps.h"
#include "tissue/dispersion.h"
#include "tissue/restitution.h"
#include "support/beat_tables.h"

namespace telmor {
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
namespace {

// Beats at irregular cycle lengths; in each lead AT_k = beat_k + 15 + lead
// and ARI_k = intercept + slope * DI_k (+ noise), DI_k = AT_k - RT_(k-1).
struct Model {
  double slope;
  double intercept;
  double noise_ms;
};

BeatTable restitution_table(const Model& m, int leads, int beats, unsigned seed) {
  std::vector<std::int32_t> times;
  const int cycle[] = {600, 420, 780, 500, 900, 450, 650, 720, 380, 820};
  std::int32_t t = 1000;
  for (int k = 0; k < beats; ++k) {
    times.push_back(t);
    t += cycle[k % 10];
  }
  BeatTable table = test::empty_beat_table(times, leads);
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0.0, m.noise_ms > 0.0 ? m.noise_ms : 1.0);
  for (int lead = 1; lead <= leads; ++lead) {
    double rt_before = kNan;
    for (int k = 1; k <= beats; ++k) {
      const double at = times[static_cast<std::size_t>(k - 1)] + 15.0 + lead;
      const double di = k == 1 ? 300.0 : at - rt_before;
      const double ari = m.intercept + m.slope * di + (m.noise_ms > 0.0 ? noise(random) : 0.0);
      test::set_mark(test::cell_of(table, lead, k).at, at);
      test::set_mark(test::cell_of(table, lead, k).rt, at + ari);
      rt_before = at + ari;
    }
  }
  return table;
}

TEST(Restitution, RecoversTheSlopeOfARIOverDI) {
  for (const Model m : {Model{0.3, 120.0, 0.0}, Model{0.3, 120.0, 1.0}, Model{0.6, 80.0, 2.0},
                        Model{-0.1, 250.0, 1.0}}) {
    const Restitution r = restitution(restitution_table(m, 3, 30, 5));
    ASSERT_EQ(r.slopes.size(), 3u);
    for (const RestitutionSlope& s : r.slopes) {
      EXPECT_EQ(s.points, 29);
      EXPECT_NEAR(s.slope, m.slope, 0.05 * std::abs(m.slope)) << m.slope << " lead " << s.lead;
      EXPECT_LE(s.slope_low, m.slope);
      EXPECT_GE(s.slope_high, m.slope);
      if (m.noise_ms == 0.0) {
        EXPECT_NEAR(s.intercept, m.intercept, 1e-6);
      }
    }
  }
}

TEST(Restitution, PointsFollowTheBeats) {
  const BeatTable t = restitution_table({0.5, 100.0, 0.0}, 1, 3, 1);
  const Restitution r = restitution(t);
  ASSERT_EQ(r.points.size(), 2u);
  // Beat 2: CL 600; AT 1616; RT of beat 1 = 1016 + 100 + 150 = 1266; DI 350.
  EXPECT_EQ(r.points[0].beat, 2);
  EXPECT_DOUBLE_EQ(r.points[0].cl_ms, 600.0);
  EXPECT_DOUBLE_EQ(r.points[0].di_ms, 350.0);
  EXPECT_DOUBLE_EQ(r.points[0].ari_ms, 275.0);
  EXPECT_DOUBLE_EQ(r.points[1].cl_ms, 420.0);
  EXPECT_TRUE(r.slopes.empty());  // two points only
}

TEST(Restitution, NeedsFiveBeatsWithAllThreeValues) {
  BeatTable t = restitution_table({0.5, 100.0, 0.0}, 2, 8, 1);
  // Beats 2..8: lead 1 keeps 5 complete, lead 2 keeps 4.
  test::set_mark(test::cell_of(t, 1, 3).rt, kNan);  // beat 3's ARI and beat 4's DI
  test::set_mark(test::cell_of(t, 2, 3).rt, kNan);
  test::set_mark(test::cell_of(t, 2, 6).at, 1.0, 2);  // several ATs: a gap
  const Restitution r = restitution(t);
  ASSERT_EQ(r.slopes.size(), 1u);
  EXPECT_EQ(r.slopes[0].lead, 1);
  EXPECT_EQ(r.slopes[0].points, 5);
}

TEST(StudentT, MatchesTheTables) {
  // Two-sided 95 % points of the usual tables.
  const struct {
    int df;
    double t;
  } cases[] = {{1, 12.7062}, {2, 4.3027}, {3, 3.1824}, {4, 2.7764}, {5, 2.5706},
               {10, 2.2281}, {20, 2.0860}, {30, 2.0423}, {120, 1.9799}};
  for (const auto& c : cases) EXPECT_NEAR(student_t_two_sided(0.05, c.df), c.t, 5e-5) << c.df;
  EXPECT_NEAR(student_t_two_sided(0.01, 10), 3.1693, 5e-5);
  EXPECT_TRUE(std::isnan(student_t_two_sided(0.05, 0)));
  EXPECT_TRUE(std::isnan(student_t_two_sided(1.0, 5)));
}

TEST(Quantile, InterpolatesLinearlyBetweenOrderStatistics) {
  const double v[] = {1.0, 2.0, 3.0, 4.0};
  EXPECT_DOUBLE_EQ(sorted_quantile(v, 0.25), 1.75);
  EXPECT_DOUBLE_EQ(sorted_quantile(v, 0.75), 3.25);
  EXPECT_DOUBLE_EQ(sorted_quantile(v, 0.0), 1.0);
  EXPECT_DOUBLE_EQ(sorted_quantile(v, 1.0), 4.0);
  EXPECT_TRUE(std::isnan(sorted_quantile({}, 0.5)));
}

TEST(Dispersion, OverTheLeadsWithMarks) {
  // Lead 4 has an AT only, lead 5 several ATs and no RT, lead 6 nothing.
  BeatTable t = test::empty_beat_table({500, 1500}, 6);
  const double at[] = {1510, 1512, 1515, 1511};
  const double rt[] = {1700, 1710, 1690, kNan};
  for (int lead = 1; lead <= 4; ++lead) {
    test::set_mark(test::cell_of(t, lead, 2).at, at[lead - 1]);
    test::set_mark(test::cell_of(t, lead, 2).rt, rt[lead - 1]);
  }
  test::set_mark(test::cell_of(t, 5, 2).at, 1400.0, 2);
  const std::vector<BeatDispersion> d = dispersion(t);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].leads, 0);
  EXPECT_TRUE(std::isnan(d[0].at_first_ms));
  EXPECT_TRUE(std::isnan(d[0].rt_sd_ms));
  const BeatDispersion& b = d[1];
  EXPECT_EQ(b.beat, 2);
  EXPECT_EQ(b.beat_ms, 1500);
  EXPECT_EQ(b.leads, 4);
  EXPECT_DOUBLE_EQ(b.at_first_ms, 1510.0);
  EXPECT_DOUBLE_EQ(b.at_last_ms, 1515.0);
  EXPECT_DOUBLE_EQ(b.total_activation_ms, 5.0);
  // RT 1690, 1700, 1710: SD 10, range 20, quartiles 1695 and 1705.
  EXPECT_DOUBLE_EQ(b.rt_sd_ms, 10.0);
  EXPECT_DOUBLE_EQ(b.rt_range_ms, 20.0);
  EXPECT_DOUBLE_EQ(b.rt_iqr_ms, 10.0);
  // ARI 175, 190, 198: mean 563/3, squares 818/3 over 2.
  EXPECT_NEAR(b.ari_sd_ms, std::sqrt(818.0 / 6.0), 1e-12);
  EXPECT_DOUBLE_EQ(b.ari_range_ms, 23.0);
  EXPECT_DOUBLE_EQ(b.ari_iqr_ms, (190.0 + 0.5 * 8.0) - (175.0 + 0.5 * 15.0));
}

TEST(Dispersion, OneLeadHasNoStandardDeviation) {
  BeatTable t = test::empty_beat_table({500}, 2);
  test::set_mark(test::cell_of(t, 2, 1).at, 510.0);
  test::set_mark(test::cell_of(t, 2, 1).rt, 700.0);
  const BeatDispersion d = dispersion(t).at(0);
  EXPECT_EQ(d.leads, 1);
  EXPECT_DOUBLE_EQ(d.total_activation_ms, 0.0);
  EXPECT_TRUE(std::isnan(d.rt_sd_ms));
  EXPECT_DOUBLE_EQ(d.rt_range_ms, 0.0);
  EXPECT_DOUBLE_EQ(d.ari_iqr_ms, 0.0);
}

// What the maps, velocities, restitution and dispersion leave out: a dead
// lead, a mark near an end of its window, a weak mark; each counted.
TEST(LeftOut, DeadLeadsAndFlaggedMarksTakeNoPart) {
  BeatTable t = test::empty_beat_table({1000, 1600, 2200}, 4);
  for (int lead = 1; lead <= 4; ++lead) {
    for (int k = 1; k <= 3; ++k) {
      BeatCell& c = test::cell_of(t, lead, k);
      test::set_mark(c.at, 1000.0 + 600 * (k - 1) + 5 * lead);
      test::set_mark(c.rt, 1250.0 + 600 * (k - 1) + 5 * lead);
      c.at.quality = 50.0;
      c.rt.quality = 20.0;
    }
  }
  t.dead_leads = {0, 0, 0, 1};
  test::cell_of(t, 2, 2).at.flag = MarkFlag::near_edge;
  test::cell_of(t, 3, 3).rt.quality = 3.0;   // weak RT
  test::cell_of(t, 1, 2).at.quality = 12.0;  // above the weak AT threshold: kept
  struct Case {
    int lead, beat;
    bool at;
    bool kept;
  };
  for (const Case& c : {Case{1, 2, true, true}, Case{2, 2, true, false}, Case{2, 2, false, true},
                        Case{3, 3, false, false}, Case{4, 1, true, false}, Case{4, 1, false, false}}) {
    const BeatCell& cell = test::cell_of(t, c.lead, c.beat);
    EXPECT_EQ(std::isfinite(mapped_time(t, c.lead, c.at ? cell.at : cell.rt, c.at)), c.kept)
        << "lead " << c.lead << " beat " << c.beat;
  }
  const LeftOut out = left_out(t);
  EXPECT_EQ(out.dead_lead, 6);
  EXPECT_EQ(out.flagged, 2);
  // Restitution has no rows for the dead lead; dispersion counts three leads.
  for (const RestitutionPoint& p : restitution(t).points) EXPECT_NE(p.lead, 4);
  for (const BeatDispersion& d : dispersion(t)) EXPECT_EQ(d.leads, 3);
}

}  // namespace
}  // namespace telmor
