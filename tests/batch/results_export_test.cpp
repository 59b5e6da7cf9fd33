// The results table a session exports: the batch summary of the same
// recording and settings, and where each mark came from, through detection,
// a hand edit, a save and a load.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "batch_harness.h"
#include "support/program_session.h"
#include "support/sample_expectation.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The line without its two source fields, which stand before the last eight
// (the marks' figures, flags, T wave and channel label), and those two.
std::string without_sources(const std::string& line, std::string& sources) {
  std::size_t end = line.size();
  for (int field = 0; field < 8; ++field) end = line.rfind(',', end - 1);
  const std::size_t start = line.rfind(',', line.rfind(',', end - 1) - 1);
  sources = line.substr(start + 1, end - start - 1);
  return line.substr(0, start) + line.substr(end);
}

TEST(ResultsExport, IsTheBatchSummaryWithWhereEachMarkCameFrom) {
  test::BatchRun batch;
  test::ProgramSession session;
  const fs::path map = session.drives / "d" / "data" / "map";
  fs::create_directories(map);
  fs::copy_file(test::kSampleFile, map / "sample.txt");
  const std::string exported = (batch.dir / "table.csv").string();
  ASSERT_EQ(session.run("console y\nconsole y\nconsole y\nconsole sample\nconsole 8\nconsole 10\n"
                        "chart c\nchart y\nexport " + exported + "\nchart x\n"),
            0)
      << session.err;
  ASSERT_EQ(batch.run({"--out", batch.path("out"), (map / "sample.txt").string()}), kBatchAllAnalysed);

  const std::vector<std::string> table = lines_of(test::read_whole_file(exported));
  const std::vector<std::string> summary = lines_of(test::read_whole_file(batch.dir / "out" / "summary.csv"));
  ASSERT_EQ(table.size(), summary.size());
  EXPECT_EQ(table[0],
            "recording,lead,beat,beat_ms,at_ms,rt_ms,ari_ms,at_marks,rt_marks,at_source,rt_source,"
            "at_fine_ms,rt_fine_ms,at_quality,rt_quality,at_flag,rt_flag,t_polarity,label");
  EXPECT_EQ(summary[0],
            "recording,lead,beat,beat_ms,at_ms,rt_ms,ari_ms,at_marks,rt_marks,"
            "at_fine_ms,rt_fine_ms,at_quality,rt_quality,at_flag,rt_flag,t_polarity,estimator,smooth_ms,rt_smooth_ms,label");
  // The summary says how its marks were found; the exported table, as
  // before, does not.
  // A text recording names no channels: the label is empty in both.
  const std::string method = ",centred,7," + std::to_string(kDefaultRtSmoothMs) + ",";
  for (std::size_t i = 1; i < table.size(); ++i) {
    std::string sources;
    ASSERT_TRUE(summary[i].ends_with(method)) << summary[i];
    EXPECT_EQ(without_sources(table[i], sources), summary[i].substr(0, summary[i].size() - method.size()) + ",");
    // After c every mark shown was detected.
    EXPECT_TRUE(sources == "detected,detected" || sources == ",detected" ||
                sources == "detected," || sources == ",")
        << table[i];
  }
}

TEST(ResultsExport, HandMarksAreHandUntilSavedAndLoaded) {
  test::BatchRun batch;
  test::ProgramSession session;
  const fs::path map = session.drives / "d" / "data" / "map";
  fs::create_directories(map);
  batch.generate(map / "small.txt", 3, 2, 5);
  const std::string before = (batch.dir / "before.csv").string();
  const std::string after = (batch.dir / "after.csv").string();
  std::string script = "console y\nconsole y\nconsole y\nconsole small\nconsole 3\nconsole 2\n"
                       "chart c\nchart y\nchart a\npress left 100 100\n";  // 166.67 ms: a beat 0 mark
  for (int window = 0; window < 12; ++window) script += "press right 700 100\n";
  script += "chart y\nexport " + before + "\nchart o\nchart y\nexport " + after + "\nchart x\n";
  ASSERT_EQ(session.run(script), 0) << session.err;

  const std::vector<std::string> hand = lines_of(test::read_whole_file(before));
  const std::vector<std::string> loaded = lines_of(test::read_whole_file(after));
  ASSERT_EQ(hand.size(), loaded.size());
  // A click between samples keeps its own time as its fine time.
  EXPECT_TRUE(hand[1].starts_with("small,1,0,,167,,,1,0,hand,,166.67,,")) << hand[1];
  EXPECT_TRUE(loaded[1].starts_with("small,1,0,,167,,,1,0,loaded,,")) << loaded[1];
  for (std::size_t i = 2; i < loaded.size(); ++i) {
    std::string sources;
    without_sources(loaded[i], sources);
    EXPECT_EQ(sources.find("detected"), std::string::npos) << loaded[i];
  }
}

}  // namespace
}  // namespace telmor
