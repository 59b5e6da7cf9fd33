// The centred analysis on recordings of a paced sheet with known times: the
// cycle length shortening from 600 to 350 ms with activation spread over
// 90 ms and late-recovering sites, a flat lead, a small heart's pace, and T
// waves of each polarity.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "paced_sheet.h"
#include "readers/recording_text.h"
#include "timing/analysis.h"
#include "timing/beat_table.h"

namespace telmor {
namespace {

struct ModelMark {
  double at = NAN, rt = NAN;
  std::string polarity;
};

// The model's marks: [beat - 1][lead - 1].
std::vector<std::vector<ModelMark>> model_of(const std::string& csv, int leads) {
  std::vector<std::vector<ModelMark>> model;
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::istringstream parts(line);
    for (std::string field; std::getline(parts, field, ',');) fields.push_back(field);
    fields.resize(5);
    const auto number = [](const std::string& text) {
      double v = NAN;
      if (!text.empty()) std::from_chars(text.data(), text.data() + text.size(), v);
      return v;
    };
    const auto beat = static_cast<std::size_t>(std::stoi(fields[0]));
    if (model.size() < beat) model.resize(beat, std::vector<ModelMark>(static_cast<std::size_t>(leads)));
    model[beat - 1][static_cast<std::size_t>(std::stoi(fields[1]) - 1)] = {number(fields[2]), number(fields[3]),
                                                                           fields[4]};
  }
  return model;
}

struct Sheet {
  Analysis analysis;
  std::vector<std::vector<ModelMark>> model;
  // The model beat (index) of analysis beat k, by lead 1's AT within 5 ms; -1 for none.
  std::vector<int> match;
};

Sheet analysed_sheet(int leads, int seconds, std::uint64_t seed, const SheetConditions& c, AnalysisSettings s) {
  Sheet sheet;
  Recording r;
  EXPECT_FALSE(read_recording_text(sheet_recording_text(leads, seconds, seed, c), leads, std::nullopt, r, c.rate_hz));
  sheet.analysis = analyse(r, s);
  sheet.model = model_of(sheet_model_times_csv(leads, seconds, seed, c), leads);
  for (const double b : sheet.analysis.beats_ms) {
    int found = -1;
    for (std::size_t k = 0; k < sheet.model.size(); ++k) {
      const int lead = c.flat_lead == 1 ? 1 : 0;
      if (std::fabs(sheet.model[k][static_cast<std::size_t>(lead)].at - b) <= 5.0) found = static_cast<int>(k);
    }
    sheet.match.push_back(found);
  }
  return sheet;
}

AnalysisSettings automatic() {
  AnalysisSettings s;
  s.auto_ranges = true;
  return s;
}

// The restitution protocol at 0.5 % noise: with ranges suggested from the
// recording every beat is found, no ARI is negative, at most 2 % of the RTs
// are missing, and the marks lie near the model's.
TEST(CycleAnalysis, SuggestedRangesFollowACycleShorteningTo350Ms) {
  SheetConditions c;
  c.noise = 0.005;
  const Sheet sheet = analysed_sheet(20, 30, 1, c, automatic());
  const Analysis& a = sheet.analysis;
  ASSERT_FALSE(a.problem);
  ASSERT_TRUE(a.ranges_suggested);
  EXPECT_LE(a.at_from, -5);
  EXPECT_GE(a.at_to, 90);   // the late sites activate 90 ms after lead 1
  EXPECT_GE(a.rt_to, 400);  // and recover up to 450 ms after the beat
  int cells = 0, missing = 0, negative = 0, at_far = 0, rt_far = 0;
  for (int beat = 1; beat <= a.beat_count(); ++beat) {
    const int k = sheet.match[static_cast<std::size_t>(beat - 1)];
    ASSERT_GE(k, 0) << "beat " << beat << " at " << a.beats_ms[static_cast<std::size_t>(beat - 1)];
    if (beat == 1 || beat == a.beat_count()) continue;  // near the ends: not searched
    for (int lead = 1; lead <= a.lead_count; ++lead) {
      const ModelMark& m = sheet.model[static_cast<std::size_t>(k)][static_cast<std::size_t>(lead - 1)];
      const double at = a.at_fine_ms[a.index(beat, lead)], rt = a.rt_fine_ms[a.index(beat, lead)];
      ++cells;
      missing += std::isnan(rt);
      negative += rt - at < 0.0;
      at_far += !(std::fabs(at - m.at) <= 1.0);
      rt_far += !(std::fabs(rt - m.rt) <= 10.0);
    }
  }
  EXPECT_EQ(sheet.model.size(), a.beats_ms.size());
  EXPECT_EQ(negative, 0);
  EXPECT_LE(missing * 50, cells) << missing << " of " << cells;
  EXPECT_LE(at_far * 100, cells) << at_far << " of " << cells;
  EXPECT_LE(rt_far * 20, cells) << rt_far << " of " << cells;
  EXPECT_TRUE(a.range_warnings.empty());
}

// The default ranges end the RT search at 200 ms: on this heart that misses
// the T waves, and the analysis says so lead by lead.
TEST(CycleAnalysis, DefaultRangesThatMissTheWavesAreNamed) {
  SheetConditions c;
  c.noise = 0.005;
  const Analysis a = analysed_sheet(20, 15, 2, c, {}).analysis;
  ASSERT_FALSE(a.problem);
  int rt_warnings = 0;
  for (const RangeWarning& w : a.range_warnings) rt_warnings += w.kind == MarkKind::rt;
  EXPECT_GE(rt_warnings, 16);  // the earliest-recovering sites keep some T waves within 200 ms
}

// A flat lead gets no marks, each cell saying why, and is dead: the maps
// leave it out.
TEST(CycleAnalysis, FlatLeadHasNoMarksAndIsDead) {
  SheetConditions c;
  c.noise = 0.005;
  c.flat_lead = 7;
  const Analysis a = analysed_sheet(12, 10, 3, c, automatic()).analysis;
  ASSERT_FALSE(a.problem);
  for (int beat = 1; beat <= a.beat_count(); ++beat) {
    EXPECT_TRUE(std::isnan(a.at_time(beat, 7)));
    EXPECT_TRUE(std::isnan(a.rt_time(beat, 7)));
  }
  EXPECT_EQ(a.at_flag[a.index(2, 7)], MarkFlag::flat);
  ASSERT_EQ(a.dead_lead.size(), 12u);
  for (int lead = 1; lead <= 12; ++lead) EXPECT_EQ(a.dead_lead[static_cast<std::size_t>(lead - 1)], lead == 7);
  const BeatTable t = marks_by_beat(a);
  EXPECT_TRUE(t.dead(7));
  EXPECT_EQ(t.cell(7, 2).at.count, 0);
  EXPECT_EQ(t.cell(7, 2).at.flag, MarkFlag::flat);
}

// A small heart: beats 150 ms apart need a blanking shorter than the 300 ms
// of the interactive program's search.
TEST(CycleAnalysis, SmallHeartsBeatsWithAShortBlanking) {
  const SheetConditions c = rodent_sheet();
  AnalysisSettings s = automatic();
  const Sheet specified = analysed_sheet(4, 10, 4, c, s);
  EXPECT_LT(specified.analysis.beats_ms.size() + 10, specified.model.size());
  s.blank_before_ms = 40;
  s.blank_after_ms = 80;
  const Sheet short_blanking = analysed_sheet(4, 10, 4, c, s);
  ASSERT_FALSE(short_blanking.analysis.problem);
  EXPECT_GE(short_blanking.analysis.beats_ms.size() + 2, short_blanking.model.size());
  for (const int k : short_blanking.match) EXPECT_GE(k, 0);
}

// Each RT mark says which T wave it sits on, as the model made it.
TEST(CycleAnalysis, TPolarityOfEachLeadIsTheModels) {
  SheetConditions c;
  c.noise = 0.005;
  const Sheet sheet = analysed_sheet(9, 15, 5, c, automatic());
  const Analysis& a = sheet.analysis;
  int agree = 0, marks = 0;
  for (int beat = 2; beat < a.beat_count(); ++beat) {
    const auto& model = sheet.model[static_cast<std::size_t>(sheet.match[static_cast<std::size_t>(beat - 1)])];
    for (int lead = 1; lead <= a.lead_count; ++lead) {
      if (std::isnan(a.rt_time(beat, lead))) continue;
      ++marks;
      agree += t_polarity_name(a.t_polarity[a.index(beat, lead)]) == model[static_cast<std::size_t>(lead - 1)].polarity;
    }
  }
  EXPECT_GE(agree * 100, marks * 95) << agree << " of " << marks;
}

}  // namespace
}  // namespace telmor
