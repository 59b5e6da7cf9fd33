// telmor-batch beside others: two runs at once over one folder, links
// planted where saves once put their temporaries, and temporaries that
// killed runs left.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "batch_harness.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;

constexpr int kRecordings = 20;

struct RunOutcome {
  int status = -1;
  std::string err;
};

// One telmor-batch run with its own output streams, so that runs may overlap.
RunOutcome run_batch_command(const std::vector<std::string>& args) {
  const std::vector<std::string_view> views(args.begin(), args.end());
  std::ostringstream out, err;
  RunOutcome outcome;
  outcome.status = batch_main(views, out, err, false);
  outcome.err = err.str();
  return outcome;
}

std::string recording_name(int i) { return "r" + std::to_string(100 + i); }

// Names in a folder other than the recordings, the results files and the summary.
std::vector<std::string> strangers(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".txt") || name.ends_with("ari.csv") || name == "summary.csv") continue;
    names.push_back(name);
  }
  return names;
}

struct BatchBesideOthers : ::testing::Test, test::BatchRun {};

// The two runs save the same results files and the same summary at the same
// moments: every save must stand alone.
TEST_F(BatchBesideOthers, TwoRunsAtOnceEachWriteEveryFileWhole) {
  for (int i = 0; i < kRecordings; ++i) generate(recording_name(i) + ".txt", 2, 3, 40 + i);
  const test::ScratchDir elsewhere;
  const fs::path reference = elsewhere.path();
  ASSERT_EQ(run({"--out", reference.string(), dir.path().string()}), kBatchAllAnalysed) << err;
  const std::string summary = test::read_whole_file(reference / "summary.csv");

  for (int round = 1; round <= 10; ++round) {
    const std::vector<std::string> args = {"--overwrite", "--jobs", "2", dir.path().string()};
    RunOutcome first, second;
    {
      std::jthread other([&] { second = run_batch_command(args); });
      first = run_batch_command(args);
    }
    ASSERT_EQ(first.status, kBatchAllAnalysed) << "round " << round << "\n" << first.err;
    ASSERT_EQ(second.status, kBatchAllAnalysed) << "round " << round << "\n" << second.err;
    for (int i = 0; i < kRecordings; ++i) {
      const std::string results = recording_name(i) + "ari.csv";
      ASSERT_EQ(test::read_whole_file(dir / results), test::read_whole_file(reference / results))
          << "round " << round << ", " << results;
    }
    ASSERT_EQ(test::read_whole_file(dir / "summary.csv"), summary) << "round " << round;
    ASSERT_EQ(strangers(dir.path()), std::vector<std::string>{}) << "round " << round;
  }
}

// Links where earlier versions put the temporaries of the results file and
// of the summary (symbolic, or hard where the system has no symbolic links):
// the run neither writes through them nor fails.
TEST_F(BatchBesideOthers, LinksAtTheOldTemporaryNamesAreNotWrittenThrough) {
  generate("a.txt", 2, 3, 7);
  test::write_whole_file(dir / "mine.dat", "someone else's file\n");
  for (const char* name : {"aari.csv.tmp", "summary.csv.tmp"}) {
    if (!test::make_symlink(dir / "mine.dat", dir / name))
      fs::create_hard_link(dir / "mine.dat", dir / name);
  }

  ASSERT_EQ(run({dir.path().string()}), kBatchAllAnalysed) << err;
  EXPECT_EQ(test::read_whole_file(dir / "mine.dat"), "someone else's file\n");
  EXPECT_TRUE(test::read_whole_file(dir / "aari.csv").starts_with("  "));
  EXPECT_TRUE(test::read_whole_file(dir / "summary.csv").starts_with("recording,"));
  EXPECT_TRUE(fs::exists(fs::symlink_status(dir / "aari.csv.tmp")));
  EXPECT_TRUE(fs::exists(fs::symlink_status(dir / "summary.csv.tmp")));
}

// What killed runs left: a temporary that can go goes, one that cannot is
// named, and the run says it reported something. What cannot go, whoever
// runs the test: a folder that is not empty; on Windows, where a folder's
// time cannot be set, a read-only file.
TEST_F(BatchBesideOthers, KilledRunsTemporariesAreClearedOrNamed) {
  generate("a.txt", 2, 3, 7);
  const auto an_hour_ago = fs::file_time_type::clock::now() - std::chrono::hours(1);
  const fs::path left_file = dir / "aari.csv.Ab12Zz.tmp";
  const fs::path stuck = dir / "summary.csv.Cd34Yy.tmp";
  test::write_whole_file(left_file, "cut short");
  fs::last_write_time(left_file, an_hour_ago);
#ifdef _WIN32
  test::write_whole_file(stuck, "cut short");
  fs::last_write_time(stuck, an_hour_ago);
  fs::permissions(stuck, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
#else
  fs::create_directory(stuck);
  test::write_whole_file(stuck / "inside", "x");
  fs::last_write_time(stuck, an_hour_ago);
#endif

  EXPECT_EQ(run({dir.path().string()}), kBatchSomeReported);
  EXPECT_FALSE(fs::exists(left_file));
  EXPECT_TRUE(fs::exists(dir / "aari.csv"));
  EXPECT_TRUE(fs::exists(dir / "summary.csv"));
  EXPECT_NE(err.find(stuck.filename().string() + ": 中断された保存の一時ファイルを消せません（"),
            std::string::npos)
      << err;
  fs::permissions(stuck, fs::perms::owner_write, fs::perm_options::add);
}

}  // namespace
}  // namespace telmor
