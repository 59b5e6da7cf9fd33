// Reading the waveform file: separators, rows over lines, failures and their blocks.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "driver/dialogue.h"
#include "driver/waveform_reader.h"
#include "support/scripted_layer.h"
#include "support/temp_root.h"

namespace telmor {
namespace {

struct Rows : ::testing::Test {
  std::unique_ptr<RunRecord> record = std::make_unique<RunRecord>();

  WaveReadStatus parse(const std::string& text, int leads, int samples) {
    std::istringstream in(text);
    return parse_waveform_rows(in, leads, samples, *record);
  }
  float w(int lead, int sample) const { return record->wave(lead, sample); }
};

TEST_F(Rows, CommasBlanksAndTabsReadAlike) {
  for (const char* text : {"0.1,0.2,0.3\n", "0.1 0.2 0.3\n", "0.1\t0.2\t0.3\n", "0.1 , 0.2 ,0.3\n",
                           "  0.1   0.2\t 0.3  \n"}) {
    record = std::make_unique<RunRecord>();
    ASSERT_EQ(parse(text, 3, 1), WaveReadStatus::ok) << text;
    EXPECT_EQ(w(1, 1), 0.1f);
    EXPECT_EQ(w(2, 1), 0.2f);
    EXPECT_EQ(w(3, 1), 0.3f);
  }
}

TEST_F(Rows, CrLfLineEnds) {
  ASSERT_EQ(parse("1 2\r\n3 4\r\n", 2, 2), WaveReadStatus::ok);
  EXPECT_EQ(w(1, 2), 3.0f);
  EXPECT_EQ(w(2, 2), 4.0f);
}

TEST_F(Rows, RowRunsOverLinesAndSkipsEmptyOnes) {
  ASSERT_EQ(parse("1 2\n\n3\n4 5 6\n", 3, 2), WaveReadStatus::ok);
  EXPECT_EQ(w(1, 1), 1.0f);
  EXPECT_EQ(w(2, 1), 2.0f);
  EXPECT_EQ(w(3, 1), 3.0f);
  // Row 2 starts on the next line after the one that completed row 1.
  EXPECT_EQ(w(1, 2), 4.0f);
  EXPECT_EQ(w(2, 2), 5.0f);
  EXPECT_EQ(w(3, 2), 6.0f);
}

TEST_F(Rows, ExtraColumnsAreSkipped) {
  ASSERT_EQ(parse("1 2 3 4\n5 6 x y\n", 2, 2), WaveReadStatus::ok);
  EXPECT_EQ(w(1, 2), 5.0f);
  EXPECT_EQ(w(2, 2), 6.0f);
  EXPECT_EQ(w(3, 1), 0.0f);
}

TEST_F(Rows, SlashEndsTheRowAndKeepsTheRest) {
  record->wave(2, 1) = 7.0f;
  record->wave(3, 1) = 8.0f;
  ASSERT_EQ(parse("1 / 9 9\n4 5 6\n", 3, 2), WaveReadStatus::ok);
  EXPECT_EQ(w(1, 1), 1.0f);
  EXPECT_EQ(w(2, 1), 7.0f);
  EXPECT_EQ(w(3, 1), 8.0f);
  EXPECT_EQ(w(1, 2), 4.0f);
  ASSERT_EQ(parse("1/\n", 1, 1), WaveReadStatus::ok);
}

TEST_F(Rows, EmptyCommaFieldsKeepTheirLead) {
  record->wave(1, 1) = -1.0f;
  record->wave(2, 1) = -2.0f;
  record->wave(2, 2) = -3.0f;
  record->wave(3, 3) = -4.0f;
  // Leading comma: empty lead 1. Two commas: empty lead 2. Comma, line end,
  // comma: one empty value. A comma before the line end is no empty value.
  ASSERT_EQ(parse(",5,6\n7,,8\n9,\n,\n10\n", 3, 3), WaveReadStatus::ok);
  EXPECT_EQ(w(1, 1), -1.0f);
  EXPECT_EQ(w(2, 1), 5.0f);
  EXPECT_EQ(w(3, 1), 6.0f);
  EXPECT_EQ(w(1, 2), 7.0f);
  EXPECT_EQ(w(2, 2), -3.0f);
  EXPECT_EQ(w(3, 2), 8.0f);
  EXPECT_EQ(w(1, 3), 9.0f);
  EXPECT_EQ(w(2, 3), 0.0f);  // ", \n ," was one empty value: lead 2 kept its 0
  EXPECT_EQ(w(3, 3), 10.0f);
}

TEST_F(Rows, CommaAtLineEndJoinsTheNextLine) {
  ASSERT_EQ(parse("1,2,\n3\n", 3, 1), WaveReadStatus::ok);
  EXPECT_EQ(w(3, 1), 3.0f);
}

TEST_F(Rows, ShortFileEndsWithEndOfFile) {
  ASSERT_EQ(parse("1 2\n3 4\n", 2, 3), WaveReadStatus::end_of_file);
  EXPECT_EQ(w(1, 2), 3.0f);
  ASSERT_EQ(parse("", 2, 1), WaveReadStatus::end_of_file);
  ASSERT_EQ(parse("1 2\n3", 2, 2), WaveReadStatus::end_of_file);
  EXPECT_EQ(w(1, 2), 3.0f);  // the part of the row already read stays
}

TEST_F(Rows, LastLineWithoutLineEnd) {
  ASSERT_EQ(parse("1 2\n3 4", 2, 2), WaveReadStatus::ok);
  EXPECT_EQ(w(2, 2), 4.0f);
}

TEST_F(Rows, WhatIsNotANumberIsAReadError) {
  for (const char* text : {"lead1 lead2\n1 2\n", "1 2.5D-1\n", "3*1.0 2\n", "'1' 2\n", "1 inf\n",
                           "nan 1\n", "1 1e39\n", "1 \x01\x02\n", "1;2\n"}) {
    EXPECT_EQ(parse(text, 2, 1), WaveReadStatus::read_error) << text;
  }
}

TEST_F(Rows, SignsAndShortDecimalsAreNumbers) {
  ASSERT_EQ(parse("+1 -2 .5 5. 1.5E-2 -1e+1\n", 6, 1), WaveReadStatus::ok);
  EXPECT_EQ(w(1, 1), 1.0f);
  EXPECT_EQ(w(2, 1), -2.0f);
  EXPECT_EQ(w(3, 1), 0.5f);
  EXPECT_EQ(w(4, 1), 5.0f);
  EXPECT_EQ(w(5, 1), 1.5e-2f);
  EXPECT_EQ(w(6, 1), -10.0f);
}

TEST_F(Rows, ByteOrderMarkIsSkipped) {
  ASSERT_EQ(parse("\xEF\xBB\xBF" "1 2\n", 2, 1), WaveReadStatus::ok);
  EXPECT_EQ(w(1, 1), 1.0f);
}

TEST_F(Rows, LinesAfterTheLastRowAreNeverRead) {
  ASSERT_EQ(parse("1\n2\nnot a number\n", 1, 2), WaveReadStatus::ok);
}

// The file-level reader with its console blocks.
struct FileRead : ::testing::Test {
  testing::TempRoot root;
  testing::ScriptedLayer layer;
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
