// The recovery files beside a results file: whose each is (a claim a running
// desktop holds), what is offered at a start, and what is moved aside rather
// than read: damaged text, settings no dialogue makes, a file too large, a
// FIFO or a device.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>

#include "session/recovery_claim.h"
#include "session/recovery_file.h"
#include "support/non_regular_files.h"
#include "support/test_files.h"

#if defined(__unix__)
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace telmor {
namespace {

namespace fs = std::filesystem;

// A recovery file of two leads with one AT, and these settings lines.
std::string recovery_with(const std::string& settings) {
  ResultsSnapshot tables;
  tables.lead_count = 2;
  tables.marks.at_ms(1, 1) = 500.0f;
  tables.marks.at_beat_count = 1;
  const std::string text = recovery_text(tables);
  return text.substr(0, text.find("# TELMOR recovery")) + "# TELMOR recovery\r\n" + settings;
}

const std::string kGoodSettings =
    "lead_count=2\r\namp_ratio=0.1\r\nsmooth_points=7\r\nat_range=-80,80\r\nrt_range=100,200\r\n";

TEST(RecoveryClaims, EachDesktopHoldsAFileOfItsOwn) {
  test::ScratchDir dir;
  const fs::path results = dir / "sampleari.csv";
  RecoveryClaim a = RecoveryClaim::first_free(results);
  RecoveryClaim b = RecoveryClaim::first_free(results);
  ASSERT_TRUE(a.held() && b.held());
  EXPECT_EQ(a.file(), dir / "sampleari.csv.recover");
  EXPECT_EQ(b.file(), dir / "sampleari.csv.recover2");
  EXPECT_TRUE(claimed(a.file()));
  EXPECT_FALSE(RecoveryClaim::take(a.file()).held());
  a.release();
  EXPECT_FALSE(claimed(a.file()));
  EXPECT_FALSE(fs::exists(recovery_lock_path(a.file())));  // no lock left behind
  // A file that lies there belongs to someone: a new claim passes it by.
  test::write_whole_file(dir / "sampleari.csv.recover", recovery_with(kGoodSettings));
  EXPECT_EQ(RecoveryClaim::first_free(results).file(), dir / "sampleari.csv.recover3");
}

TEST(RecoveryClaims, NamesAreReadBackAsTheirIndex) {
  const fs::path results = "x/sampleari.csv";
  EXPECT_EQ(recovery_index(results, "x/sampleari.csv.recover"), 1);
  EXPECT_EQ(recovery_index(results, "sampleari.csv.recover12"), 12);
  for (const char* other : {"sampleari.csv", "sampleari.csv.recover1", "sampleari.csv.recover02",
                            "sampleari.csv.recover.damaged", "sampleari.csv.recoverx",
                            ".sampleari.csv.recover.lock", "sampleari.csv.recover100"}) {
    EXPECT_EQ(recovery_index(results, other), 0) << other;
  }
}

#if defined(__unix__)
// A claim is the process's: while the process runs another sees it held; when
// it is killed, the system frees it.
TEST(RecoveryClaims, AKilledDesktopsFileIsFreeAgain) {
  test::ScratchDir dir;
  const fs::path file = dir / "sampleari.csv.recover";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    RecoveryClaim claim = RecoveryClaim::take(file);
    const char held = claim.held() ? 'y' : 'n';
    (void)!::write(ready[1], &held, 1);
    ::pause();
    ::_exit(0);
  }
  char held = 0;
  ASSERT_EQ(::read(ready[0], &held, 1), 1);
  ASSERT_EQ(held, 'y');
  EXPECT_TRUE(claimed(file));
  EXPECT_EQ(RecoveryClaim::first_free(dir / "sampleari.csv").file(), dir / "sampleari.csv.recover2");
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_FALSE(claimed(file));
  ::close(ready[0]);
  ::close(ready[1]);
}
#endif

// Marks counted as marks: a removal shifts the rows below it but moves no
// other mark; a moved mark is one; the first few are named.
TEST(MarkDifferences, CountMarksNotRows) {
  MarkTables file;
  file.at_beat_count = 5;
  file.rt_beat_count = 5;
  for (int row = 1; row <= 5; ++row) {
    file.at_ms(1, row) = 100.0f * static_cast<float>(row);
    file.at_ms(2, row) = 100.0f * static_cast<float>(row) + 5.0f;
    file.rt_ms(1, row) = 100.0f * static_cast<float>(row) + 50.0f;
  }
  struct Case {
    const char* what;
    std::function<void(MarkTables&)> edit;
    int count;
  };
  const std::vector<Case> cases = {
      {"none", [](MarkTables&) {}, 0},
      {"the second AT of lead 1 removed, the rows moved up",
       [](MarkTables& t) {
         for (int row = 2; row < 5; ++row) t.at_ms(1, row) = t.at_ms(1, row + 1);
         t.at_ms(1, 5) = 0.0f;
       },
       1},
      {"one AT moved", [](MarkTables& t) { t.at_ms(2, 3) = 310.0f; }, 1},
      {"an RT added", [](MarkTables& t) {
         t.rt_beat_count = 6;
         t.rt_ms(1, 6) = 650.0f;
       }, 1},
      {"lead 2 cleared", [](MarkTables& t) {
         for (int row = 1; row <= 5; ++row) t.at_ms(2, row) = 0.0f;
       }, 5},
  };
  for (const Case& c : cases) {
    MarkTables recovered = file;
    c.edit(recovered);
    EXPECT_EQ(differing_marks(recovered, file, 2), c.count) << c.what;
  }
  MarkTables moved = file;
  moved.at_ms(2, 3) = 310.0f;
  moved.rt_ms(1, 1) = 0.0f;
  const MarkDifferences named = mark_differences(moved, file, 2);
  ASSERT_EQ(named.first.size(), 2u);
  EXPECT_EQ(named.first[0].lead, 1);
  EXPECT_TRUE(named.first[0].rt);
  EXPECT_EQ(named.first[0].in_file_ms, 150.0);
  EXPECT_TRUE(std::isnan(named.first[0].recovered_ms));
  EXPECT_EQ(named.first[1].lead, 2);
  EXPECT_EQ(named.first[1].in_file_ms, 305.0);
  EXPECT_EQ(named.first[1].recovered_ms, 310.0);
}

TEST(RecoveryFindings, OffersWhatNoDesktopHoldsAndSaysWhatOthersKeep) {
  test::ScratchDir dir;
  const fs::path results = dir / "sampleari.csv";
  RecoveryClaim running = RecoveryClaim::take(recovery_path(results, 1));
  test::write_whole_file(recovery_path(results, 1), recovery_with(kGoodSettings));
  test::write_whole_file(recovery_path(results, 2), recovery_with(kGoodSettings));
  const RecoveryFindings found = find_recoveries(results);
  ASSERT_EQ(found.offers.size(), 1u);
  EXPECT_EQ(found.offers[0].file, recovery_path(results, 2));
  EXPECT_FALSE(found.offers[0].older_than_results);  // no results file at all
  EXPECT_EQ(found.offers[0].differing_marks, 1);
  EXPECT_EQ(found.kept_elsewhere, std::vector<fs::path>{recovery_path(results, 1)});
  EXPECT_TRUE(found.damaged.empty());
  EXPECT_TRUE(fs::exists(recovery_path(results, 1)));  // another desktop's: untouched
}

TEST(RecoveryFindings, AFileOlderThanTheResultsFileIsOfferedWithANote) {
  test::ScratchDir dir;
  const fs::path results = dir / "sampleari.csv";
  test::write_whole_file(recovery_path(results), recovery_with(kGoodSettings));
  const std::string file = recovery_with(kGoodSettings);
  test::write_whole_file(results, file.substr(0, file.find("# TELMOR")));  // the same tables, saved
  fs::last_write_time(recovery_path(results), fs::last_write_time(results) - std::chrono::minutes(5));
  const RecoveryFindings found = find_recoveries(results);
  ASSERT_EQ(found.offers.size(), 1u);
  EXPECT_TRUE(found.offers[0].older_than_results);
  EXPECT_EQ(found.offers[0].differing_marks, 0);
}

// Every file that is no recovery file is moved aside and named, never read
// past its limit and never waited on.
TEST(RecoveryFindings, WhatCannotBeReadIsMovedAsideAndNamed) {
  std::vector<std::pair<std::string, std::string>> texts = {
      {"junk", "not a recovery file at all"},
      {"truncated", recovery_with(kGoodSettings).substr(0, 25)},
      {"no settings", recovery_with("")},
      {"smoothing -3", recovery_with("lead_count=2\r\namp_ratio=0.1\r\nsmooth_points=-3\r\n"
                                     "at_range=-80,80\r\nrt_range=100,200\r\n")},
      {"smoothing 99999", recovery_with("lead_count=2\r\namp_ratio=0.1\r\nsmooth_points=99999\r\n"
                                        "at_range=-80,80\r\nrt_range=100,200\r\n")},
      {"ratio 5", recovery_with("lead_count=2\r\namp_ratio=5\r\nsmooth_points=7\r\n"
                                "at_range=-80,80\r\nrt_range=100,200\r\n")},
      {"range beyond a click", recovery_with("lead_count=2\r\namp_ratio=0.1\r\nsmooth_points=7\r\n"
                                             "at_range=-2147483647,80\r\nrt_range=100,200\r\n")},
  };
  for (const auto& [what, text] : texts) {
    test::ScratchDir dir;
    const fs::path results = dir / "sampleari.csv";
    test::write_whole_file(recovery_path(results), text);
    const RecoveryFindings found = find_recoveries(results);
    EXPECT_TRUE(found.offers.empty()) << what;
    ASSERT_EQ(found.damaged.size(), 1u) << what;
    EXPECT_EQ(found.damaged[0].moved_to, dir / "sampleari.csv.recover.damaged") << what;
    EXPECT_EQ(test::read_whole_file(found.damaged[0].moved_to), text) << what;
    EXPECT_TRUE(find_recoveries(results).damaged.empty()) << what;  // named once, not again
  }
}

TEST(RecoveryFindings, AFileLargerThanAnyRecoveryFileIsNotRead) {
  test::ScratchDir dir;
  const fs::path results = dir / "sampleari.csv";
  test::write_whole_file(recovery_path(results), recovery_with(kGoodSettings));
  fs::resize_file(recovery_path(results), kMaxRecoveryBytes + 1);  // sparse: no disk used
  const RecoveryFindings found = find_recoveries(results);
  EXPECT_TRUE(found.offers.empty());
  ASSERT_EQ(found.damaged.size(), 1u);
}

#ifdef TELMOR_HAS_SPECIAL_FILES
TEST(RecoveryFindings, AFifoOrADeviceIsNeverOpened) {
  for (const test::Special kind : {test::Special::fifo, test::Special::device}) {
    test::ScratchDir dir;
    const fs::path results = dir / "sampleari.csv";
    if (!test::make_special(kind, recovery_path(results))) continue;
    const RecoveryFindings found = find_recoveries(results);  // returns: nothing waits for a writer
    EXPECT_TRUE(found.offers.empty()) << test::special_name(kind);
    ASSERT_EQ(found.damaged.size(), 1u) << test::special_name(kind);
  }
}
#endif

}  // namespace
}  // namespace telmor
