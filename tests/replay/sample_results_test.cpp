// The bundled sample from the start-up dialogue to a saved results file: the
// demo's ranges, the detection, a save; then a correction pass with clicks,
// saved, and a new session that loads the file and shows the same marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "support/program_session.h"
#include "support/sample_expectation.h"

namespace telmor {
namespace {

struct SampleSession : ::testing::Test, test::ProgramSession {
  test::DrivesRoot& root = drives;
  std::filesystem::path results = root.path() / "d" / "data" / "map" / "sampleari.csv";

  void SetUp() override {
    std::filesystem::create_directories(root.path() / "d" / "data" / "map");
    std::filesystem::copy_file(test::kSampleFile, root.path() / "d" / "data" / "map" / "sample.txt");
  }
  struct Segment {
    int x1, y1, x2, y2;
  };
  // The segments drawn in one colour (RRGGBB), in order.
  std::vector<Segment> segments(const std::string& rrggbb) const {
    std::vector<Segment> found;
    std::istringstream log(draw_log);
    for (std::string word; log >> word;) {
      Segment s{};
      std::string colour;
      log >> s.x1 >> s.y1 >> s.x2 >> s.y2 >> colour;
      if (colour == rrggbb) found.push_back(s);
    }
    return found;
  }
  // The AT marks drawn, in order: red segments from row 50 to row 250.
  std::vector<int> at_mark_columns() const {
    std::vector<int> columns;
    for (const Segment& s : segments("FF0000")) {
      if (s.y1 == 50 && s.y2 == 250) columns.push_back(s.x1);
    }
    return columns;
  }
};

std::string right_presses(int n) {
  std::string text;
  for (int k = 0; k < n; ++k) text += "press right 700 100\n";
  return text;
}

// The AT marks a pass over 8 leads × 10 s draws for a table of whole times.
std::vector<int> marks_of_pass(const std::vector<std::vector<int>>& at, int rows_in_table) {
  std::vector<int> columns;
  for (int window = 0; window < 8 * 20; ++window) {
    const int lead = window / 20 + 1, start = (window % 20) * 500;
    for (int row = 0; row < rows_in_table; ++row) {
      const int t = row < static_cast<int>(at.size()) ? at[row][lead - 1] : 0;
      if (t >= start + 1 && t <= start + 1000) columns.push_back((t - start) % 1000 * 6 / 10);
    }
  }
  return columns;
}

TEST_F(SampleSession, DetectionSavesThePlainSearchResults) {
  const test::SampleExpectation e = test::expect_sample();
  ASSERT_EQ(e.beats.size(), 14u);
  ASSERT_EQ(run(test::demo_steps() + "chart s\nchart y\nchart x\n"), 0) << err;
  EXPECT_EQ(test::read_whole_file(results), test::results_text(e.at, e.rt));
}

TEST_F(SampleSession, EveryDownstrokeAsABeatWithTheDefaultRanges) {
  // Ratio 0 takes every downstroke as a beat, T waves too, so results of
  // neighbouring beats come within 50 ms of each other and the rule clears
  // some (the specified search: the centred one takes none within the noise).
  const test::SampleExpectation e = test::expect_sample(0.0f, {-80, 80, 100, 200}, Estimator::legacy);
  ASSERT_GT(e.beats.size(), 14u);
  int cleared = 0;
  for (std::size_t row = 1; row < e.at.size(); ++row) {
    for (int lead = 0; lead < test::kSampleLeads; ++lead) {
      cleared += (e.at[row][lead] == 0) + (e.rt[row][lead] == 0);
    }
  }
  EXPECT_GT(cleared, 0);
  ASSERT_EQ(run("console y\nconsole n\nconsole 0.0\nconsole y\nconsole sample\nconsole 8\n"
                "console 10\nchart c\nchart y\nchart s\nchart y\nchart x\n",
                {}, {"--estimator", "legacy"}),
            0)
      << err;
  EXPECT_EQ(test::read_whole_file(results), test::results_text(e.at, e.rt));
}

TEST_F(SampleSession, CorrectedTablesAreSavedAndLoadedIntoANewSession) {
  test::SampleExpectation e = test::expect_sample();
  ASSERT_EQ(e.beats.size(), 14u);
  // Two clicks in the first window of lead 1: x = 302 adds 503.33 ms (saved as
  // 503), x = 244 (406.67 ms) lies within 40 ms of the first beat's AT and
  // takes it away. Then right presses to the end of the pass and a save.
  ASSERT_LE(std::abs(e.at[1][0] - 407), 40);
  ASSERT_GT(std::abs(e.at[1][0] - 503), 40);
  ASSERT_EQ(run(test::demo_steps() + "chart a\npress left 302 100\npress left 244 100\n" +
                right_presses(160) + "chart y\nchart a\n" + right_presses(160) +
                "chart n\nchart x\n"),
            0)
      << err;

  // Lead 1: the added time, the beats but the first, then two empty rows
  // (the detection's empty row 1 and the row the pair of clicks left).
  std::vector<std::vector<int>> at = e.at;
  at.push_back(std::vector<int>(test::kSampleLeads, 0));
  at[0][0] = 503;
  for (std::size_t row = 1; row + 2 < at.size(); ++row) at[row][0] = e.at[row + 1][0];
  at[at.size() - 2][0] = 0;
  at[at.size() - 1][0] = 0;
  EXPECT_EQ(test::read_whole_file(results), test::results_text(at, e.rt));

  // The second pass shows the corrected marks.
  const std::vector<int> expected_marks = marks_of_pass(at, static_cast<int>(at.size()));
  const std::vector<int> first_session = at_mark_columns();
  ASSERT_GE(first_session.size(), expected_marks.size());
  EXPECT_EQ(std::vector<int>(first_session.end() - static_cast<long>(expected_marks.size()),
                             first_session.end()),
            expected_marks);

  // A new session loads the file and its pass shows the same marks.
  ASSERT_EQ(run("console y\nconsole y\nconsole y\nconsole sample\nconsole 8\nconsole 10\n"
                "chart o\nchart y\nchart a\n" +
                right_presses(160) + "chart n\nchart q\nchart x\n"),
            0)
      << err;
  EXPECT_NE(out.find("を読込みました。"), std::string::npos);
  EXPECT_EQ(at_mark_columns(), expected_marks);

  // The overview redrawn after the pass (q) keeps its beat markers and draws
  // lead 1 with the vertical scale of the last window shown (lead 8 from 9.5 s).
  const std::vector<Segment> curves = segments("0000F0");
  const std::vector<Segment> cyan = segments("00FFFF");
  ASSERT_GE(curves.size(), 8000u);
  float amp_max = 0.0f;
  for (int i = 9501; i <= 10000; ++i) amp_max = std::max(amp_max, std::fabs(e.r->wave(8, i)));
  const float yscale = (0.9f - 0.1f) / (2.0f * amp_max);
  for (int i = 1; i <= 4000; ++i) {
    float y = 0.5f - yscale * e.r->wave(1, i);
    if (y <= 0.0f) y = 0.001f;
    if (y >= 1.0f) y = 0.999f;
    const Segment& drawn = curves[curves.size() - 4000 + static_cast<std::size_t>(i - 1)];
    ASSERT_EQ(drawn.y2, static_cast<int>(static_cast<double>(y) * 300.0)) << "sample " << i;
  }
  // ... which is not the scale the session started with.
  bool rescaled = false;
  for (std::size_t k = 0; k < 4000; ++k) rescaled |= curves[k].y2 != curves[curves.size() - 4000 + k].y2;
  EXPECT_TRUE(rescaled);
  std::vector<int> first_markers, last_markers;
  for (const Segment& m : cyan) {
    if (m.y1 == 30 && m.y2 == 269) first_markers.push_back(m.x1);
  }
  ASSERT_EQ(first_markers.size(), 2 * e.beats.size());  // the overview at the start and after q
  const auto beats = static_cast<std::ptrdiff_t>(e.beats.size());
  last_markers.assign(first_markers.begin() + beats, first_markers.end());
  first_markers.resize(e.beats.size());
  EXPECT_EQ(first_markers, last_markers);
}

}  // namespace
}  // namespace telmor
