// A whole session whose results file another program saves meanwhile: the
// replay layer takes the answer of changed-file, writes its transcript line,
// and the program's lines say what was kept, in Japanese or in English.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run_program.h"
#include "replay/replay_layer.h"
#include "replay/replay_stopped.h"
#include "support/test_files.h"
#include "words/english_lines.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;

constexpr const char* kOthers = "  1\r\n    333.,    444.,    555.,\r\n  0\r\n";

// Another program saves the results file as this one takes its menu reply s.
class OtherSavesMeanwhile : public ReplayLayer {
 public:
  OtherSavesMeanwhile(std::string_view script, std::ostream& transcript, fs::path file)
      : ReplayLayer(parse_session_script(script), transcript), file_(std::move(file)) {}
  MenuRead menu_read_line() override {
    MenuRead read = ReplayLayer::menu_read_line();
    if (const std::string* line = std::get_if<std::string>(&read); line != nullptr && *line == "s" && !saved_) {
      test::write_whole_file(file_, kOthers);
      saved_ = true;
    }
    return read;
  }

 private:
  fs::path file_;
  bool saved_ = false;
};

// Three leads with a sharp downstroke on lead 1 every 800 ms.
std::string three_leads(int rows) {
  std::string text;
  for (int i = 1; i <= rows; ++i) {
    const int phase = i % 800;
    const double v = (phase < 400 ? 1.0 : (phase < 420 ? 1.0 - 0.2 * (phase - 400) : -3.0 + phase * 0.001)) +
                     0.01 * (i % 7);
    text += std::to_string(v) + " " + std::to_string(0.5 * v) + "," + std::to_string(-v) + "\n";
  }
  return text;
}

struct ChangedFileSession : ::testing::Test {
  test::DrivesRoot root;
  fs::path folder = root.path() / "d" / "data" / "map";
  fs::path results = folder / "abcari.csv";
  std::string transcript;
  std::string stop;

  void SetUp() override {
    fs::create_directories(folder);
    test::write_whole_file(folder / "abc.txt", three_leads(2000));
  }
  // The session c, s y and then the script's rest; the exit status.
  int run(const std::string& rest, bool english = false) {
    std::ostringstream out;
    OtherSavesMeanwhile layer(
        "console y\nconsole y\nconsole y\nconsole abc\nconsole 3\nconsole 2\nchart c\nchart y\nchart s\nchart y\n" +
            rest,
        out, results);
    if (english) layer.speak_english();
    int status = 0;
    try {
      run_program(layer, root.path());
    } catch (const ReplayStopped& stopped) {
      stop = stopped.what();
      status = stopped.exit_status();
    }
    transcript = out.str();
    return status;
  }
  bool holds(const std::string& line) const { return transcript.find(line + "\n") != std::string::npos; }
};

TEST_F(ChangedFileSession, KeepLeavesTheOthersFileAndSaysSo) {
  ASSERT_EQ(run("changed-file keep\nchart x\n"), 0) << stop;
  EXPECT_EQ(test::read_whole_file(results), kOthers);
  const std::string shown = "d:\\data\\map\\abcari.csv           ";
  EXPECT_NE(transcript.find("chart< y\n"
                            "chart: results file created: d:\\data\\map\\abcari.csv, keep\n"
                            "chart> AT,RTデータを" + shown + "に保存しませんでした。\n"
                            "chart> このファイルは、この画面が最後に見た時にはなく、その後ほかで作られています。\n"
                            "chart> ファイルはそのままにしました。AT,RTは未保存です。\n"),
            std::string::npos)
      << transcript;
  EXPECT_FALSE(holds("chart> AT,RTデータ" + shown + "を保存しました。"));
}

TEST_F(ChangedFileSession, OverwriteSavesAsUsual) {
  ASSERT_EQ(run("changed-file overwrite\nchart x\n"), 0) << stop;
  EXPECT_NE(test::read_whole_file(results), kOthers);
  EXPECT_TRUE(holds("chart: results file created: d:\\data\\map\\abcari.csv, overwrite")) << transcript;
  EXPECT_TRUE(holds("chart> AT,RTデータd:\\data\\map\\abcari.csv           を保存しました。")) << transcript;
}

// The question is a wait of its own: another directive does not answer it.
TEST_F(ChangedFileSession, OnlyChangedFileAnswersTheQuestion) {
  EXPECT_EQ(run("chart x\n"), kReplayMismatch);
  EXPECT_NE(stop.find("changed-file"), std::string::npos) << stop;
  EXPECT_EQ(test::read_whole_file(results), kOthers);
  fs::remove(results);
  EXPECT_EQ(run(""), kReplayRanOut);
  EXPECT_NE(stop.find("changed-file"), std::string::npos) << stop;
}

TEST_F(ChangedFileSession, TheLinesInEnglish) {
  ASSERT_EQ(run("changed-file keep\nchart x\n", true), 0) << stop;
  EXPECT_TRUE(holds("chart> The AT and RT data were not saved to d:\\data\\map\\abcari.csv           ."))
      << transcript;
  EXPECT_TRUE(holds("chart> This file was not there when this window last saw it and was made elsewhere since."));
  EXPECT_TRUE(holds("chart> The file was left as it is. AT and RT are unsaved."));
  EXPECT_FALSE(holds_japanese(transcript)) << transcript;
}

}  // namespace
}  // namespace telmor
