// The sample's generator: the bundled sample stays as it is, and the model
// times it gives are where the noise-free recording's slope is steepest, under
// every condition the accuracy benchmark uses.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

#include "sample_recording.h"
#include "support/sample_expectation.h"
#include "support/test_files.h"

namespace telmor {
namespace {

// Leads of a recording's text: values[lead - 1][sample - 1].
std::vector<std::vector<double>> leads_of(const std::string& text, int leads) {
  std::vector<std::vector<double>> values(static_cast<std::size_t>(leads));
  const char* p = text.data();
  const char* const end = p + text.size();
  for (int at = 0; p < end; ++at) {
    while (p < end && (*p == ' ' || *p == '\n')) ++p;
    if (p == end) break;
    double v = 0.0;
    p = std::from_chars(p, end, v).ptr;
    values[static_cast<std::size_t>(at % leads)].push_back(v);
  }
  return values;
}

struct ModelTime {
  int beat, lead;
  double at, rt;
};

std::vector<ModelTime> model_of(const std::string& csv) {
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "beat,lead,at_ms,rt_ms");
  std::vector<ModelTime> times;
  while (std::getline(lines, line)) {
    ModelTime t{};
    char comma = 0;
    std::istringstream fields(line);
    fields >> t.beat >> comma >> t.lead >> comma >> t.at >> comma >> t.rt;
    times.push_back(t);
  }
  return times;
}

// Vertex of the least-squares parabola through the central differences of v
// at samples centre - h .. centre + h (samples from 1).
double slope_vertex(const std::vector<double>& v, int centre, int h) {
  double s[5] = {}, t[3] = {};
  for (int u = -h; u <= h; ++u) {
    const std::size_t i = static_cast<std::size_t>(centre + u - 1);
    const double d = (v[i + 1] - v[i - 1]) / 2.0;
    double p = 1.0;
    for (int k = 0; k <= 4; ++k, p *= u) {
      s[k] += p;
      if (k <= 2) t[k] += p * d;
    }
  }
  // Normal equations of d = a + b u + c u^2; symmetric u makes s1 = s3 = 0.
  const double b = t[1] / s[2];
  const double c = (t[2] * s[0] - t[0] * s[2]) / (s[4] * s[0] - s[2] * s[2]);
  return centre - b / (2.0 * c);
}

TEST(SampleGenerator, DefaultConditionsGiveTheBundledSample) {
  EXPECT_EQ(sample_recording_text(8, 10, 0), test::read_whole_file(test::kSampleFile));
}

TEST(SampleGenerator, ModelHasEveryBeatOfEveryLead) {
  const std::vector<ModelTime> model = model_of(sample_model_times_csv(8, 10, 0));
  ASSERT_EQ(model.size() % 8, 0u);
  EXPECT_EQ(model.size() / 8, 14u);  // the sample's beats, 403 ms to 9784 ms
  for (std::size_t i = 0; i < model.size(); ++i) {
    EXPECT_EQ(model[i].beat, static_cast<int>(i / 8) + 1);
    EXPECT_EQ(model[i].lead, static_cast<int>(i % 8) + 1);
    EXPECT_GT(model[i].rt, model[i].at + 100.0);
  }
  EXPECT_NEAR(model.front().at, 403.0, 1.0);
  EXPECT_NEAR(model[13 * 8].at, 9784.0, 1.0);
}

struct Condition {
  const char* name;
  RecordingConditions conditions;
};

RecordingConditions noise_free() {
  RecordingConditions c;
  c.noise = 0.0;
  return c;
}

RecordingConditions with(RecordingConditions c, TWaveShape shape, double scale, bool wander,
                         double interval) {
  c.t_wave = shape;
  c.t_wave_scale = scale;
  c.wander = wander;
  c.beat_interval = interval;
  return c;
}

// AT at the steepest fall, RT at the steepest rise of the T wave: the vertex
// of the slope near each model time lies on it.
TEST(SampleGenerator, ModelTimesAreTheSteepestSlopes) {
  const Condition conditions[] = {
      {"positive", noise_free()},
      {"negative", with(noise_free(), TWaveShape::negative, 1.0, false, 0.0)},
      {"biphasic", with(noise_free(), TWaveShape::biphasic, 1.0, false, 0.0)},
      {"low", with(noise_free(), TWaveShape::positive, 0.2, false, 0.0)},
      {"wander", with(noise_free(), TWaveShape::positive, 1.0, true, 0.0)},
      {"fast", with(noise_free(), TWaveShape::positive, 1.0, false, 400.0)},
  };
  for (const Condition& c : conditions) {
    const auto leads = leads_of(sample_recording_text(4, 6, 3, c.conditions), 4);
    const std::vector<ModelTime> model = model_of(sample_model_times_csv(4, 6, 3, c.conditions));
    ASSERT_FALSE(model.empty()) << c.name;
    for (const ModelTime& t : model) {
      const auto& v = leads[static_cast<std::size_t>(t.lead - 1)];
      if (t.rt + 20.0 > static_cast<double>(v.size())) continue;  // past the recording's end
      EXPECT_NEAR(slope_vertex(v, static_cast<int>(std::lround(t.at)), 2), t.at, 0.2)
          << c.name << " beat " << t.beat << " lead " << t.lead;
      // A low T wave's slope is flat against the four decimals of the text:
      // a wider fit, which the peak's asymmetry pulls a little further off.
      const bool low_t = c.conditions.t_wave_scale < 1.0;
      EXPECT_NEAR(slope_vertex(v, static_cast<int>(std::lround(t.rt)), low_t ? 12 : 6), t.rt,
                  low_t ? 1.0 : 0.5)
          << c.name << " beat " << t.beat << " lead " << t.lead;
    }
  }
}

TEST(SampleGenerator, FastRateBeatsEvery400Ms) {
  const auto model = model_of(
      sample_model_times_csv(1, 10, 2, with({}, TWaveShape::positive, 1.0, false, 400.0)));
  ASSERT_GT(model.size(), 20u);
  for (std::size_t k = 1; k < model.size(); ++k) {
    EXPECT_GE(model[k].at - model[k - 1].at, 380.0);
    EXPECT_LE(model[k].at - model[k - 1].at, 420.0);
  }
}

// The noise is the difference from the same recording without noise; its
// spread is the asked share of the lead's RS amplitude (R peak to S trough).
TEST(SampleGenerator, NoiseIsTheAskedShareOfTheRsAmplitude) {
  RecordingConditions noisy;
  noisy.noise = 0.02;
  const auto clean = leads_of(sample_recording_text(3, 10, 5, noise_free()), 3);
  const auto with_noise = leads_of(sample_recording_text(3, 10, 5, noisy), 3);
  const auto model = model_of(sample_model_times_csv(3, 10, 5, noise_free()));
  for (int lead = 1; lead <= 3; ++lead) {
    const auto& c = clean[static_cast<std::size_t>(lead - 1)];
    const auto& n = with_noise[static_cast<std::size_t>(lead - 1)];
    const int at = static_cast<int>(std::lround(model[static_cast<std::size_t>(lead - 1)].at));
    double high = -1e9, low = 1e9;
    for (int i = at - 20; i <= at + 20; ++i) {
      high = std::max(high, c[static_cast<std::size_t>(i - 1)]);
      low = std::min(low, c[static_cast<std::size_t>(i - 1)]);
    }
    double sum = 0.0, squares = 0.0;
    for (std::size_t i = 0; i < c.size(); ++i) {
      sum += n[i] - c[i];
      squares += (n[i] - c[i]) * (n[i] - c[i]);
    }
    const double count = static_cast<double>(c.size());
    const double spread = std::sqrt(squares / count - (sum / count) * (sum / count));
    EXPECT_NEAR(spread / (high - low), 0.02, 0.001) << lead;
  }
}

}  // namespace
}  // namespace telmor
