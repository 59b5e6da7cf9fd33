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

TEST_F(Dialogue, NameWithExtensionGetsASecondOne) {
  run({"y", "y", "y", "abc.txt", "3", "10"});
  EXPECT_EQ(record->data_path.trimmed(), "d:\\data\\map\\abc.txt.txt");
  EXPECT_EQ(record->result_path.trimmed(), "d:\\data\\map\\abc.txtari.csv");
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

TEST_F(Dialogue, JapaneseNameIsCutByCharacters) {
  run({"y", "y", "y", "心電図データ一二三四五六七", "3", "10"});
  EXPECT_EQ(record->file_name.view(), "心電図データ一二三四五六");
  EXPECT_EQ(record->data_path.trimmed(), "d:\\data\\map\\心電図データ一二三四五六.txt");
  EXPECT_EQ(record->result_path.trimmed(), "d:\\data\\map\\心電図データ一二三四五六ari.csv");
}

// A name that will not name the file meant is noted before the lead count
// is asked; an ordinary name, twelve characters included, is not.
TEST_F(Dialogue, NamesThatMisleadAreNotedBeforeTheLeadCount) {
  struct Case {
    const char* typed;
    const char* note_holds;  // "" for no note
  };
  const Case cases[] = {
      {"abc.txt", ".txtで終わって"},          {"ABC.TXT", ".txtで終わって"},
      {"abcdefghijklm", "12文字を超えて"},     {"心電図データ一二三四五六七", "12文字を超えて"},
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
