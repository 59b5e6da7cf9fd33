// A recording opened from a file of another format, anywhere, instead of the
// dialogue's: the sample written as EDF outside the drives root gives, after
// c and s, the results file beside it that the sample's text gives; another
// open starts the run over; a file that cannot be opened leaves the dialogue.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "readers/recording_text.h"
#include "replay/replay_stopped.h"
#include "support/edf_writer.h"
#include "support/program_session.h"
#include "support/sample_expectation.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTextSession =
    "console y\nconsole y\nconsole y\nconsole sample\nconsole 8\nconsole 10\n"
    "chart c\nchart y\nchart s\nchart y\nchart x\n";

struct OpenRecording : ::testing::Test {
  test::ProgramSession session;
  test::ScratchDir elsewhere;  // a folder outside the drives root
  Recording sample;
  void SetUp() override {
    ASSERT_FALSE(read_recording_text(test::read_whole_file(test::kSampleFile), 8, 10, sample));
    for (int j = 1; j <= 8; ++j) sample.labels.push_back("V" + std::to_string(j));
    test::write_whole_file(elsewhere / "rat03_LV_epi_pacing.edf", test::edf_bytes(sample, false));
  }
  std::string edf() const { return (elsewhere / "rat03_LV_epi_pacing.edf").string(); }
};

TEST_F(OpenRecording, AnEdfOutsideTheDrivesGivesTheTextsResultsBesideIt) {
  const fs::path map = session.drives / "d" / "data" / "map";
  fs::create_directories(map);
  fs::copy_file(test::kSampleFile, map / "sample.txt");
  ASSERT_EQ(session.run(std::string(kTextSession)), 0) << session.err;
  const std::string from_text = test::read_whole_file(map / "sampleari.csv");

  ASSERT_EQ(session.run("open 8 0 10 " + edf() + "\nchart c\nchart y\nchart s\nchart y\nchart x\n", {}, {"--notes"}), 0)
      << session.err;
  // 16 bits over each lead's range: the same marks (the batch's test of the
  // formats says so of every mark of the sample).
  EXPECT_EQ(test::read_whole_file(elsewhere / "rat03_LV_epi_pacingari.csv"),
            from_text);
  EXPECT_NE(session.out.find("波形データ" + edf() + "を読み込みました。"), std::string::npos) << session.out;
  EXPECT_NE(session.out.find("8 チャンネル、1000 Hz、10.0 秒のうち、8 チャンネルの 0.0〜10.0 秒を開きました。"),
            std::string::npos)
      << session.out;
  EXPECT_NE(session.out.find("chart: open " + edf()), std::string::npos) << session.out;
}

TEST_F(OpenRecording, AnotherOpenStartsOverAndAFileThatCannotBeOpenedLeavesTheDialogue) {
  // A part: leads 1-3 from 2 s for 5 s, opened while c asks; then a file
  // that is not there, which leaves the dialogue to ask.
  ASSERT_EQ(session.run("open 8 0 10 " + edf() + "\nchart c\nopen 3 2 5 " + edf() +
                        "\nchart c\nchart y\nchart s\nchart y\nopen 1 0 1 " + (elsewhere / "gone.edf").string() +
                        "\nconsole y\n",
                        {}, {"--notes"}),
            kReplayRanOut)
      << session.err;
  EXPECT_NE(session.out.find("8 チャンネル、1000 Hz、10.0 秒のうち、3 チャンネルの 2.0〜7.0 秒を開きました。"),
            std::string::npos)
      << session.out;
  const std::string results = test::read_whole_file(elsewhere / "rat03_LV_epi_pacingari.csv");
  EXPECT_FALSE(results.empty());
  EXPECT_NE(session.out.find("gone.edfが読めません。"), std::string::npos) << session.out;
  EXPECT_NE(session.out.find("ファイルを開けません（no such file）。"), std::string::npos) << session.out;
  EXPECT_NE(session.out.find("1)ドライブ:dでいいですか？<y/n>"), session.out.rfind("gone.edf"));
}

}  // namespace
}  // namespace telmor
