// Files that researchers really meet, each with what TELMOR does with it: the
// recordings in tests/corpus (3 leads, 1 second) read alike or give the right
// message block and the dialogue again; damaged or foreign results files
// change nothing or load what they can.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/program_session.h"

namespace telmor {
namespace {

const std::filesystem::path kCorpus = std::filesystem::path(TELMOR_SOURCE_DIR) / "tests" / "corpus";

struct BadInput : ::testing::Test, test::ProgramSession {
  std::filesystem::path folder = drives.path() / "d" / "data" / "map";

  void SetUp() override { std::filesystem::create_directories(folder); }
  void corpus_file(const std::string& name, const std::string& as = {}) {
    const std::filesystem::path target = folder / (as.empty() ? name : as);
    // Not copy_options::overwrite_existing: MinGW's library ignores it.
    std::filesystem::remove(target);
    std::filesystem::copy_file(kCorpus / name, target);
  }
  // Reads NAME with the given leads and seconds, then goes on with then.
  int read(const std::string& name, int leads = 3, int seconds = 1,
           const std::string& then = "chart x\n") {
    return run("console y\nconsole y\nconsole y\nconsole " + name + "\nconsole " +
               std::to_string(leads) + "\nconsole " + std::to_string(seconds) + "\n" + then);
  }
  bool shows(const std::string& line) const { return out.find(line + "\n") != std::string::npos; }
};

// The same numbers in every layout: the same overview.
TEST_F(BadInput, ByteOrderMarkCrLfTabsCommasTrailingCommaAndExtraRowsReadAlike) {
  corpus_file("crlf.txt");
  ASSERT_EQ(read("crlf"), 0) << err;
  const std::string reference = draw_log;
  ASSERT_GT(reference.size(), 0u);
  for (const char* name : {"bom", "tabscommas", "trailcomma", "toolong"}) {
    corpus_file(std::string(name) + ".txt");
    ASSERT_EQ(read(name), 0) << name << ": " << err;
    EXPECT_TRUE(out.find("を読み込みました。") != std::string::npos) << name;
    EXPECT_EQ(draw_log, reference) << name;
  }
}

TEST_F(BadInput, HeaderSemicolonsAndNulBytesGiveTheReadErrorBlockAndTheDialogueAgain) {
  for (const char* name : {"header", "semicolons", "nulbytes"}) {
    corpus_file(std::string(name) + ".txt");
    corpus_file("crlf.txt");
    ASSERT_EQ(read(name, 3, 1,
                   "console ok\nconsole y\nconsole y\nconsole y\nconsole crlf\nconsole 3\n"
                   "console 1\nchart x\n"),
              0)
        << name << ": " << err;
    EXPECT_TRUE(shows("console> の読み込みエラー（ERR)です。")) << name;
    EXPECT_TRUE(shows("console> ファイルの形式はTXTですか？")) << name;
    EXPECT_TRUE(shows("console> 波形データd:\\data\\map\\crlf.txt          を読み込みました。")) << name;
  }
}

TEST_F(BadInput, OneEnormousLineIsReadPastAndTheRowsAfterItCount) {
  // About 30 MB on one line: row 1 takes its first three numbers and skips the rest.
  std::string text;
  text.reserve(31u << 20);
  while (text.size() < (30u << 20)) text += "1.5 -2.25 3 ";
  text += "\n";
  const std::string rows = test::read_whole_file(kCorpus / "crlf.txt");
  text += rows.substr(rows.find('\n') + 1);  // rows 2 to 1000
  test::write_whole_file(folder / "huge.txt", text);
  ASSERT_EQ(read("huge"), 0) << err;
  EXPECT_TRUE(shows("console> 波形データd:\\data\\map\\huge.txt          を読み込みました。"));
  // Without the rows after it the line is one row, and the file ends early.
  text.resize(text.find('\n') + 1);
  test::write_whole_file(folder / "huge.txt", text);
  ASSERT_EQ(read("huge", 3, 1, "console ok\n"), 3);
  EXPECT_TRUE(shows("console> の読み込みエラー（EOF)です。、"));
}

// c, then a save: the results file that the tables make.
const std::string kDetectAndSave = "chart c\nchart y\nchart s\nchart y\n";

TEST_F(BadInput, ResultsFileCutInARowChangesNothing) {
  corpus_file("crlf.txt", "abc.txt");
  ASSERT_EQ(read("abc", 3, 1, kDetectAndSave + "chart x\n"), 0) << err;
  const std::string saved = test::read_whole_file(folder / "abcari.csv");

  corpus_file("resultscut.csv", "abcari.csv");
  ASSERT_EQ(read("abc", 3, 1, "chart c\nchart y\nchart o\nchart y\nchart s\nchart y\nchart x\n"),
            0)
      << err;
  EXPECT_TRUE(out.find("を読込めませんでした。") != std::string::npos);
  EXPECT_TRUE(shows("chart> AT,RTは変更していません。"));
  EXPECT_EQ(test::read_whole_file(folder / "abcari.csv"), saved);  // the tables as c left them
}

TEST_F(BadInput, ResultsFileOfTwentyLeadsLoadsItsFirstLeadIntoAOneLeadRun) {
  corpus_file("crlf.txt", "abc.txt");
  corpus_file("results20leads.csv", "abcari.csv");
  ASSERT_EQ(read("abc", 1, 1, "chart o\nchart y\nchart s\nchart y\nchart x\n"), 0) << err;
  EXPECT_TRUE(out.find("を読込みました。") != std::string::npos);
  EXPECT_EQ(test::read_whole_file(folder / "abcari.csv"),
            "  5\r\n      0.,\r\n    100.,\r\n    200.,\r\n    300.,\r\n    400.,\r\n"
            "  5\r\n      0.,\r\n    150.,\r\n    250.,\r\n    350.,\r\n    450.,\r\n");
}

}  // namespace
}  // namespace telmor
