// The banner and the settings dialogue on the console.
#include <gtest/gtest.h>

#include <memory>

#include "driver/dialogue.h"
#include "support/scripted_layer.h"

namespace telmor {
namespace {

struct Dialogue : ::testing::Test {
  test::ScriptedLayer layer;
  std::unique_ptr<RunRecord> record = std::make_unique<RunRecord>();

  void run(std::initializer_list<const char*> replies) {
    for (const char* r : replies) layer.console_input.emplace_back(r);
    run_dialogue(layer, *record);
    EXPECT_TRUE(layer.console_input.empty()) << "replies left over";
  }
};

TEST_F(Dialogue, DefaultsNameLeadsAndSeconds) {
  run({"y", "y", "y", "abc", "3", "10"});
  const std::vector<std::string> expected = {
      "可変設定条件",
      "1)ドライブ:dでいいですか？<y/n>",
      "2)振幅比0.1-1.0 (=検出電位微分値：最大電位微分値でいいですか？<y/n>",
      "3)前後7点のデータで平滑化でいいですか？<y/n>",
      "TXT形式のファイル名を入力してください。 (xxx.txt):",
      "d:\\data\\map\\abc               ",
      "記録した誘導点数を入力してください。",
      "記録した秒数を入力してください。",
  };
  EXPECT_EQ(layer.console_lines, expected);
  EXPECT_EQ(record->data_path.view(), "d:\\data\\map\\abc.txt           ");
  EXPECT_EQ(record->result_path.view(), "d:\\data\\map\\abcari.csv           ");
  EXPECT_EQ(record->lead_count, 3);
  EXPECT_EQ(record->record_seconds, 10);
  EXPECT_EQ(record->sample_count, 10000);
  EXPECT_EQ(record->amp_ratio, 0.1f);
  EXPECT_EQ(record->smooth_points, 7);
  EXPECT_EQ(record->drive.view(), "d");
  EXPECT_EQ(record->at_from, -80);
  EXPECT_EQ(record->at_to, 80);
  EXPECT_EQ(record->rt_from, 100);
  EXPECT_EQ(record->rt_to, 200);
}

TEST_F(Dialogue, OtherDrive) {
  run({"n", "c", "y", "y", "abc", "3", "10"});
  EXPECT_EQ(record->data_path.trimmed(), "c:\\data\\map\\abc.txt");
  EXPECT_EQ(layer.console_lines[2], "ドライブ(c,dなど一文字）:");
}

TEST_F(Dialogue, OnlyTheOneLetterNoCounts) {
  run({"no", "NO", "n ,x", "5", "abc", "1", "1"});
  EXPECT_EQ(record->drive.view(), "d");
  EXPECT_EQ(record->amp_ratio, 0.1f);
  EXPECT_EQ(record->smooth_points, 5);  // "n ,x" is n
}

TEST_F(Dialogue, ChangedRatioAndSmoothing) {
  run({"y", "N", "0.25", "n", "10", "abc", "2", "5"});
  EXPECT_EQ(record->amp_ratio, 0.25f);
  EXPECT_EQ(record->smooth_points, 10);
  EXPECT_EQ(layer.console_lines[3], "振幅比(0.0-1.0) :");
}

TEST_F(Dialogue, RatioIsTakenAsTyped) {
  run({"y", "n", "1.5", "y", "abc", "2", "5"});
  EXPECT_EQ(record->amp_ratio, 1.5f);
}

// A .txt typed as the prompt shows it is the file's extension, not added again.
TEST_F(Dialogue, NameWithExtensionNamesThatFile) {
  run({"y", "y", "y", "abc.txt", "3", "10"});
  EXPECT_EQ(record->data_path.trimmed(), "d:\\data\\map\\abc.txt");
  EXPECT_EQ(record->result_path.trimmed(), "d:\\data\\map\\abcari.csv");
}

TEST_F(Dialogue, TwelveAndThirteenCharacterNames) {
  run({"y", "y", "y", "abcdefghijkl", "3", "10"});
  EXPECT_EQ(record->data_path.trimmed(), "d:\\data\\map\\abcdefghijkl.txt");
  EXPECT_EQ(record->data_path.trimmed().size(), 28u);
  EXPECT_EQ(record->result_path.trimmed(), "d:\\data\\map\\abcdefghijklari.csv");
  run({"y", "y", "y", "abcdefghijklm", "3", "10"});
  EXPECT_EQ(record->file_name.view(), "abcdefghijkl");
  EXPECT_EQ(record->data_path.trimmed(), "d:\\data\\map\\abcdefghijkl.txt");
}

// A name longer than the field keeps is opened whole: the field holds its
// first 12 characters (by characters), the shown paths the whole name.
TEST_F(Dialogue, LongNamesAreOpenedWholeAndTxtIsTheExtension) {
  struct Case {
    const char* typed;
    const char* field;
    const char* data_path;    // as shown
    const char* result_path;  // as shown
    const char* name;
  };
  const Case cases[] = {
      {"心電図データ一二三四五六七", "心電図データ一二三四五六", "d:\\data\\map\\心電図データ一二三四五六七.txt",
       "d:\\data\\map\\心電図データ一二三四五六七ari.csv", "心電図データ一二三四五六七"},
      {"rat03_LV_epi_pacing.txt", "rat03_LV_epi", "d:\\data\\map\\rat03_LV_epi_pacing.txt",
       "d:\\data\\map\\rat03_LV_epi_pacingari.csv", "rat03_LV_epi_pacing"},
      {"sample.txt", "sample", "d:\\data\\map\\sample.txt", "d:\\data\\map\\sampleari.csv", "sample"},
      {"sample", "sample", "d:\\data\\map\\sample.txt", "d:\\data\\map\\sampleari.csv", "sample"},
  };
  for (const Case& c : cases) {
    layer = {};
    run({"y", "y", "y", c.typed, "3", "10"});
    EXPECT_EQ(record->file_name.trimmed(), c.field) << c.typed;
    const auto trimmed = [](std::string_view path) { return path.substr(0, path.find_last_not_of(' ') + 1); };
    EXPECT_EQ(trimmed(shown_data_path(*record)), c.data_path) << c.typed;
    EXPECT_EQ(trimmed(shown_result_path(*record)), c.result_path) << c.typed;
    EXPECT_EQ(recording_name(*record), c.name) << c.typed;
  }
}

// A name not opened as it stands is noted before the lead count is asked;
// an ordinary name, twelve characters included, is not.
TEST_F(Dialogue, NamesThatMisleadAreNotedBeforeTheLeadCount) {
  struct Case {
    const char* typed;
    const char* note_holds;  // "" for no note
  };
  const Case cases[] = {
      {"abc.txt", "の.txtは拡張子として扱い、abc.txt を開きます"},
      {"ABC.TXT", "の.txtは拡張子として扱い、ABC.txt を開きます"},
      {"abcdefghijklm", "12文字を超えていますが、そのまま abcdefghijklm.txt を開きます"},
      {"心電図データ一二三四五六七", "12文字を超えていますが"},
      {"\"ab c\"", "空白があります"},        {"abcdefghijkl", ""},
      {"心電図データ一二三四五六", ""},        {"txt", ""},
  };
  for (const Case& c : cases) {
    layer = {};
    run({"y", "y", "y", c.typed, "3", "10"});
    const std::string note_holds = c.note_holds;
    if (note_holds.empty()) {
      EXPECT_TRUE(layer.notes.empty()) << c.typed;
      continue;
    }
    ASSERT_EQ(layer.notes.size(), 1u) << c.typed;
    EXPECT_NE(layer.notes[0].find(note_holds), std::string::npos) << layer.notes[0];
  }
}

TEST_F(Dialogue, NotANumberAsksAgain) {
  run({"y", "n", "abc", "0.5", "y", "abc", "three", "3", "x", "10"});
  EXPECT_EQ(record->amp_ratio, 0.5f);
  EXPECT_EQ(record->lead_count, 3);
  EXPECT_EQ(record->record_seconds, 10);
  const auto& lines = layer.console_lines;
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "振幅比(0.0-1.0) :"), 2);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "記録した誘導点数を入力してください。"), 2);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "記録した秒数を入力してください。"), 2);
}

TEST_F(Dialogue, OutOfRangeIsRefusedAndAskedAgain) {
  run({"y", "y", "n", "500", "-1", "0", "abc", "0", "21", "20", "31", "0", "30"});
  EXPECT_EQ(record->smooth_points, 0);
  EXPECT_EQ(record->lead_count, 20);
  EXPECT_EQ(record->record_seconds, 30);
  EXPECT_EQ(record->sample_count, 30000);
  const auto& lines = layer.console_lines;
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "0から499の数を入力してください。"), 2);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "誘導点数は1から20です。"), 2);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "秒数は1から30です。"), 2);
}

TEST_F(Dialogue, RestartPutsTheDefaultsBack) {
  run({"n", "c", "n", "0.5", "n", "3", "abc", "3", "10"});
  record->at_from = -10;
  record->rt_to = 500;
  run({"y", "y", "y", "abc", "3", "10"});
  EXPECT_EQ(record->drive.view(), "d");
  EXPECT_EQ(record->amp_ratio, 0.1f);
  EXPECT_EQ(record->smooth_points, 7);
  EXPECT_EQ(record->at_from, -80);
  EXPECT_EQ(record->rt_to, 200);
}

TEST(Banner, SixLines) {
  test::ScriptedLayer layer;
  write_banner(layer);
  ASSERT_EQ(layer.console_lines.size(), 6u);
  EXPECT_EQ(layer.console_lines[0], std::string(55, '+'));
  EXPECT_EQ(layer.console_lines[3], "動かす前に****.txtがドライブd:のフォルダ\\data\\mapに");
  EXPECT_EQ(layer.console_lines[5], std::string(55, '+'));
}

}  // namespace
}  // namespace telmor
