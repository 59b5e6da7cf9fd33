// The results file of telmor-batch is byte for byte the one an interactive
// session saves after the same settings, c and s.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "batch_harness.h"
#include "support/program_session.h"
#include "support/sample_expectation.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;

struct Case {
  const char* name;
  int leads, seconds, seed;  // seed 0: the bundled sample
  const char* smooth;        // nullptr: the default, kept with y
  const char* ratio;
  bool demo_ranges;          // d with the demo's clicks: -22 28 151 401
};

// The session's replies: the settings, the file, then d, c and s.
std::string session_script(const Case& c) {
  std::string s = "console y\n";
  s += c.ratio ? std::string("console n\nconsole ") + c.ratio + "\n" : "console y\n";
  s += c.smooth ? std::string("console n\nconsole ") + c.smooth + "\n" : "console y\n";
  s += std::string("console ") + c.name + "\nconsole " + std::to_string(c.leads) + "\nconsole " +
       std::to_string(c.seconds) + "\n";
  if (c.demo_ranges) {
    // A beat near 1 s, then the four bounds at columns 107, 137, 211 and 361.
    s += "chart d\npress left 150 50\nchart y\npress left 107 50\npress left 137 50\n"
         "press left 211 50\npress left 361 50\nchart y\n";
  }
  return s + "chart c\nchart y\nchart s\nchart y\nchart x\n";
}

std::vector<std::string> batch_arguments(const Case& c, const std::string& recording,
                                         const std::string& out) {
  std::vector<std::string> args = {"--out", out, "--quiet"};
  if (c.smooth) args.insert(args.end(), {"--smooth", c.smooth});
  if (c.ratio) args.insert(args.end(), {"--ratio", c.ratio});
  if (c.demo_ranges) args.insert(args.end(), {"--ranges", "-22", "28", "151", "401"});
  args.push_back(recording);
  return args;
}

class InteractiveIdentity : public ::testing::TestWithParam<Case> {};

TEST_P(InteractiveIdentity, BatchWritesTheFileTheSessionSaves) {
  const Case& c = GetParam();
  test::BatchRun batch;
  test::ProgramSession session;
  const fs::path map = session.drives / "d" / "data" / "map";
  fs::create_directories(map);
  const std::string file = std::string(c.name) + ".txt";
  if (c.seed == 0) {
    fs::copy_file(test::kSampleFile, map / file);
  } else {
    batch.generate(map / file, c.leads, c.seconds, c.seed);
  }

  ASSERT_EQ(session.run(session_script(c)), 0) << session.err;
  ASSERT_NE(session.out.find("を保存しました。"), std::string::npos);
  if (c.demo_ranges) {
    ASSERT_NE(session.out.find("selected time"), std::string::npos);
  }

  ASSERT_EQ(batch.run(batch_arguments(c, (map / file).string(), batch.path("out"))), kBatchAllAnalysed)
      << batch.err;
  const std::string results = std::string(c.name) + "ari.csv";
  EXPECT_EQ(test::read_whole_file(batch.dir / "out" / results), test::read_whole_file(map / results));
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, InteractiveIdentity,
    ::testing::Values(Case{"sample", 8, 10, 0, nullptr, nullptr, false},
                      Case{"sample", 8, 10, 0, "2", nullptr, false},
                      Case{"sample", 8, 10, 0, "3", "0.0", false},
                      Case{"sample", 8, 10, 0, nullptr, nullptr, true},
                      Case{"big", 20, 30, 7, nullptr, nullptr, false},
                      Case{"big", 20, 30, 8, "3", "0.0", true},
                      Case{"small", 3, 2, 9, nullptr, "0.0", false}),
    [](const ::testing::TestParamInfo<Case>& param) { return "case" + std::to_string(param.index); });

// Ranges suggested at the desktop's menu and taken are the ones the batch
// suggests with --ranges auto: the saved files are the same; and the
// transcript names them. Clicked over, the clicks of d stand.
TEST(SuggestedRanges, TakenAtTheMenuGiveTheBatchsResults) {
  test::BatchRun batch;
  test::ProgramSession session;
  const fs::path map = session.drives / "d" / "data" / "map";
  fs::create_directories(map);
  fs::copy_file(test::kSampleFile, map / "sample.txt");
  const std::string start = "console y\nconsole y\nconsole y\nconsole sample\nconsole 8\nconsole 10\n";
  ASSERT_EQ(session.run(start + "suggest-ranges accept\nchart c\nchart y\nchart s\nchart y\nchart x\n"), 0)
      << session.err;
  EXPECT_NE(session.out.find("chart: suggested ranges -10 40 139 214, accept\n"), std::string::npos) << session.out;
  ASSERT_EQ(batch.run({"--out", batch.path("out"), "--quiet", "--ranges", "auto", (map / "sample.txt").string()}),
            kBatchAllAnalysed)
      << batch.err;
  EXPECT_EQ(test::read_whole_file(batch.dir / "out" / "sampleari.csv"), test::read_whole_file(map / "sampleari.csv"));

  // Clicked over: d's four clicks in the window drawn (the demo's columns).
  ASSERT_EQ(session.run(start + "suggest-ranges click\npress left 107 50\npress left 137 50\n"
                                "press left 211 50\npress left 361 50\nchart y\nchart c\nchart y\nchart s\nchart y\n"
                                "chart x\n"),
            0)
      << session.err;
  ASSERT_EQ(batch.run({"--out", batch.path("out2"), "--quiet", "--ranges", "-22", "28", "151", "401",
                       (map / "sample.txt").string()}),
            kBatchAllAnalysed);
  EXPECT_EQ(test::read_whole_file(batch.dir / "out2" / "sampleari.csv"), test::read_whole_file(map / "sampleari.csv"));
}

}  // namespace
}  // namespace telmor
