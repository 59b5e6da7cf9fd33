// The analysis core on recordings beyond the desktop's limits: many leads,
// long and cropped recordings, other rates, threads and refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "base/console_output.h"
#include "fitting/prepare_signals.h"
#include "readers/recording_text.h"
#include "results/analysis_tables.h"
#include "sample_recording.h"
#include "support/analysis_inputs.h"
#include "timing/analysis.h"
#include "timing/beat_table.h"

namespace telmor {
namespace {

using test::recording_of_text;
using test::with;
using NoConsole = test::SilentConsole;

// The same beats, marks, fine times and qualities, NaN for NaN.
bool same_tables(const Analysis& a, const Analysis& b) {
  const auto same = [](const std::vector<double>& x, const std::vector<double>& y) {
    return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof(double)) == 0;
  };
  return same(a.beats_ms, b.beats_ms) && same(a.at_ms, b.at_ms) && same(a.rt_ms, b.rt_ms) &&
         same(a.at_fine_ms, b.at_fine_ms) && same(a.rt_fine_ms, b.rt_fine_ms) &&
         same(a.at_quality, b.at_quality) && same(a.rt_quality, b.rt_quality);
}

AnalysisSettings legacy(AnalysisSettings s) {
  s.estimator = Estimator::legacy;
  return s;
}

// Marks of one lead as the summary lays them out (a figure not known: -1).
std::vector<std::tuple<int, int, double, int, int, double>> lead_marks(const Analysis& a, int lead) {
  const auto known = [](double v) { return std::isnan(v) ? -1.0 : v; };
  std::vector<std::tuple<int, int, double, int, int, double>> marks;
  const BeatTable table = marks_by_beat(a);
  for (int beat = 0; beat <= table.beat_count(); ++beat) {
    const BeatCell& cell = table.cell(lead, beat);
    marks.emplace_back(cell.at.count, cell.at.earliest, known(cell.at.fine_ms), cell.rt.count,
                       cell.rt.earliest, known(cell.rt.fine_ms));
  }
  return marks;
}

// Leads `leads` of a recording, in that order, as a recording of their own.
Recording leads_of(const Recording& r, const std::vector<int>& leads) {
  Recording part(static_cast<int>(leads.size()), r.sample_count);
  for (std::size_t j = 0; j < leads.size(); ++j) {
    const std::span<const float> from = r.lead(leads[j]);
    std::copy(from.begin(), from.end(), part.values.begin() + static_cast<std::ptrdiff_t>(part.index(static_cast<int>(j) + 1, 1)));
  }
  return part;
}

// The model's AT of each beat and lead (beat k of lead j at [(k - 1) * leads + j - 1]).
std::vector<double> model_at(const std::string& csv) {
  std::vector<double> at;
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);  // header
  while (std::getline(lines, line)) {
    const std::size_t second = line.find(',', line.find(',') + 1);
    double v = 0.0;
    std::from_chars(line.data() + second + 1, line.data() + line.size(), v);
    at.push_back(v);
  }
  return at;
}

TEST(SlowAnalyseBeyondLimits, SixtyFourLeadsOfTwoMinutesHaveEveryBeat) {
  constexpr int kLeads = 64, kSeconds = 120;
  RecordingConditions fast;  // 2 beats a second: more than a session's 199
  fast.beat_interval = 500.0;
  const Recording r = recording_of_text(sample_recording_text(kLeads, kSeconds, 11, fast), kLeads, kSeconds);
  const Analysis a = analyse(r, {}, {.threads = 2});
  ASSERT_FALSE(a.problem);
  EXPECT_GT(a.beats_ms.size(), 199u);
  EXPECT_EQ(a.at_ms.size(), a.beats_ms.size() * kLeads);
  EXPECT_FALSE(fits_results_file(a));
  EXPECT_TRUE(std::is_sorted(a.beats_ms.begin(), a.beats_ms.end()));

  // Every beat of the model is found, with all but a few of the ATs within
  // 2 ms of the model's (the bundled sample's noise), where the AT range
  // reaches the model's activation (the generator delays each lead more than
  // the last).
  const std::vector<double> model = model_at(sample_model_times_csv(kLeads, kSeconds, 11, fast));
  ASSERT_EQ(model.size(), a.beats_ms.size() * kLeads);
  int far = 0;
  for (std::size_t k = 0; k < a.beats_ms.size(); ++k) {
    for (int lead = 1; lead <= kMaxLeads; ++lead) {
      const double at = a.at_time(static_cast<int>(k) + 1, lead);
      far += !(std::fabs(at - model[k * kLeads + static_cast<std::size_t>(lead - 1)]) <= 2.0);
    }
  }
  EXPECT_LT(far, static_cast<int>(a.beats_ms.size()) * kMaxLeads / 100);

  // Each lead is analysed on its own: leads 41..60 with the beat lead beside
  // them give their marks in the 64-lead analysis bit for bit.
  std::vector<int> part{1};
  for (int lead = 41; lead <= 60; ++lead) part.push_back(lead);
  const Analysis b = analyse(leads_of(r, part), {}, {.threads = 1});
  ASSERT_EQ(b.beats_ms, a.beats_ms);
  for (std::size_t j = 1; j < part.size(); ++j) {
    EXPECT_EQ(lead_marks(b, static_cast<int>(j) + 1), lead_marks(a, part[j])) << "lead " << part[j];
  }
}

TEST(AnalyseBeatLead, FindsTheBeatsOnTheLeadNamed) {
  const Recording r = recording_of_text(sample_recording_text(4, 6, 12), 4, 6);
  const Analysis on_1 = analyse(r, {});
  AnalysisSettings settings;
  settings.beat_lead = 3;
  const Analysis on_3 = analyse(leads_of(r, {3, 2, 1, 4}), settings);
  EXPECT_EQ(on_3.beats_ms, on_1.beats_ms);
  EXPECT_EQ(lead_marks(on_3, 3), lead_marks(on_1, 1));
  EXPECT_EQ(lead_marks(on_3, 1), lead_marks(on_1, 3));
}

TEST(AnalysePartialSecond, DifferentiatesTheLastSecondLikeTheOthers) {
  // The legacy arithmetic, which counts seconds.
  for (const int smooth : {2, 3, 7, 499}) {
    Recording r(3, 2345);
    for (int lead = 1; lead <= 3; ++lead) {
      for (int i = 1; i <= r.sample_count; ++i)
        r.value(lead, i) = static_cast<float>(std::sin(i * 0.013 * lead) * 100.0 + i % 7);
    }
    Recording fast = r, fast_deriv(3, r.sample_count), reference = r, reference_deriv(3, r.sample_count);
    NoConsole console;
    const auto stride = static_cast<std::size_t>(r.sample_count);
    prepare_signal_tables(SignalTables{fast.values.data(), fast_deriv.values.data(), stride, 3, r.sample_count, smooth}, console, 2);
    prepare_signal_tables_reference(SignalTables{reference.values.data(), reference_deriv.values.data(), stride, 3, r.sample_count, smooth}, console);
    EXPECT_EQ(std::memcmp(fast_deriv.values.data(), reference_deriv.values.data(), fast_deriv.values.size() * sizeof(float)), 0)
        << "smoothing " << smooth;
    const Analysis a = analyse(r, legacy(with(smooth, 0.1f, -80, 80, 100, 200)), {.keep_derivative = true});
    EXPECT_EQ(a.derivative, fast_deriv.values) << "smoothing " << smooth;
  }
}

TEST(AnalyseThreads, AnalysesAtOnceAsOneAfterAnother) {
  const Recording r1 = recording_of_text(sample_recording_text(6, 5, 21), 6, 5);
  const Recording r2 = recording_of_text(sample_recording_text(9, 4, 22), 9, 4);
  const Analysis alone1 = analyse(r1, {}), alone2 = analyse(r2, with(3, 0.2f, -80, 80, 100, 200));
  Analysis together1, together2;
  {
    std::jthread one([&] { together1 = analyse(r1, {}, {.threads = 2}); });
    std::jthread two([&] { together2 = analyse(r2, with(3, 0.2f, -80, 80, 100, 200), {.threads = 2}); });
  }
  EXPECT_TRUE(same_tables(together1, alone1));
  EXPECT_TRUE(same_tables(together2, alone2));
}

// A workspace kept from one recording to the next (other lengths, other
// smoothing in between) changes nothing.
TEST(AnalyseWorkspace, KeptFromOneRecordingToTheNextGivesTheSameMarks) {
  const Recording r1 = recording_of_text(sample_recording_text(6, 5, 23), 6, 5);
  const Recording r2 = recording_of_text(sample_recording_text(3, 7, 24), 3, 7);
  AnalysisWorkspace workspace;
  for (const Recording* r : {&r1, &r2, &r1}) {
    for (const int smooth : {7, 3, 7}) {
      const AnalysisSettings settings = with(smooth, 0.1f, -80, 80, 100, 200);
      EXPECT_TRUE(same_tables(analyse(*r, settings, {}, &workspace), analyse(*r, settings)));
    }
  }
}

// No data is no data on the lead the beats are found on: leads 1 to 3
// silent and the beats on lead 4 is a recording to analyse.
TEST(AnalyseNoData, ReportsASilentBeatLead) {
  Recording r(4, 3000);
  for (int i = 1; i <= 3000; ++i) r.value(4, i) = static_cast<float>(i % 50);
  EXPECT_EQ(analyse(r, {}).problem, (AnalysisProblem{.fault = AnalysisFault::no_amplitude, .lead = 1}));
  AnalysisSettings on_lead_4;
  on_lead_4.beat_lead = 4;
  const Analysis a = analyse(r, on_lead_4);
  EXPECT_FALSE(a.problem);
  EXPECT_FALSE(a.beats_ms.empty());
  // Leads 1 to 3 carry nothing to mark: dead, left out of the maps.
  EXPECT_EQ(a.dead_lead, (std::vector<bool>{true, true, true, false}));
  r.value(1, 1000) = 1.0f;
  EXPECT_FALSE(analyse(r, {}).problem);
}

// Settings and recordings outside what an analysis takes are refused as
// values before anything is computed, naming what is wrong.
TEST(AnalyseRefusals, NameTheSettingOrTheRecording) {
  const Recording four(4, 2000);
  struct Case {
    AnalysisSettings settings;
    double rate_hz;
    AnalysisProblem problem;
  };
  AnalysisSettings rt_wide = with(7, 0.1f, -80, 80, 100, 200);
  rt_wide.rt_smooth_ms = 500;
  AnalysisSettings rt_given = legacy(with(7, 0.1f, -80, 80, 100, 200));
  rt_given.rt_smooth_ms = 20;
  const Case cases[] = {
      {with(7, 0.1f, -80, 80, 100, 200, 5), 1000.0, {.fault = AnalysisFault::beat_lead_outside, .value = 5.0, .leads = 4}},
      {with(7, 0.1f, -80, 80, 100, 200, 0), 1000.0, {.fault = AnalysisFault::beat_lead_outside, .value = 0.0, .leads = 4}},
      {with(-1, 0.1f, -80, 80, 100, 200), 1000.0, {AnalysisFault::smoothing_outside, SettingPart::none, -1.0}},
      {with(1, 0.1f, -80, 80, 100, 200), 1000.0, {AnalysisFault::smoothing_outside, SettingPart::none, 1.0}},
      {with(500, 0.1f, -80, 80, 100, 200), 1000.0, {AnalysisFault::smoothing_outside, SettingPart::none, 500.0}},
      {with(7, 1.5f, -80, 80, 100, 200), 1000.0, {AnalysisFault::ratio_outside, SettingPart::none, 1.5}},
      {with(7, -0.5f, -80, 80, 100, 200), 1000.0, {AnalysisFault::ratio_outside, SettingPart::none, -0.5}},
      {with(7, 0.1f, -201, 80, 100, 200), 1000.0, {AnalysisFault::range_bound_outside, SettingPart::at_from, -201.0}},
      {with(7, 0.1f, -80, 80, 100, 1467), 1000.0, {AnalysisFault::range_bound_outside, SettingPart::rt_to, 1467.0}},
      {with(7, 0.1f, 80, -80, 100, 200), 1000.0, {AnalysisFault::range_reversed, SettingPart::at}},
      {with(7, 0.1f, -80, 80, 200, 100), 1000.0, {AnalysisFault::range_reversed, SettingPart::rt}},
      {rt_wide, 1000.0, {AnalysisFault::rt_smoothing_outside, SettingPart::none, 500.0}},
      {rt_given, 1000.0, {AnalysisFault::legacy_rt_smoothing}},
      {with(7, 0.1f, -80, 80, 100, 200), 200.0, {AnalysisFault::rate_outside, SettingPart::none, 200.0}},
      // 2 ms at 250 Hz: a half width of one sample, three points, no cubic.
      {with(2, 0.1f, -80, 80, 100, 200), 250.0, {AnalysisFault::window_too_narrow, SettingPart::at, 1.0}},
      {legacy(with(7, 0.1f, -80, 80, 100, 200)), 2000.0, {AnalysisFault::legacy_rate, SettingPart::none, 2000.0}},
  };
  for (const Case& c : cases) {
    Recording r = four;
    r.rate_hz = c.rate_hz;
    const Analysis a = analyse(r, c.settings);
    EXPECT_EQ(a.problem, c.problem) << static_cast<int>(c.problem.fault);
    EXPECT_TRUE(a.beats_ms.empty() && a.at_ms.empty());
  }
  EXPECT_EQ(analyse(Recording(0, 2000), {}).problem.fault, AnalysisFault::no_leads);
  EXPECT_EQ(analyse(Recording(3, 0), {}).problem.fault, AnalysisFault::no_samples);
  Recording torn(3, 2000);
  torn.values.resize(100);  // values that do not fill the shape stated
  EXPECT_EQ(analyse(torn, {}).problem.fault, AnalysisFault::values_mismatch);
}

}  // namespace
}  // namespace telmor

namespace telmor {
namespace {

// A recording cropped at its start (which moves every sample to another place
// in its second) gives the same marks, each as many ms earlier as were cut:
// the centred derivative does not depend on where the recording starts.
TEST(AnalyseCropped, GivesTheSameMarksAtTheirOwnTimes) {
  const std::string text = sample_recording_text(8, 12, 31);
  const Recording full = recording_of_text(text, 8, 12);
  const Analysis whole = analyse(full, {});
  ASSERT_FALSE(whole.problem);
  for (const int cut : {1, 250, 537}) {
    Recording cropped(full.lead_count, full.sample_count - cut);
    for (int lead = 1; lead <= full.lead_count; ++lead) {
      for (int i = 1; i <= cropped.sample_count; ++i) cropped.value(lead, i) = full.value(lead, i + cut);
    }
    const Analysis part = analyse(cropped, {});
    ASSERT_FALSE(part.problem);
    int compared = 0;
    for (int b = 1; b <= whole.beat_count(); ++b) {
      const double beat = whole.beats_ms[static_cast<std::size_t>(b - 1)] - cut;
      const auto found = std::find(part.beats_ms.begin(), part.beats_ms.end(), beat);
      // Beats the cut removed, or moved within 100 ms of the start, are not searched.
      if (found == part.beats_ms.end()) continue;
      const int k = static_cast<int>(found - part.beats_ms.begin()) + 1;
      for (int lead = 1; lead <= full.lead_count; ++lead) {
        EXPECT_EQ(part.at_time(k, lead), whole.at_time(b, lead) - cut) << "cut " << cut << " beat " << b;
        EXPECT_EQ(part.rt_time(k, lead), whole.rt_time(b, lead) - cut) << "cut " << cut << " beat " << b;
        ++compared;
      }
    }
    EXPECT_GT(compared, 8 * 12) << cut;
  }
}

// The same model sampled at 2 and 4 kHz (not a resampled copy) gives the
// beats and ATs of 1 kHz within the fine time's precision: every length of
// the settings is in ms.
TEST(AnalyseRates, TwoAndFourKilohertzGiveTheTimesOfOne) {
  RecordingConditions conditions;
  conditions.noise = 0.002;
  const auto analysed = [&](double rate_hz) {
    conditions.rate_hz = rate_hz;
    Recording r;
    EXPECT_FALSE(read_recording_text(sample_recording_text(6, 8, 41, conditions), std::nullopt, std::nullopt, r,
                                     rate_hz));
    return analyse(r, {});
  };
  const Analysis base = analysed(1000.0);
  ASSERT_FALSE(base.problem);
  for (const double rate : {2000.0, 4000.0}) {
    const Analysis a = analysed(rate);
    ASSERT_FALSE(a.problem);
    EXPECT_EQ(a.rate_hz, rate);
    ASSERT_EQ(a.beats_ms.size(), base.beats_ms.size()) << rate;
    for (int b = 1; b <= base.beat_count(); ++b) {
      EXPECT_NEAR(a.beats_ms[static_cast<std::size_t>(b - 1)], base.beats_ms[static_cast<std::size_t>(b - 1)], 1.0);
      for (int lead = 1; lead <= base.lead_count; ++lead) {
        EXPECT_NEAR(a.at_fine_ms[a.index(b, lead)], base.at_fine_ms[base.index(b, lead)], 0.3)
            << rate << " Hz, beat " << b << " lead " << lead;
      }
    }
  }
}

// At 2 % and 5 % white noise the centred derivative finds the model's beats
// and no others: its beats stand out of the noise, where a tenth of the
// steepest slope alone let the noise make beats.
TEST(AnalyseNoise, FindsTheModelsBeatsAndNoOthers) {
  for (const double noise : {0.02, 0.05}) {
    RecordingConditions conditions;
    conditions.noise = noise;
    Recording r;
    ASSERT_FALSE(read_recording_text(sample_recording_text(3, 20, 51, conditions), std::nullopt, std::nullopt, r));
    const Analysis a = analyse(r, {});
    ASSERT_FALSE(a.problem);
    // The model's lead-1 ATs where the search looks (100 ms from either end).
    std::vector<double> model;
    const std::vector<double> all = model_at(sample_model_times_csv(3, 20, 51, conditions));
    for (std::size_t k = 0; k < all.size(); k += 3) {
      if (all[k] >= 100.0 && all[k] <= 19900.0) model.push_back(all[k]);
    }
    ASSERT_EQ(a.beats_ms.size(), model.size()) << noise;
    for (std::size_t k = 0; k < model.size(); ++k) EXPECT_NEAR(a.beats_ms[k], model[k], 5.0) << noise;
  }
}

}  // namespace
}  // namespace telmor
