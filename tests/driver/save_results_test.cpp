// The save dialogue: its question, the file it writes, and every way the
// write can fail without harming the old file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/file_replace.h"
#include "driver/results_dialogues.h"
#include "support/results_fixture.h"
#include "support/failing_files.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;
using test::shown;

constexpr const char* kOldContent = "  1\r\n    777.,    777.,    777.,\r\n  0\r\n";

struct SaveResults : test::ResultsDialogue {
  void SetUp() override {
    ResultsDialogue::SetUp();
    test::fill_three_lead_example(*record);
  }
  void save(const std::string& reply) {
    layer.chart_input.push_back(reply);
    save_results(layer, *record, file);
  }
  std::vector<std::string> failure(const std::string& reason) const {
    return {shown("AT,RTデータを", "に保存します。"), "いいですか? <y/n>",
            shown("AT,RTデータを", "に保存できませんでした。"), reason};
  }
  // Names in the results file's folder, to see that no temporary is left.
  std::vector<std::string> folder_names(const fs::path& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    return names;
  }
};

TEST_F(SaveResults, AsksThenWritesTheFileAndSaysSo) {
  save("y");
  EXPECT_EQ(test::read_whole_file(file), test::kExampleFile);
  ASSERT_EQ(test::kShownPath.size(), 33u);
  const std::vector<std::string> expected = {
      "chart> AT,RTデータを" + test::kShownPath + "に保存します。", "chart> いいですか? <y/n>",
      "chart< y", "chart> AT,RTデータ" + test::kShownPath + "を保存しました。"};
  EXPECT_EQ(layer.transcript, expected);
  EXPECT_EQ(folder_names(dir.path()), std::vector<std::string>{"abcari.csv"});
}

TEST_F(SaveResults, CapitalYGoesOnToo) {
  save("Y");
  EXPECT_EQ(test::read_whole_file(file), test::kExampleFile);
  EXPECT_EQ(layer.chart_input.size(), 0u);
}

TEST_F(SaveResults, AnyOtherReplyWritesNothing) {
  for (const char* reply : {"n", "N", "yes", "yy", "s"}) {
    layer = {};
    save(reply);
    EXPECT_FALSE(fs::exists(file)) << reply;
    EXPECT_EQ(layer.chart_lines.size(), 2u) << reply;
  }
  test::write_whole_file(file, kOldContent);
  save("n");
  EXPECT_EQ(test::read_whole_file(file), kOldContent);
}

TEST_F(SaveResults, ReplacesALongerOldFileWhole) {
  test::write_whole_file(file, std::string(test::kExampleFile) + std::string(500, 'x'));
  save("y");
  EXPECT_EQ(test::read_whole_file(file), test::kExampleFile);
}

TEST_F(SaveResults, MissingFolderIsReportedAndNothingIsCreated) {
  const fs::path folder = dir.path() / "no such folder";
  file = folder / "abcari.csv";
  const test::TablesSnapshot before = snapshot();
  save("y");
  EXPECT_EQ(layer.chart_lines, failure("フォルダがありません。"));
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_EQ(snapshot(), before);
}

TEST_F(SaveResults, ReadOnlyFolderAndFullDiskKeepTheOldFile) {
  const std::pair<test::FailingFiles, const char*> cases[] = {
      {{test::FileCall::create_new, std::errc::permission_denied}, "書き込みが許可されていません。"},
      {{test::FileCall::write, std::errc::no_space_on_device}, "ディスクの空きが足りません。"},
  };
  for (const auto& [files, reason] : cases) {
    test::write_whole_file(file, kOldContent);
    layer = {};
    layer.chart_input.push_back("y");
    save_results(layer, *record, file, files);
    EXPECT_EQ(layer.chart_lines, failure(reason));
    EXPECT_EQ(test::read_whole_file(file), kOldContent);
    EXPECT_EQ(folder_names(dir.path()), std::vector<std::string>{"abcari.csv"});
  }
}

TEST_F(SaveResults, ResultsNameTakenByAFolderIsReportedAndTheTemporaryRemoved) {
  fs::create_directory(file);
  save("y");
  ASSERT_EQ(layer.chart_lines.size(), 4u);
  EXPECT_EQ(layer.chart_lines[2], shown("AT,RTデータを", "に保存できませんでした。"));
  EXPECT_TRUE(fs::is_directory(file));
  EXPECT_TRUE(fs::is_empty(file));
  EXPECT_EQ(folder_names(dir.path()), std::vector<std::string>{"abcari.csv"});
}

// The name where earlier versions put their temporary, taken by a folder or
// by a link to someone else's file (a symbolic link, or a hard link where
// the system has none): the save neither fails nor writes there.
TEST_F(SaveResults, AnythingAtTheOldTemporaryNameIsLeftAlone) {
  const fs::path old_temporary = dir / "abcari.csv.tmp";
  const fs::path other = dir / "other.txt";
  for (const bool link : {false, true}) {
    test::write_whole_file(file, kOldContent);
    test::write_whole_file(other, "someone else's file\n");
    fs::remove_all(old_temporary);
    if (!link) {
      fs::create_directory(old_temporary);
    } else if (!test::make_symlink(other, old_temporary)) {
      fs::create_hard_link(other, old_temporary);
    }
    layer = {};
    record->results_seen = {};  // each round as a program that has just started
    save("y");
    EXPECT_EQ(layer.chart_lines.back(), shown("AT,RTデータ", "を保存しました。")) << link;
    EXPECT_EQ(test::read_whole_file(file), test::kExampleFile) << link;
    EXPECT_EQ(test::read_whole_file(other), "someone else's file\n") << link;
    EXPECT_EQ(!link, fs::is_directory(old_temporary));
    EXPECT_EQ(link, fs::is_regular_file(old_temporary));
  }
}

TEST_F(SaveResults, TimeThatDoesNotFitIsReportedBeforeTheFileIsTouched) {
  test::write_whole_file(file, kOldContent);
  record->at_ms(2, 2) = 12345678.0f;
  const test::TablesSnapshot before = snapshot();
  save("y");
  EXPECT_EQ(layer.chart_lines, failure("ATの誘導2の2拍目の時刻が8桁の欄に書けません。"));
  EXPECT_EQ(test::read_whole_file(file), kOldContent);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(SaveResults, CountOutsideTheTablesIsReported) {
  record->marks.rt_beat_count = -1;
  save("y");
  EXPECT_EQ(layer.chart_lines, failure("RTの件数-1が0から200の範囲にありません。"));
  EXPECT_FALSE(fs::exists(file));
}

TEST_F(SaveResults, FailedSaveCanBeRepeatedOnceTheCauseIsGone) {
  fs::create_directory(file);
  save("y");
  fs::remove(file);
  layer = {};
  save("y");
  EXPECT_EQ(layer.chart_lines.back(), shown("AT,RTデータ", "を保存しました。"));
  EXPECT_EQ(test::read_whole_file(file), test::kExampleFile);
}

}  // namespace
}  // namespace telmor
