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
  // The whole file at its default part: the results file's name of old,
  // with its part beside it; the dialogue's file has none.
  EXPECT_EQ(test::read_whole_file(elsewhere / "rat03_LV_epi_pacingari.csv.part"),
            "# TELMOR part\r\nsource=rat03_LV_epi_pacing.edf\r\nchannels=1,2,3,4,5,6,7,8\r\nstart_s=0\r\n"
            "seconds=10\r\nrate_hz=1000\r\n");
  EXPECT_FALSE(fs::exists(map / "sampleari.csv.part"));
  // A results file written before parts were recorded loads as it did.
  fs::remove(elsewhere / "rat03_LV_epi_pacingari.csv.part");
  ASSERT_EQ(session.run("open 8 0 10 " + edf() + "\nchart o\nchart y\nchart x\n"), 0) << session.err;
  EXPECT_NE(session.out.find("chart> AT,RTデータ" + (elsewhere / "rat03_LV_epi_pacingari.csv").string() + "を読込みました。"),
            std::string::npos)
      << session.out;
}

// Each part of one file has results of its own, beside the part they were
// made of; o refuses results recorded for another part, in either language,
// and loads its own part's.
TEST_F(OpenRecording, EachPartOfAFileHasResultsOfItsOwn) {
  const auto save = [&](const std::string& open) {
    return session.run(open + "\nchart c\nchart y\nchart s\nchart y\nchart x\n");
  };
  ASSERT_EQ(save("open 3 0 5 " + edf()), 0) << session.err;
  const fs::path first = elsewhere / "rat03_LV_epi_pacingari_ch1-3_0-5s.csv";
  const std::string first_results = test::read_whole_file(first);
  EXPECT_FALSE(first_results.empty());
  EXPECT_EQ(test::read_whole_file(elsewhere / "rat03_LV_epi_pacingari_ch1-3_0-5s.csv.part"),
            "# TELMOR part\r\nsource=rat03_LV_epi_pacing.edf\r\nchannels=1,2,3\r\nstart_s=0\r\nseconds=5\r\n"
            "rate_hz=1000\r\n");
  ASSERT_EQ(save("open 3 2.5 5 " + edf()), 0) << session.err;
  const fs::path second = elsewhere / "rat03_LV_epi_pacingari_ch1-3_2.5-7.5s.csv";
  EXPECT_FALSE(test::read_whole_file(second).empty());
  EXPECT_NE(test::read_whole_file(elsewhere / "rat03_LV_epi_pacingari_ch1-3_2.5-7.5s.csv.part").find("start_s=2.5\r\n"),
            std::string::npos);
  EXPECT_EQ(test::read_whole_file(first), first_results);  // the first part's results stay
  EXPECT_FALSE(fs::exists(elsewhere / "rat03_LV_epi_pacingari.csv"));

  // The first part's results where the second's belong: refused.
  const fs::path second_part = elsewhere / "rat03_LV_epi_pacingari_ch1-3_2.5-7.5s.csv.part";
  fs::copy_file(first, second, fs::copy_options::overwrite_existing);
  fs::copy_file(elsewhere / "rat03_LV_epi_pacingari_ch1-3_0-5s.csv.part", second_part,
                fs::copy_options::overwrite_existing);
  const std::string load = "open 3 2.5 5 " + edf() + "\nchart o\nchart y\nchart x\n";
  ASSERT_EQ(session.run(load), 0) << session.err;
  const std::string refused = "chart> AT,RTデータ" + second.string() + "を読込めませんでした。\n"
                              "chart> この結果ファイルは別の部分（rat03_LV_epi_pacing.edf、チャンネル 1-3、0〜5 秒、1000 Hz）"
                              "の結果です。\nchart> 開いているのは rat03_LV_epi_pacing.edf、チャンネル 1-3、2.5〜7.5 秒、"
                              "1000 Hz です。\nchart> AT,RTは変更していません。\n";
  EXPECT_NE(session.out.find(refused), std::string::npos) << session.out;
  ASSERT_EQ(session.run(load, {}, {"--lang", "en"}), 0) << session.err;
  EXPECT_NE(session.out.find("chart> This results file holds the results of another part (rat03_LV_epi_pacing.edf, "
                             "channels 1-3, 0 to 5 s, 1000 Hz).\nchart> The part open is rat03_LV_epi_pacing.edf, "
                             "channels 1-3, 2.5 to 7.5 s, 1000 Hz.\n"),
            std::string::npos)
      << session.out;
  // A part file that cannot be read is named, and nothing is loaded.
  test::write_whole_file(second_part, "# TELMOR part\r\nsource=\r\n");
  ASSERT_EQ(session.run(load), 0) << session.err;
  EXPECT_NE(session.out.find("chart> この結果ファイルがどの部分のものかを記録したファイル " + second_part.string() +
                             " を読めません。\n"),
            std::string::npos)
      << session.out;

  // A name with a line end in it is shown on one line.
  test::write_whole_file(second_part, "# TELMOR part\r\nsource=two%0Alines.edf\r\nchannels=1\r\nstart_s=0\r\n"
                                      "seconds=1\r\nrate_hz=1000\r\n");
  ASSERT_EQ(session.run(load), 0) << session.err;
  EXPECT_NE(session.out.find("chart> この結果ファイルは別の部分（two?lines.edf、チャンネル 1、0〜1 秒、1000 Hz）の結果です。\n"),
            std::string::npos)
      << session.out;

  // Its own part's results load.
  ASSERT_EQ(session.run("open 3 0 5 " + edf() + "\nchart o\nchart y\nchart x\n"), 0) << session.err;
  EXPECT_NE(session.out.find("chart> AT,RTデータ" + first.string() + "を読込みました。"), std::string::npos)
      << session.out;
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
  const std::string results = test::read_whole_file(elsewhere / "rat03_LV_epi_pacingari_ch1-3_2-7s.csv");
  EXPECT_FALSE(results.empty());
  EXPECT_NE(session.out.find("gone.edfが読めません。"), std::string::npos) << session.out;
  EXPECT_NE(session.out.find("ファイルを開けません（no such file）。"), std::string::npos) << session.out;
  EXPECT_NE(session.out.find("1)ドライブ:dでいいですか？<y/n>"), session.out.rfind("gone.edf"));
}

}  // namespace
}  // namespace telmor
