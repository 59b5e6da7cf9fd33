// Reading the waveform file named in the dialogue: failures and their blocks.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "driver/dialogue.h"
#include "driver/waveform_reader.h"
#include "support/scripted_layer.h"
#include "support/temp_root.h"

namespace telmor {
namespace {

struct FileRead : ::testing::Test {
  test::TempRoot root;
  test::ScriptedLayer layer;
  std::unique_ptr<RunRecord> record = std::make_unique<RunRecord>();

  bool read(const char* name, int leads, int seconds) {
    record->drive.assign("d");
    record->file_name.assign(name);
    build_paths(*record);
    record->lead_count = leads;
    record->record_seconds = seconds;
    record->sample_count = seconds * 1000;
    return read_waveform_file(layer, *record, root.path());
  }
  static std::string three_columns(int lines) {
    std::string text;
    for (int i = 1; i <= lines; ++i)
      text += std::to_string(i) + " " + std::to_string(-i) + " " + std::to_string(2 * i) + "\n";
    return text;
  }
};

TEST_F(FileRead, ThreeColumnsOneSecond) {
  root.write("abc.txt", three_columns(1000));
  ASSERT_TRUE(read("abc", 3, 1));
  EXPECT_EQ(record->wave(1, 1000), 1000.0f);
  EXPECT_EQ(record->wave(2, 1000), -1000.0f);
  EXPECT_EQ(record->wave(3, 1000), 2000.0f);
  EXPECT_EQ(layer.console_lines,
            std::vector<std::string>{"波形データd:\\data\\map\\abc.txt           を読み込みました。"});
  EXPECT_TRUE(layer.console_input.empty());
}

TEST_F(FileRead, TwoLeadsIgnoreTheThirdColumn) {
  root.write("abc.txt", three_columns(1000));
  ASSERT_TRUE(read("abc", 2, 1));
  EXPECT_EQ(record->wave(2, 500), -500.0f);
  EXPECT_EQ(record->wave(3, 500), 0.0f);
}

TEST_F(FileRead, FourLeadsRunOutOfLines) {
  root.write("abc.txt", three_columns(1000));
  layer.console_input = {"", "ok"};
  ASSERT_FALSE(read("abc", 4, 1));
  EXPECT_EQ(record->wave(4, 1), 2.0f);  // first number of line 2
  EXPECT_EQ(record->wave(1, 2), 3.0f);  // row 2 from line 3
  const std::vector<std::string> expected = {
      "****************************************",
      "d:\\data\\map\\abc.txt           ",
      "の読み込みエラー（EOF)です。、",
      "誘導点数、記録時間(30秒以内）に間違えはありませんか。",
      "****************************************",
      "何か入力してください。",
  };
  EXPECT_EQ(layer.console_lines, expected);
  EXPECT_TRUE(record->reply.equals("ok"));
  EXPECT_TRUE(layer.console_input.empty());
}

TEST_F(FileRead, TwoSecondsKeepTheFirstThousandRows) {
  root.write("abc.txt", three_columns(1000));
  layer.console_input = {"x"};
  ASSERT_FALSE(read("abc", 3, 2));
  EXPECT_EQ(record->wave(1, 1000), 1000.0f);
  EXPECT_EQ(layer.console_lines[2], "の読み込みエラー（EOF)です。、");
}

TEST_F(FileRead, HeaderLineIsAReadError) {
  root.write("abc.txt", "I II III\n" + three_columns(1000));
  layer.console_input = {"x"};
  ASSERT_FALSE(read("abc", 3, 1));
  const std::vector<std::string> expected = {
      "****************************************", "d:\\data\\map\\abc.txt           ",
      "の読み込みエラー（ERR)です。", "ファイルの形式はTXTですか？",
      "****************************************", "何か入力してください。",
  };
  EXPECT_EQ(layer.console_lines, expected);
}

TEST_F(FileRead, MissingFileCannotBeOpened) {
  layer.console_input = {"x"};
  ASSERT_FALSE(read("abc.txt", 3, 1));
  const std::vector<std::string> expected = {
      "****************************************",
      "d:\\data\\map\\abc.txt.txt       が読めません。考えられるのは、",
      "　ファイルが指定のドライブのフォルダにない。",
      "　ファイルが他で使用中または、TXT形式でない。",
      "　誘導点数、記録時間(30秒以内）が間違えているなど。",
      "****************************************",
      "何か入力してください。",
  };
  EXPECT_EQ(layer.console_lines, expected);
}

TEST_F(FileRead, FolderWithTheFileNameCannotBeOpened) {
  std::filesystem::create_directories(root.map_folder() / "abc.txt");
  layer.console_input = {"x"};
  ASSERT_FALSE(read("abc", 3, 1));
  EXPECT_EQ(layer.console_lines[1], "d:\\data\\map\\abc.txt           が読めません。考えられるのは、");
}

TEST_F(FileRead, SingleLeadNotePrecedesTheOpen) {
  layer.console_input = {"x"};
  ASSERT_FALSE(read("none", 1, 1));
  EXPECT_EQ(layer.console_lines[0], "誘導点は１です。");
  EXPECT_EQ(layer.console_lines[1], "****************************************");
}

TEST_F(FileRead, FailedLoadLeavesItsValuesForTheNextOne) {
  root.write("three.txt", three_columns(500));
  root.write("one.txt", three_columns(1000));
  layer.console_input = {"x"};
  ASSERT_FALSE(read("three", 3, 1));
  ASSERT_TRUE(read("one", 1, 1));
  EXPECT_EQ(record->wave(1, 700), 700.0f);
  EXPECT_EQ(record->wave(2, 500), -500.0f);  // from the failed attempt
  EXPECT_EQ(record->wave(3, 500), 1000.0f);
  EXPECT_EQ(record->wave(2, 501), 0.0f);
}

}  // namespace
}  // namespace telmor
