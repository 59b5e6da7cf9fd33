// telmor-batch: its command line, the recordings it takes, what it reports
// and the files it writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "batch_harness.h"
#include "support/sample_expectation.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;

struct Batch : ::testing::Test, test::BatchRun {
  void copy_sample(const std::string& name) const {
    fs::copy_file(test::kSampleFile, dir / name);
  }
  int lines(const std::string& text, const std::string& part) const {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }
};

TEST_F(Batch, FolderGivesResultsBesideEachRecordingAndOneSummary) {
  copy_sample("b.txt");
  copy_sample("a.txt");
  test::write_whole_file(dir / "notes.md", "not a recording");
  test::write_whole_file(dir / "acv.csv", "a map table");  // one of its own, not a recording
  test::write_whole_file(dir / "cari.csv", "a results file");
  ASSERT_EQ(run({"--quiet", dir.path().string()}), kBatchAllAnalysed) << err;
  EXPECT_EQ(err, "");
  const std::string expected = test::read_whole_file(dir / "aari.csv");
  EXPECT_EQ(test::read_whole_file(dir / "bari.csv"), expected);
  const std::string summary = test::read_whole_file(dir / "summary.csv");
  // Every row says how its marks were found: the defaults here.
  EXPECT_TRUE(summary.starts_with(
      "recording,lead,beat,beat_ms,at_ms,rt_ms,ari_ms,at_marks,rt_marks,"
      "at_fine_ms,rt_fine_ms,at_quality,rt_quality,at_flag,rt_flag,t_polarity,estimator,smooth_ms,rt_smooth_ms,label\n"
      "a,1,0,,,,,0,0,,,,,,,,centred,7," + std::to_string(kDefaultRtSmoothMs) + ",\n"));
  // 8 leads x (beat 0 and 14 beats) for each recording, a before b.
  EXPECT_EQ(lines(summary, "\na,"), 8 * 15);
  EXPECT_EQ(lines(summary, "\nb,"), 8 * 15);
  EXPECT_LT(summary.find("\na,"), summary.find("\nb,"));
  EXPECT_EQ(summary.find('\r'), std::string::npos);
}

TEST_F(Batch, DamagedFileAmongGoodOnesIsReportedWithItsReason) {
  copy_sample("good.txt");
  std::string cut = test::read_whole_file(test::kSampleFile);
  std::size_t end = 0;
  for (int row = 0; row < 5000; ++row) end = cut.find('\n', end) + 1;
  cut.resize(end);  // the first 5000 rows
  test::write_whole_file(dir / "cut.txt", cut);
  test::write_whole_file(dir / "header.txt", "time a b\n" + test::read_whole_file(test::kSampleFile));
  ASSERT_EQ(run({"--leads", "8", "--seconds", "10", dir.path().string()}), kBatchSomeReported);
  EXPECT_TRUE(fs::exists(dir / "goodari.csv"));
  EXPECT_FALSE(fs::exists(dir / "cutari.csv"));
  EXPECT_FALSE(fs::exists(dir / "headerari.csv"));
  EXPECT_NE(err.find("cut.txt: 読み込みエラー（EOF)です。5001行目"), std::string::npos) << err;
  EXPECT_NE(err.find("header.txt: 読み込みエラー（ERR)です。1行目"), std::string::npos) << err;
  EXPECT_EQ(lines(test::read_whole_file(dir / "summary.csv"), "\ngood,"), 8 * 15);
}

TEST_F(Batch, ShapeComesFromTheFileUnlessItDoesNotFit) {
  copy_sample("whole.txt");
  std::string odd = test::read_whole_file(test::kSampleFile);
  odd += odd.substr(0, odd.find('\n') + 1);  // 10001 rows
  test::write_whole_file(dir / "odd.txt", odd);
  ASSERT_EQ(run({dir.path().string()}), kBatchSomeReported);
  EXPECT_TRUE(fs::exists(dir / "wholeari.csv"));
  EXPECT_NE(err.find("odd.txt: データの行数 10001 が1000の倍数ではありません"), std::string::npos) << err;
  // Given the shape, the extra row is never read.
  ASSERT_EQ(run({"--leads", "8", "--seconds", "10", "--overwrite", path("odd.txt")}), kBatchAllAnalysed)
      << err;
  EXPECT_EQ(test::read_whole_file(dir / "oddari.csv"), test::read_whole_file(dir / "wholeari.csv"));
}

int count_lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST_F(Batch, ExistingResultsFileIsKeptWithoutOverwrite) {
  copy_sample("s.txt");
  test::write_whole_file(dir / "sari.csv", "hand corrected");
  ASSERT_EQ(run({path("s.txt")}), kBatchSomeReported);
  EXPECT_EQ(test::read_whole_file(dir / "sari.csv"), "hand corrected");
  EXPECT_NE(err.find("s.txt: 結果ファイル"), std::string::npos);
  EXPECT_NE(err.find("--overwrite"), std::string::npos);
  // Nothing analysed: a summary of no rows, the recording kept named in the notes.
  EXPECT_EQ(count_lines(test::read_whole_file(dir / "summary.csv")), 1);
  EXPECT_NE(test::read_whole_file(dir / "summary-notes.csv").find("\ns,,skipped,結果ファイル"), std::string::npos);
  ASSERT_EQ(run({"--overwrite", path("s.txt")}), kBatchAllAnalysed);
  EXPECT_NE(test::read_whole_file(dir / "sari.csv"), "hand corrected");
}

TEST_F(Batch, EmptyFolderMissingFolderAndNoRecordingAreReported) {
  fs::create_directory(dir / "empty");
  test::write_whole_file(dir / "data.dat", "1,2\n");
  test::write_whole_file(dir / "data.csv", "1,2\n");
  ASSERT_EQ(run({path("empty"), path("missing"), path("data.dat"), path("data.csv")}), kBatchSomeReported);
  EXPECT_NE(err.find("empty: フォルダに記録（*.txt、*.csv、*.edf、*.h5、*.mat など）がありません。"), std::string::npos)
      << err;
  EXPECT_NE(err.find("missing: ファイルもフォルダもありません。"), std::string::npos) << err;
  EXPECT_NE(err.find("data.dat: 記録ではありません"), std::string::npos) << err;
  // A CSV is a recording by its name: what it lacks is said.
  EXPECT_NE(err.find("data.csv: 1行目が数値です"), std::string::npos) << err;
}

TEST_F(Batch, RecordingWithoutDataIsReported) {
  std::string zeros;
  for (int i = 0; i < 1000; ++i) zeros += "0 0 0\n";
  test::write_whole_file(dir / "flat.txt", zeros);
  ASSERT_EQ(run({path("flat.txt")}), kBatchSomeReported);
  EXPECT_NE(err.find("flat.txt: データがありません"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(dir / "flatari.csv"));
}

TEST_F(Batch, OutAndSummaryGoWhereTheySay) {
  copy_sample("s.txt");
  ASSERT_EQ(run({"--out", path("results/x"), "--summary", path("all.csv"), path("s.txt")}),
            kBatchAllAnalysed);
  EXPECT_TRUE(fs::exists(dir / "results" / "x" / "sari.csv"));
  EXPECT_TRUE(fs::exists(dir / "all.csv"));
  EXPECT_FALSE(fs::exists(dir / "sari.csv"));
}

TEST_F(Batch, TheNumbersDoNotDependOnTheJobs) {
  for (int seed = 1; seed <= 3; ++seed) generate("r" + std::to_string(seed) + ".txt", 3, 4, seed);
  ASSERT_EQ(run({"--jobs", "1", "--out", path("one"), dir.path().string()}), kBatchAllAnalysed);
  ASSERT_EQ(run({"--jobs", "3", "--out", path("three"), dir.path().string()}), kBatchAllAnalysed);
  for (const char* name : {"r1ari.csv", "r2ari.csv", "r3ari.csv", "summary.csv"}) {
    EXPECT_EQ(test::read_whole_file(dir / "one" / name), test::read_whole_file(dir / "three" / name))
        << name;
  }
}

TEST_F(Batch, UsageErrorsSayWhatIsWrongInOneLine) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--smooth", "500", "x"},
      {"--smooth", "1", "x"},  // three points: no cubic fits
      {"--smooth", "seven", "x"},
      {"--ratio", "1.5", "x"},
      {"--ratio", "0,1", "x"},
      {"--ranges", "-80", "80", "100"},
      {"--leads", "1025", "x"},
      {"--seconds", "0", "x"},
      {"--seconds", "2000001", "x"},
      {"--beat-lead", "0", "x"},
      {"--jobs", "0", "x"},
      {"--frobnicate", "x"},
  };
  for (const auto& args : cases) {
    EXPECT_EQ(run(args), kBatchUsageError) << (args.empty() ? "" : args.front());
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
}

TEST_F(Batch, HelpShowsTheInterfaceAndVersionTheNumber) {
  ASSERT_EQ(run({"--help"}), kBatchAllAnalysed);
  EXPECT_NE(out.find(kBatchSynopsis), std::string::npos);
  ASSERT_EQ(run({"--version"}), kBatchAllAnalysed);
  EXPECT_TRUE(out.starts_with("telmor-batch "));
}

bool ascii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

TEST_F(Batch, EnglishIsAskedForOrTakenFromTheLocaleAndSaysEverything) {
  copy_sample("good.txt");
  test::write_whole_file(dir / "damaged.txt", "1 2 3\n4 5\n");
  ASSERT_EQ(run({"--lang", "en", path("")}), kBatchSomeReported);
  EXPECT_TRUE(ascii(err)) << err;
  EXPECT_NE(err.find("damaged.txt: "), std::string::npos) << err;
  EXPECT_NE(err.find("1 analysed, 0 skipped, 1 failed"), std::string::npos) << err;
  const std::string notes = test::read_whole_file(dir / "summary-notes.csv");
  EXPECT_TRUE(ascii(notes)) << notes;

  // The locale's English, unless --lang asks for Japanese.
  ASSERT_EQ(run({"--overwrite", path("")}, Language::english), kBatchSomeReported);
  EXPECT_TRUE(ascii(err)) << err;
  ASSERT_EQ(run({"--overwrite", "--lang", "ja", path("")}, Language::english), kBatchSomeReported);
  EXPECT_NE(err.find("解析 1 件"), std::string::npos) << err;
}

TEST_F(Batch, UsageErrorsAndHelpSpeakTheLanguageAsked) {
  struct Case {
    std::vector<std::string> args;
    Language locale;
    std::string expected;  // the start of the line after the program's name
    bool english;
  };
  const std::vector<Case> cases = {
      {{"--lang", "en", "--smooth", "500", "x"}, Language::japanese, "--smooth: the smoothing must be 2 to 499", true},
      {{"--smooth", "500", "--lang", "en", "x"}, Language::japanese, "--smooth: the smoothing must be 2 to 499", true},
      {{"--lang", "en"}, Language::japanese, "give a recording or a folder", true},
      {{"--frobnicate", "x"}, Language::english, "unknown option: --frobnicate", true},
      {{"--lang", "xx", "x"}, Language::english, "--lang is ja or en (xx).", true},
      {{"--lang", "xx", "x"}, Language::japanese, "--lang は ja か en です（xx）。", false},
      {{"x", "--lang"}, Language::english, "--lang needs a value.", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.args, c.locale), kBatchUsageError) << c.expected;
    EXPECT_TRUE(err.starts_with("telmor-batch: " + c.expected)) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(ascii(err), c.english) << err;
  }
  ASSERT_EQ(run({"--lang", "en", "--help"}), kBatchAllAnalysed);
  EXPECT_TRUE(out.starts_with("Usage:\n")) << out;
  EXPECT_NE(out.find(kBatchSynopsis), std::string::npos);
  EXPECT_TRUE(ascii(out)) << out;
  EXPECT_NE(out.find("--lang ja|en"), std::string::npos);
}

}  // namespace
}  // namespace telmor
