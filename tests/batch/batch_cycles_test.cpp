// telmor-batch on recordings of a paced sheet: ranges suggested per
// recording, notes when the ranges miss the waves, a flat lead left out of
// the maps, T polarity and flags in the summary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_harness.h"
#include "paced_sheet.h"

namespace telmor {
namespace {

struct BatchCycles : ::testing::Test, test::BatchRun {
  void sheet(const std::string& name, int leads, int seconds, int seed, const SheetConditions& c) const {
    test::write_whole_file(dir / name, sheet_recording_text(leads, seconds, static_cast<std::uint64_t>(seed), c));
  }
  static int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }
};

TEST_F(BatchCycles, SuggestedRangesAreNamedAndHoldEveryWave) {
  SheetConditions c;
  c.noise = 0.005;
  sheet("s.txt", 12, 15, 1, c);
  // The default ranges miss the late T waves: each lead says so.
  ASSERT_EQ(run({"--quiet", path("s.txt")}), kBatchAllAnalysed) << err;
  EXPECT_EQ(count(err, "のRTの5分の1を超える印が窓の端にあるか弱いです"), 1) << err;
  const std::string before = test::read_whole_file(dir / "summary.csv");
  ASSERT_EQ(run({"--overwrite", "--ranges", "auto", path("s.txt")}), kBatchAllAnalysed) << err;
  EXPECT_NE(err.find("認識範囲を記録から提案しました: AT "), std::string::npos) << err;
  EXPECT_EQ(err.find("窓の端にあるか弱いです"), std::string::npos) << err;
  // Every lead's T waves by polarity, as the sheet mixes them.
  const std::string summary = test::read_whole_file(dir / "summary.csv");
  for (const char* polarity : {",positive,centred", ",negative,centred", ",biphasic,centred"})
    EXPECT_GT(count(summary, polarity), 10) << polarity;
  EXPECT_NE(before, summary);
}

TEST_F(BatchCycles, AFlatLeadIsDeadInTheSummaryAndLeftOutOfTheMaps) {
  SheetConditions c;
  c.noise = 0.005;
  c.flat_lead = 3;
  sheet("f.txt", 10, 10, 2, c);
  ASSERT_EQ(run({"--quiet", "--ranges", "auto", "--grid", "2x5", "--pitch", "7", path("f.txt")}), kBatchAllAnalysed)
      << err;
  const std::string summary = test::read_whole_file(dir / "summary.csv");
  // Every beat row of lead 3 (beat 0 has no flags), and none of another lead.
  EXPECT_EQ(count(summary, ",dead_lead,dead_lead,"), count(summary, "\nf,3,") - 1);
  EXPECT_EQ(count(summary, ",dead_lead,dead_lead,"), count(summary, "dead_lead") / 2);
  // No velocity, restitution or dispersion rests on lead 3.
  const std::string cv = test::read_whole_file(dir / "fcv.csv");
  EXPECT_EQ(cv.find(",3,surface,"), std::string::npos);
  EXPECT_EQ(test::read_whole_file(dir / "frestitution.csv").find("\nf,3,"), std::string::npos);
}

TEST_F(BatchCycles, SmallHeartNeedsAShortBlanking) {
  sheet("r.txt", 4, 10, 3, rodent_sheet());
  ASSERT_EQ(run({"--quiet", "--ranges", "auto", "--blank-before", "40", "--blank-after", "80", path("r.txt")}),
            kBatchAllAnalysed)
      << err;
  const std::string summary = test::read_whole_file(dir / "summary.csv");
  // 10 s at 150 ms from 300 ms: 65 beats, lead 1's rows 0..65.
  EXPECT_GE(count(summary, "\nr,1,"), 64);
}

}  // namespace
}  // namespace telmor
