// The load dialogue: its question, what a good file changes in the run, and
// that a missing or bad file changes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "driver/results_dialogues.h"
#include "support/results_fixture.h"
#include "support/failing_files.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;
using test::shown;

struct LoadResults : test::ResultsDialogue {
  void load(const std::string& reply) {
    layer.chart_input.push_back(reply);
    load_results(layer, *record, file);
  }
  std::vector<std::string> failure(const std::string& reason) const {
    return {shown("AT,RTデータを", "から読込みます。"), "未保存のAT,RTは消去されます。いいですか? <y/n>",
            shown("AT,RTデータ", "を読込めませんでした。"), reason, "AT,RTは変更していません。"};
  }
  float at(int lead, int row) { return record->at_ms(lead, row); }
  float rt(int lead, int row) { return record->rt_ms(lead, row); }
  static float filled_at(int lead, int row) { return static_cast<float>(lead * 1000 + row); }
  static float filled_rt(int lead, int row) { return -filled_at(lead, row); }
};

TEST_F(LoadResults, AsksThenReadsTheFileAndSaysSo) {
  test::write_whole_file(file, test::kExampleFile);
  load("y");
  const std::vector<std::string> expected = {
      "chart> AT,RTデータを" + test::kShownPath + "から読込みます。",
      "chart> 未保存のAT,RTは消去されます。いいですか? <y/n>", "chart< y",
      "chart> AT,RTデータ" + test::kShownPath + "を読込みました。"};
  EXPECT_EQ(layer.transcript, expected);
  EXPECT_EQ(record->marks.at_beat_count, 2);
  EXPECT_EQ(record->marks.rt_beat_count, 1);
  EXPECT_EQ(at(1, 1), 120.0f);
  EXPECT_EQ(at(3, 1), 131.0f);
  EXPECT_EQ(at(2, 2), 948.0f);
  EXPECT_EQ(at(3, 2), 0.0f);
  EXPECT_EQ(rt(2, 1), 395.0f);
}

TEST_F(LoadResults, CapitalYGoesOnToo) {
  test::write_whole_file(file, test::kExampleFile);
  load("Y");
  EXPECT_EQ(record->marks.at_beat_count, 2);
  EXPECT_EQ(layer.chart_lines.back(), shown("AT,RTデータ", "を読込みました。"));
}

TEST_F(LoadResults, AnyOtherReplyChangesNothingAndCreatesNoFile) {
  fill_tables();
  const test::TablesSnapshot before = snapshot();
  for (const char* reply : {"n", "N", "yes", "o"}) {
    layer = {};
    load(reply);
    EXPECT_EQ(snapshot(), before) << reply;
    EXPECT_EQ(layer.chart_lines.size(), 2u) << reply;
    EXPECT_FALSE(fs::exists(file)) << reply;
  }
  test::write_whole_file(file, test::kExampleFile);
  load("N");
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(test::read_whole_file(file), test::kExampleFile);
}

TEST_F(LoadResults, ClearsRowsUpTo100OfTheRunsLeadsAndKeepsTheRest) {
  fill_tables();
  test::write_whole_file(file, test::kExampleFile);
  load("y");
  for (int lead = 1; lead <= 3; ++lead) {
    for (int row = 3; row <= 100; ++row) {
      ASSERT_EQ(at(lead, row), 0.0f) << lead << "," << row;
      ASSERT_EQ(rt(lead, row), 0.0f) << lead << "," << row;
    }
    EXPECT_EQ(rt(lead, 2), 0.0f);
    for (int row = 101; row <= 200; ++row) {
      ASSERT_EQ(at(lead, row), filled_at(lead, row)) << lead << "," << row;
      ASSERT_EQ(rt(lead, row), filled_rt(lead, row)) << lead << "," << row;
    }
  }
  // Leads the run does not have are not touched at all.
  for (int lead = 4; lead <= kMaxLeads; ++lead) {
    for (int row = 1; row <= 200; ++row) {
      ASSERT_EQ(at(lead, row), filled_at(lead, row)) << lead << "," << row;
      ASSERT_EQ(rt(lead, row), filled_rt(lead, row)) << lead << "," << row;
    }
  }
}

// What a load reads counts as loaded, hand marks of before included; the
// rows it clears have no source, those it does not reach keep theirs.
TEST_F(LoadResults, TimesReadAreLoadedAndTheRowsBeyondKeepTheirSources) {
  fill_tables();
  for (auto& lead : record->marks.at_source_table) lead.fill(MarkSource::hand);
  for (auto& lead : record->marks.rt_source_table) lead.fill(MarkSource::detected);
  test::write_whole_file(file, test::kExampleFile);  // AT row 2 of lead 3 is 0
  load("y");
  const auto at_source = [&](int lead, int row) {
    return record->marks.at_source_table[static_cast<std::size_t>(lead - 1)][static_cast<std::size_t>(row - 1)];
  };
  EXPECT_EQ(at_source(1, 1), MarkSource::loaded);
  EXPECT_EQ(at_source(2, 2), MarkSource::loaded);
  EXPECT_EQ(at_source(3, 2), MarkSource::none);
  EXPECT_EQ(at_source(1, 3), MarkSource::none);      // cleared
  EXPECT_EQ(at_source(1, 101), MarkSource::hand);    // beyond the cleared rows
  EXPECT_EQ(at_source(4, 1), MarkSource::hand);      // a lead the run does not have
  EXPECT_EQ(record->marks.rt_source_table[0][0], MarkSource::loaded);
  EXPECT_EQ(record->marks.rt_source_table[0][1], MarkSource::none);
}

TEST_F(LoadResults, CountAbove100ReachesRowsBeyondTheCleared) {
  fill_tables();
  record->lead_count = 1;
  std::string text = "150\r\n";
  for (int row = 1; row <= 150; ++row) text += "      5.,\r\n";
  text += "  0\r\n";
  test::write_whole_file(file, text);
  load("y");
  EXPECT_EQ(record->marks.at_beat_count, 150);
  EXPECT_EQ(record->marks.rt_beat_count, 0);
  EXPECT_EQ(at(1, 150), 5.0f);
  EXPECT_EQ(at(1, 151), filled_at(1, 151));
  EXPECT_EQ(rt(1, 100), 0.0f);
  EXPECT_EQ(rt(1, 101), filled_rt(1, 101));
}

TEST_F(LoadResults, FewerLeadsInTheFileGiveZeroForTheRest) {
  fill_tables();
  record->lead_count = 8;
  test::write_whole_file(file, test::kExampleFile);
  load("y");
  for (int lead = 4; lead <= 8; ++lead) {
    EXPECT_EQ(at(lead, 1), 0.0f);
    EXPECT_EQ(at(lead, 2), 0.0f);
    EXPECT_EQ(rt(lead, 1), 0.0f);
  }
  EXPECT_EQ(at(9, 1), filled_at(9, 1));
  // The rows reach 3 leads: the status bar says so.
  EXPECT_EQ(layer.notes, std::vector<std::string>{
                             "結果ファイルは3誘導分、この記録は8誘導です（誘導4以降は空です）。"});
}

TEST_F(LoadResults, AsManyLeadsOrMoreSayNothing) {
  for (const int leads : {2, 3}) {
    layer = {};
    record->lead_count = leads;
    test::write_whole_file(file, test::kExampleFile);
    load("y");
    EXPECT_TRUE(layer.notes.empty()) << leads;
  }
}

TEST_F(LoadResults, SaveThenLoadGivesTheSameTables) {
  RunRecord& r = *record;
  r.lead_count = kMaxLeads;
  r.marks.at_beat_count = 200;
  r.marks.rt_beat_count = 137;
  for (int lead = 1; lead <= kMaxLeads; ++lead) {
    for (int row = 1; row <= 200; ++row) {
      r.at_ms(lead, row) = static_cast<float>((lead * 7919 + row * 104729) % 60001 - 30000);
      r.rt_ms(lead, row) = row % 7 == 0 ? 0.0f : static_cast<float>(lead * 100 + row);
    }
  }
  r.at_ms(5, 5) = 9999999.0f;
  r.at_ms(6, 6) = -999999.0f;
  const test::TablesSnapshot saved = snapshot();
  layer.chart_input.push_back("y");
  save_results(layer, r, file);
  ASSERT_EQ(layer.chart_lines.back(), shown("AT,RTデータ", "を保存しました。"));

  for (auto& lead : r.marks.at_ms_table) lead.fill(1.0f);
  for (auto& lead : r.marks.rt_ms_table) lead.fill(1.0f);
  r.marks.at_beat_count = 3;
  r.marks.rt_beat_count = 4;
  load("y");
  ASSERT_EQ(layer.chart_lines.back(), shown("AT,RTデータ", "を読込みました。"));
  test::TablesSnapshot loaded = snapshot();
  // Rows beyond the RT count are neither saved nor read back.
  for (int lead = 0; lead < kMaxLeads; ++lead) {
    for (int row = 137; row < 200; ++row) loaded.rt_ms[lead][row] = saved.rt_ms[lead][row];
  }
  EXPECT_EQ(loaded, saved);
  EXPECT_EQ(r.rt_ms(1, 138), 1.0f);  // beyond the count and the cleared rows: kept
}

TEST_F(LoadResults, SaveThenLoadRoundsFractionalTimes) {
  record->marks.at_beat_count = 1;
  record->at_ms(1, 1) = 499.99997f;
  record->at_ms(2, 1) = 12.5f;
  record->at_ms(3, 1) = -2.5f;
  layer.chart_input.push_back("y");
  save_results(layer, *record, file);
  load("y");
  EXPECT_EQ(at(1, 1), 500.0f);
  EXPECT_EQ(at(2, 1), 13.0f);
  EXPECT_EQ(at(3, 1), -3.0f);
}

// Each bad file: its content and the reason shown.
struct BadFile {
  const char* content;
  const char* reason;
};

TEST_F(LoadResults, BadFileChangesNothingAndSaysWhy) {
  const BadFile cases[] = {
      {"", "ファイルが途中で終わっています（1行目がありません）。"},
      {"  2\r\n    120.,    118.,    131.,\r\n", "ファイルが途中で終わっています（3行目がありません）。"},
      {"  1\r\n    120.,    118.,    131.,\r\n", "ファイルが途中で終わっています（3行目がありません）。"},
      {"  4\r\n    120.,\r\n    950.,\r\n  1\r\n    400.,\r\n",
       "ファイルが途中で終わっています（6行目がありません）。"},
      {"  1\r\n    120.,    1l8.,    131.,\r\n  0\r\n", "2行目の誘導2の時刻が数値ではありません。"},
      {"  0\r\n  x\r\n", "2行目のRTの件数が数値ではありません。"},
      {"201\r\n", "1行目のATの件数201が0から200の範囲にありません。"},
      {" -1\r\n  0\r\n", "1行目のATの件数-1が0から200の範囲にありません。"},
  };
  for (const BadFile& bad : cases) {
    layer = {};
    fill_tables();
    const test::TablesSnapshot before = snapshot();
    test::write_whole_file(file, bad.content);
    load("y");
    EXPECT_EQ(layer.chart_lines, failure(bad.reason)) << bad.content;
    EXPECT_EQ(snapshot(), before) << bad.content;
    EXPECT_EQ(test::read_whole_file(file), bad.content);
  }
}

TEST_F(LoadResults, MissingFileIsReportedAndNotCreated) {
  fill_tables();
  const test::TablesSnapshot before = snapshot();
  load("y");
  EXPECT_EQ(layer.chart_lines, failure("ファイルがありません。"));
  EXPECT_EQ(snapshot(), before);
  EXPECT_FALSE(fs::exists(file));
}

TEST_F(LoadResults, MissingFolderIsAMissingFile) {
  file = dir.path() / "gone" / "abcari.csv";
  load("y");
  EXPECT_EQ(layer.chart_lines, failure("ファイルがありません。"));
  EXPECT_FALSE(fs::exists(dir.path() / "gone"));
}

TEST_F(LoadResults, FolderInPlaceOfTheFile) {
  fill_tables();
  const test::TablesSnapshot before = snapshot();
  fs::create_directory(file);
  load("y");
  EXPECT_EQ(layer.chart_lines, failure("ファイルではなくフォルダです。"));
  EXPECT_EQ(snapshot(), before);
}

TEST_F(LoadResults, UnreadableFile) {
  test::write_whole_file(file, test::kExampleFile);
  fill_tables();
  const test::TablesSnapshot before = snapshot();
  layer.chart_input.push_back("y");
  load_results(layer, *record, file,
               test::FailingFiles(test::FileCall::open_read, std::errc::permission_denied));
  EXPECT_EQ(layer.chart_lines, failure("読込みが許可されていません。"));
  EXPECT_EQ(snapshot(), before);
}

}  // namespace
}  // namespace telmor
