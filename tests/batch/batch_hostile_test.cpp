// telmor-batch on what a hostile or unlucky folder holds: a file that cannot
// fit in memory between two recordings, a binary file, amplitudes single
// precision cannot hold, a name a spreadsheet would run, and layouts too
// large or too dense for their checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "batch_harness.h"
#include "support/sample_expectation.h"

#if defined(__unix__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#define TELMOR_CAN_LIMIT_MEMORY 1
#endif

namespace telmor {
namespace {

namespace fs = std::filesystem;

struct Hostile : ::testing::Test, test::BatchRun {
  bool reported(const std::string& part) const { return err.find(part) != std::string::npos; }
  std::string summary() const { return test::read_whole_file(dir / "summary.csv"); }
};

// The sample with every value's decimal exponent moved by `exponent`.
std::string scaled_sample(const std::string& exponent) {
  const std::string sample = test::read_whole_file(test::kSampleFile);
  return std::regex_replace(sample, std::regex("(-?[0-9]+\\.?[0-9]*)"), "$1" + exponent);
}

// The specified arithmetic's abscissae count up to 1000 within a second, so
// values near 1e32 overflow its sums; the centred fit's stay within the
// window's half width (35 for RT) and keep them. Values near 1e-25 lose their variance in single precision either way.
TEST_F(Hostile, AmplitudesSinglePrecisionCannotHoldAreNamedNotAnalysed) {
  test::write_whole_file(dir / "large.txt", scaled_sample("e32"));
  test::write_whole_file(dir / "small.txt", scaled_sample("e-25"));
  fs::copy_file(test::kSampleFile, dir / "sample.txt");
  ASSERT_EQ(run({"--quiet", "--estimator", "legacy", dir.path().string()}), kBatchSomeReported);
  EXPECT_TRUE(reported("large.txt: 誘導1の値が大きすぎて")) << err;
  EXPECT_TRUE(reported("small.txt: 誘導1の値が小さすぎて")) << err;
  EXPECT_FALSE(fs::exists(dir / "largeari.csv"));
  EXPECT_FALSE(fs::exists(dir / "smallari.csv"));
  EXPECT_TRUE(fs::exists(dir / "sampleari.csv"));

  ASSERT_EQ(run({"--quiet", "--overwrite", dir.path().string()}), kBatchSomeReported);
  EXPECT_FALSE(reported("large.txt")) << err;  // centred: the same marks as the sample's
  EXPECT_TRUE(reported("small.txt: 誘導1の値が小さすぎて")) << err;
  EXPECT_EQ(test::read_whole_file(dir / "largeari.csv"), test::read_whole_file(dir / "sampleari.csv"));
}

TEST_F(Hostile, ABinaryFileIsNamedAsSuch) {
  test::write_whole_file(dir / "zeros.txt", std::string(8192, '\0'));
  ASSERT_EQ(run({"--quiet", path("zeros.txt")}), kBatchSomeReported);
  EXPECT_TRUE(reported("zeros.txt: テキストではありません（NULバイトのあるバイナリファイルです）。\n")) << err;
}

// A name that begins like a formula is written behind a ' in every table.
#if TELMOR_TEST_MAPS
// (Both write the maps' tables, which a build without the maps refuses.)
TEST_F(Hostile, ANameASpreadsheetWouldRunIsWrittenAsText) {
  fs::copy_file(test::kSampleFile, dir / "=HYPERLINK(\"x\").txt");
  ASSERT_EQ(run({"--quiet", "--grid", "2x4", "--pitch", "7", dir.path().string()}), kBatchAllAnalysed) << err;
  for (const std::string& table : {summary(), test::read_whole_file(dir / "=HYPERLINK(\"x\")cv.csv"),
                                   test::read_whole_file(dir / "=HYPERLINK(\"x\")dispersion.csv")}) {
    const std::string row = table.substr(table.find('\n') + 1);
    EXPECT_TRUE(row.starts_with("\"'=HYPERLINK(\"\"x\"\")\",")) << row.substr(0, 40);
  }
}

TEST_F(Hostile, LayoutsBeyondTheLimitAreRefusedWithIt) {
  fs::copy_file(test::kSampleFile, dir / "sample.txt");
  std::string layout = "lead,x_mm,y_mm\n";
  for (int lead = 1; lead <= kMaxLayoutElectrodes + 1; ++lead)
    layout += std::to_string(lead) + "," + std::to_string(lead % 100) + "," + std::to_string(lead / 100) + "\n";
  test::write_whole_file(dir / "many.csv", layout);
  ASSERT_EQ(run({"--quiet", "--layout", path("many.csv"), path("sample.txt")}), kBatchUsageError);
  EXPECT_TRUE(reported("10002行目: 電極が多すぎます（10000個まで）")) << err;
  // The same less the last line: ten thousand electrodes are taken.
  test::write_whole_file(dir / "most.csv", layout.substr(0, layout.rfind('\n', layout.size() - 2) + 1));
  ASSERT_EQ(run({"--quiet", "--layout", path("most.csv"), path("sample.txt")}), kBatchAllAnalysed) << err;
  // A file larger than any layout is not read at all (sparse: no disk used).
  test::write_whole_file(dir / "huge.csv", "lead,x_mm,y_mm\n");
  fs::resize_file(dir / "huge.csv", std::uintmax_t{3} << 30);
  ASSERT_EQ(run({"--quiet", "--layout", path("huge.csv"), path("sample.txt")}), kBatchUsageError);
  EXPECT_TRUE(reported("大きすぎるので読みません（4 MiBまで）")) << err;
}
#endif

#ifdef TELMOR_CAN_LIMIT_MEMORY
// Under a memory limit, a file too large for memory between two recordings
// is named with the step it failed in; the others are analysed and the
// summary is written. The limit is set in a child process, never this one.
TEST_F(Hostile, MemoryRunningOutIsOneRecordingsFailure) {
  fs::copy_file(test::kSampleFile, dir / "a.txt");
  test::write_whole_file(dir / "b.txt", "0\n");
  fs::resize_file(dir / "b.txt", std::uintmax_t{2} << 30);  // 2 GiB, sparse
  fs::copy_file(test::kSampleFile, dir / "c.txt");
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe_fds[0]);
    const rlimit limit{std::size_t{1} << 30, std::size_t{1} << 30};
    ::setrlimit(RLIMIT_AS, &limit);
    const int status = run({"--quiet", "--jobs", "1", dir.path().string()});
    (void)!::write(pipe_fds[1], err.data(), err.size());
    ::_exit(status);
  }
  ::close(pipe_fds[1]);
  std::string child_err;
  char buffer[4096];
  for (ssize_t got; (got = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0;)
    child_err.append(buffer, static_cast<std::size_t>(got));
  ::close(pipe_fds[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << child_err;
  EXPECT_EQ(WEXITSTATUS(status), kBatchSomeReported) << child_err;
  EXPECT_NE(child_err.find("b.txt: 読み込むメモリが足りません。"), std::string::npos) << child_err;
  EXPECT_TRUE(fs::exists(dir / "aari.csv"));
  EXPECT_TRUE(fs::exists(dir / "cari.csv"));
  const std::string table = summary();
  EXPECT_NE(table.find("\na,1,1,"), std::string::npos);
  EXPECT_NE(table.find("\nc,1,1,"), std::string::npos);
}
#endif

}  // namespace
}  // namespace telmor
