// Reading the waveform file named in the dialogue: failures and their blocks.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "driver/dialogue.h"
#include "driver/waveform_reader.h"
#include "support/scripted_layer.h"
#include "support/temp_root.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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
  EXPECT_TRUE(layer.notes.empty());  // every column read
}

TEST_F(FileRead, TwoLeadsIgnoreTheThirdColumn) {
  root.write("abc.txt", three_columns(1000));
  ASSERT_TRUE(read("abc", 2, 1));
  EXPECT_EQ(record->wave(2, 500), -500.0f);
  EXPECT_EQ(record->wave(3, 500), 0.0f);
  // Extra columns are left unread, and the status bar says so.
  EXPECT_EQ(layer.notes, std::vector<std::string>{
                             "ファイルの1行目には値が3個あります。誘導点数2を超える列は読んでいません。"});
}

// Row 1 takes line 1 and the first number of line 2, whose other numbers
// show that the stated lead count does not fit the file's columns.
TEST_F(FileRead, FourLeadsOnThreeColumnsDoNotFit) {
  root.write("abc.txt", three_columns(1000));
  layer.console_input = {"", "ok"};
  ASSERT_FALSE(read("abc", 4, 1));
  EXPECT_EQ(record->wave(3, 1), 2.0f);
  EXPECT_EQ(record->wave(4, 1), 2.0f);  // first number of line 2, as read
  EXPECT_EQ(record->wave(1, 2), 0.0f);  // no row 2
  const std::vector<std::string> expected = {
      "****************************************",
      "d:\\data\\map\\abc.txt           ",
      "の誘導点数がファイルの列数と合いません。",
      "誘導点数に間違えはありませんか。",
      "****************************************",
      "何か入力してください。",
  };
  EXPECT_EQ(layer.console_lines, expected);
  EXPECT_TRUE(layer.console_input.empty());  // the empty line waited, "ok" acknowledged
  EXPECT_EQ(layer.notes, std::vector<std::string>{"ファイルの1行目の値は3個、誘導点数は4です"});
}

TEST_F(FileRead, RowsWrappedOverLinesStillRead) {
  std::string text;
  for (int i = 1; i <= 1000; ++i) text += std::to_string(i) + " 0\n" + std::to_string(-i) + "\n";
  root.write("abc.txt", text);
  ASSERT_TRUE(read("abc", 3, 1));
  EXPECT_EQ(record->wave(1, 1000), 1000.0f);
  EXPECT_EQ(record->wave(3, 1000), -1000.0f);
  EXPECT_TRUE(layer.notes.empty());
}

// The bundled 8-lead, 10-second sample named with 12 leads and 5 seconds.
TEST_F(FileRead, EightLeadSampleAsTwelveLeadsFailsAtTheFirstRow) {
  std::filesystem::copy_file(std::filesystem::path(TELMOR_SOURCE_DIR) / "examples" / "d" / "data" /
                                 "map" / "sample.txt",
                             root.map_folder() / "sample.txt");
  layer.console_input = {"x"};
  ASSERT_FALSE(read("sample", 12, 5));
  ASSERT_EQ(layer.console_lines.size(), 6u);
  EXPECT_EQ(layer.console_lines[2], "の誘導点数がファイルの列数と合いません。");
  EXPECT_EQ(layer.notes, std::vector<std::string>{"ファイルの1行目の値は8個、誘導点数は12です"});
}

// The blocks stay as they are; the status bar says what the text shows.
TEST_F(FileRead, CausesTheTextShowsGoToTheStatusBar) {
  std::string utf16 = "\xFF\xFE";
  for (const char c : three_columns(1000)) {
    utf16 += c;
    utf16 += '\0';
  }
  std::string cr_only = three_columns(1000);
  for (char& c : cr_only) c = c == '\n' ? '\r' : c;
  struct Case {
    std::string text, block_line, note;
  };
  const Case cases[] = {
      {cr_only, "の読み込みエラー（EOF)です。、",
       "行末がCRだけです（改行をCR LFかLFにして保存してください）"},
      {utf16, "の読み込みエラー（ERR)です。",
       "UTF-16のテキストです（UTF-8かShift_JISで保存してください）"},
      {"1 2 3\n4 5 1e39\n", "の読み込みエラー（ERR)です。",
       "2行目に32ビット実数の範囲を超える値があります"},
  };
  for (const Case& c : cases) {
    root.write("abc.txt", c.text);
    layer.console_lines.clear();
    layer.notes.clear();
    layer.console_input = {"x"};
    ASSERT_FALSE(read("abc", 3, 1));
    ASSERT_EQ(layer.console_lines.size(), 6u) << c.note;
    EXPECT_EQ(layer.console_lines[2], c.block_line);
    EXPECT_EQ(layer.notes, std::vector<std::string>{c.note});
  }
}

TEST_F(FileRead, TwoSecondsKeepTheFirstThousandRows) {
  root.write("abc.txt", three_columns(1000));
  layer.console_input = {"x"};
  ASSERT_FALSE(read("abc", 3, 2));
  EXPECT_EQ(record->wave(1, 1000), 1000.0f);
  EXPECT_EQ(layer.console_lines[2], "の読み込みエラー（EOF)です。、");
  EXPECT_TRUE(layer.notes.empty());  // nothing more to say than the block
}

// A file that is not there: the status bar names the folder searched on this
// machine, under the drives root.
TEST_F(FileRead, MissingFileNamesTheFolderSearched) {
  layer.console_input = {"x"};
  ASSERT_FALSE(read("nothere", 3, 1));
  ASSERT_EQ(layer.notes.size(), 1u);
#ifdef _WIN32
  // On Windows the drive path is the path searched, as it stands.
  const std::string folder = "d:\\data\\map";
#else
  const std::string folder = (std::filesystem::absolute(root.path()) / "d" / "data" / "map").string();
#endif
  EXPECT_EQ(layer.notes[0], "探したフォルダ: " + folder);
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

#ifndef _WIN32
// A FIFO in the recording's place is never opened. The test keeps a writer
// on it that has put a whole recording in, so a reader that opened it would
// read that recording rather than wait.
TEST_F(FileRead, FifoIsAFileThatCannotBeOpened) {
  const std::filesystem::path fifo = root.map_folder() / "abc.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  const std::string text = three_columns(1000);
  ASSERT_EQ(::write(writer, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  layer.console_input = {"x"};
  EXPECT_FALSE(read("abc", 3, 1));
  ::close(writer);
  ASSERT_FALSE(layer.console_lines.empty());
  EXPECT_EQ(layer.console_lines[1], "d:\\data\\map\\abc.txt           が読めません。考えられるのは、");
}
#endif

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
