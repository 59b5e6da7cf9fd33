// telmor-batch on inputs that used to go wrong quietly: files whose text
// does not fit the stated shape, ranges no click can give, a summary that
// would overwrite something else, entries that are no recordings, names the
// summary cannot hold, a recording named twice, and the run's last line.
#include <gtest/gtest.h>


#include <chrono>
#include <filesystem>
#include <future>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "batch_harness.h"
#include "support/sample_expectation.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace telmor {
namespace {

namespace fs = std::filesystem;

struct BatchInput : ::testing::Test, test::BatchRun {
  void copy_sample(const std::string& name) const { fs::copy_file(test::kSampleFile, dir / name); }
  bool reported(const std::string& part) const { return err.find(part) != std::string::npos; }
  static int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }
  std::string summary() const { return test::read_whole_file(dir / "summary.csv"); }
};

TEST_F(BatchInput, LeadCountThatDoesNotFitTheColumnsIsRefused) {
  copy_sample("s.txt");
  ASSERT_EQ(run({"--quiet", "--leads", "12", "--seconds", "5", path("s.txt")}), kBatchSomeReported);
  EXPECT_TRUE(reported("s.txt: 誘導点数 12 がファイルの列数と合いません（1行目の値は 8 個）。1行目")) << err;
  EXPECT_FALSE(fs::exists(dir / "sari.csv"));
  ASSERT_EQ(run({"--quiet", "--leads", "8", "--seconds", "10", path("s.txt")}), kBatchAllAnalysed) << err;
}

TEST_F(BatchInput, ReasonsNameTheCauseTheTextShows) {
  const std::string sample = test::read_whole_file(test::kSampleFile);
  std::string cr_only = sample;
  for (char& c : cr_only) c = c == '\n' ? '\r' : c;
  std::string utf16 = "\xFF\xFE";
  for (const char c : sample) {
    utf16 += c;
    utf16 += '\0';
  }
  std::string huge = sample;
  huge.replace(huge.find('\n', 100) + 1, 0, "1e39 0 0 0 0 0 0 0\n");
  huge.resize(huge.rfind('\n', huge.size() - 2) + 1);  // still 10000 rows
  test::write_whole_file(dir / "cr.txt", cr_only);
  test::write_whole_file(dir / "utf16.txt", utf16);
  test::write_whole_file(dir / "huge.txt", huge);
  for (const std::vector<std::string>& shape : {std::vector<std::string>{},
                                                 std::vector<std::string>{"--leads", "8", "--seconds", "10"}}) {
    std::vector<std::string> args = {"--quiet"};
    args.insert(args.end(), shape.begin(), shape.end());
    args.push_back(dir.path().string());
    ASSERT_EQ(run(args), kBatchSomeReported);
    EXPECT_TRUE(reported("cr.txt: 行末がCRだけです（改行をCR LFかLFにして保存してください）。\n")) << err;
    EXPECT_TRUE(reported("utf16.txt: UTF-16のテキストです（UTF-8かShift_JISで保存してください）。\n")) << err;
    EXPECT_TRUE(reported("huge.txt: 読み込みエラー（ERR)です。")) << err;
    EXPECT_TRUE(reported("行目のデータに32ビット実数の範囲を超える値があります。\n")) << err;
    EXPECT_EQ(count(err, "\n"), 3) << err;
  }
}

TEST_F(BatchInput, RangesOnlyAsAClickCanGiveThem) {
  copy_sample("s.txt");
  const std::vector<std::vector<std::string>> refused = {
      {"80", "-80", "100", "200"},  // AT ends before it starts
      {"-80", "80", "200", "100"},  // RT ends before it starts
      {"-201", "80", "100", "200"},
      {"-80", "80", "100", "1467"},
      {"-80", "80", "100", "2147483647"},
  };
  for (const auto& bounds : refused) {
    std::vector<std::string> args = {"--ranges"};
    args.insert(args.end(), bounds.begin(), bounds.end());
    args.push_back(path("s.txt"));
    EXPECT_EQ(run(args), kBatchUsageError) << bounds[0] << " " << bounds[3];
    EXPECT_EQ(count(err, "\n"), 1) << err;
    EXPECT_TRUE(err.starts_with("telmor-batch: --ranges ")) << err;
  }
  EXPECT_FALSE(fs::exists(dir / "sari.csv"));
  for (const std::vector<std::string>& bounds : {std::vector<std::string>{"-200", "1466", "-200", "1466"},
                                                  std::vector<std::string>{"0", "0", "100", "100"}}) {
    std::vector<std::string> args = {"--quiet", "--overwrite", "--ranges"};
    args.insert(args.end(), bounds.begin(), bounds.end());
    args.push_back(path("s.txt"));
    EXPECT_EQ(run(args), kBatchAllAnalysed) << err;
  }
}

TEST_F(BatchInput, SummaryThatWouldOverwriteSomethingElseIsAUsageError) {
  fs::create_directory(dir / "in");
  fs::copy_file(test::kSampleFile, dir / "in" / "a.txt");
  test::write_whole_file(dir / "notes.csv", "my notes\n");
  fs::create_directory(dir / "folder.csv");
  const std::string recording = test::read_whole_file(dir / "in" / "a.txt");
  struct Case {
    std::string summary;
    std::string says;
  };
  const std::vector<Case> cases = {
      {path("in/a.txt"), ".csv で終わる"},
      {path("in/aari.csv"), "は書き出す結果ファイルです"},
      {path("in/../in/aari.csv"), "は書き出す結果ファイルです"},
      {path("notes.csv"), "は集計表ではないので上書きしません"},
      {path("folder.csv"), "の場所にファイルでないものがあります"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run({"--summary", c.summary, path("in")}), kBatchUsageError) << c.summary;
    EXPECT_EQ(count(err, "\n"), 1) << err;
    EXPECT_TRUE(reported(c.says)) << err;
  }
  EXPECT_EQ(test::read_whole_file(dir / "in" / "a.txt"), recording);
  EXPECT_EQ(test::read_whole_file(dir / "notes.csv"), "my notes\n");
  EXPECT_FALSE(fs::exists(dir / "in" / "aari.csv"));  // nothing written
  // Results going elsewhere, the results file's name is free for a summary.
  EXPECT_EQ(run({"--quiet", "--out", path("out"), "--summary", path("in/aari.csv"), path("in")}),
            kBatchAllAnalysed)
      << err;
}

TEST_F(BatchInput, ExistingSummaryIsRewrittenAndAnyOtherFileKept) {
  copy_sample("a.txt");
  ASSERT_EQ(run({"--quiet", "--summary", path("all.CSV"), path("a.txt")}), kBatchAllAnalysed) << err;
  const std::string first = test::read_whole_file(dir / "all.CSV");
  ASSERT_EQ(run({"--quiet", "--overwrite", "--summary", path("all.CSV"), path("a.txt")}),
            kBatchAllAnalysed)
      << err;
  EXPECT_EQ(test::read_whole_file(dir / "all.CSV"), first);
  // The default place too: a summary.csv that is not one is kept.
  test::write_whole_file(dir / "summary.csv", "lead,at\n1,2\n");
  EXPECT_EQ(run({"--overwrite", path("a.txt")}), kBatchUsageError);
  EXPECT_EQ(test::read_whole_file(dir / "summary.csv"), "lead,at\n1,2\n");
}

#ifndef _WIN32
TEST_F(BatchInput, SummaryLinkedToARecordingIsRefused) {
  copy_sample("a.txt");
  fs::create_symlink(dir / "a.txt", dir / "link.csv");
  EXPECT_EQ(run({"--summary", path("link.csv"), path("a.txt")}), kBatchUsageError);
  EXPECT_TRUE(reported("は解析する記録です")) << err;
  EXPECT_EQ(test::read_whole_file(dir / "a.txt"), test::read_whole_file(test::kSampleFile));
}

// A FIFO named as PATH is reported without being opened. Should the batch
// open it after all, the test gives it an end of file once the deadline has
// passed, so that it fails instead of hanging.
TEST_F(BatchInput, FifoNamedAsPathIsReportedNotWaitedOn) {
  const fs::path fifo = dir / "pipe.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto batch = std::async(std::launch::async, [&] { return run({"--quiet", fifo.string()}); });
  bool waited = false;
  if (batch.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
    waited = true;
    while (batch.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
      const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) ::close(writer);
    }
  }
  const int status = batch.get();
  ASSERT_FALSE(waited) << "telmor-batch waited on the FIFO";
  EXPECT_EQ(status, kBatchSomeReported);
  EXPECT_EQ(err, "telmor-batch: " + fifo.string() + ": 通常のファイルではないので開きません（FIFO）。\n");
}

TEST_F(BatchInput, EntriesThatAreNoRecordingsAreReportedOneLineEach) {
  copy_sample("good.txt");
  ASSERT_EQ(::mkfifo((dir / "pipe.txt").c_str(), 0600), 0);
  fs::create_symlink(dir / "gone", dir / "dangling.txt");
  fs::create_symlink(dir / "loop.txt", dir / "loop.txt");
  fs::create_symlink(dir / "good.txt", dir / "linked.txt");  // a link to a recording is one
  ASSERT_EQ(run({"--quiet", dir.path().string()}), kBatchSomeReported);
  EXPECT_TRUE(reported("pipe.txt: 通常のファイルではないので開きません（FIFO）。\n")) << err;
  EXPECT_TRUE(reported("dangling.txt: リンク先がありません（壊れたリンク）。\n")) << err;
  EXPECT_TRUE(reported("loop.txt: リンクが循環していて、ファイルに行き着きません。\n")) << err;
  EXPECT_EQ(count(err, "\n"), 3) << err;
  EXPECT_TRUE(fs::exists(dir / "goodari.csv"));
  EXPECT_TRUE(fs::exists(dir / "linkedari.csv"));
}

TEST_F(BatchInput, NameThatIsNotUtf8IsRepairedInTheSummaryAndReported) {
  const std::string name = "bad\xFF\xC3";  // a stray byte and a cut sequence
  fs::copy_file(test::kSampleFile, dir / (name + ".txt"));
  ASSERT_EQ(run({dir.path().string()}), kBatchAllAnalysed) << err;
  EXPECT_TRUE(fs::exists(dir / (name + "ari.csv")));  // the results file keeps the real name
  const std::string table = summary();
  EXPECT_EQ(count(table, "\nbad\xEF\xBF\xBD\xEF\xBF\xBD,"), 8 * 15);
  EXPECT_EQ(table.find('\xFF'), std::string::npos);
  EXPECT_TRUE(reported(name + ".txt: ファイル名がUTF-8ではありません。")) << err;
}
#endif

TEST_F(BatchInput, NamesEndingInCapitalTxtAreRecordings) {
  copy_sample("UP.TXT");
  copy_sample("mixed.Txt");
  ASSERT_EQ(run({"--quiet", dir.path().string()}), kBatchAllAnalysed) << err;
  EXPECT_TRUE(fs::exists(dir / "UPari.csv"));
  EXPECT_TRUE(fs::exists(dir / "mixedari.csv"));
  EXPECT_EQ(count(summary(), "\nUP,"), 8 * 15);
}

TEST_F(BatchInput, RecordingNamedTwiceIsAnalysedOnce) {
  fs::create_directory(dir / "in");
  fs::copy_file(test::kSampleFile, dir / "in" / "a.txt");
  ASSERT_EQ(run({"--quiet", "--jobs", "2", path("in"), path("in/a.txt"), path("in/./a.txt")}),
            kBatchAllAnalysed)
      << err;
  EXPECT_EQ(count(test::read_whole_file(dir / "in" / "summary.csv"), "\na,"), 8 * 15);
  EXPECT_EQ(count(err, "同じ記録が2度指定されています。1度だけ解析します。\n"), 2) << err;
}

TEST_F(BatchInput, RunEndsWithOneLineThatQuietLeavesOut) {
  copy_sample("a.txt");
  copy_sample("b.txt");
  test::write_whole_file(dir / "bari.csv", "kept");
  test::write_whole_file(dir / "c.txt", "x y\n");
  ASSERT_EQ(run({dir.path().string()}), kBatchSomeReported);
  const std::string last = err.substr(err.rfind('\n', err.size() - 2) + 1);
  EXPECT_TRUE(last.starts_with("telmor-batch: 解析 1 件、スキップ 1 件、失敗 1 件（")) << last;
  EXPECT_TRUE(last.ends_with(" 秒）。集計表: " + (dir / "summary.csv").string() + "、注記: " +
                             (dir / "summary-notes.csv").string() + "\n"))
      << last;
  EXPECT_EQ(count(err, "\n"), 3) << err;  // b's results file, c's error, the last line
  ASSERT_EQ(run({"--quiet", "--overwrite", dir.path().string()}), kBatchSomeReported);
  EXPECT_EQ(count(err, "\n"), 1) << err;  // c alone
  // Nothing analysed: the summary holds its header alone, and the notes say why.
  ASSERT_EQ(run({path("c.txt")}), kBatchSomeReported);
  const std::string table = test::read_whole_file(dir / "summary.csv");
  EXPECT_TRUE(table.starts_with("recording,lead,beat,")) << table;
  EXPECT_EQ(count(table, "\n"), 1) << table;
  const std::string notes = test::read_whole_file(dir / "summary-notes.csv");
  EXPECT_TRUE(notes.starts_with("recording,lead,kind,reason\nc,,failed,データの行数 1 が1000の倍数ではありません"))
      << notes;
  EXPECT_EQ(count(notes, "\n"), 2) << notes;
}

}  // namespace
}  // namespace telmor

namespace telmor {
namespace {

// Beyond the desktop's 20 leads: the summary holds every lead, and no results
// file is written that the desktop could not load.
TEST_F(BatchInput, RecordingBeyondTheDesktopsTablesGoesToTheSummaryOnly) {
  generate("narrow.txt", 20, 3, 5);
  // The same 20 leads and, as leads 21 to 24, leads 1 to 4 again.
  std::istringstream lines(test::read_whole_file(dir / "narrow.txt"));
  std::string wide, line;
  while (std::getline(lines, line)) {
    std::size_t fourth = 0;
    for (int value = 0; value < 4; ++value) fourth = line.find(' ', fourth + 1);
    wide += line + " " + line.substr(0, fourth) + "\n";
  }
  test::write_whole_file(dir / "wide.txt", wide);
  ASSERT_EQ(run({"--quiet", dir.path().string()}), kBatchAllAnalysed) << err;
  EXPECT_FALSE(fs::exists(dir / "wideari.csv"));
  EXPECT_TRUE(fs::exists(dir / "narrowari.csv"));
  EXPECT_TRUE(reported("wide.txt: 注意: 誘導 24 個・")) << err;
  EXPECT_TRUE(reported("の表は結果ファイル（20誘導・200行まで）に入らないので、集計表にだけ書きました。\n")) << err;
  EXPECT_EQ(count(summary(), "\nwide,24,1,"), 1);
  // Lead 20 is analysed alike in both (its own lead, the beats of lead 1).
  const std::string all = summary();
  const auto rows_of_lead_20 = [&](const std::string& name) {
    std::string rows;
    for (std::size_t at = all.find("\n" + name + ",20,"); at != std::string::npos;
         at = all.find("\n" + name + ",20,", at + 1)) {
      rows += all.substr(at + name.size() + 1, all.find('\n', at + 1) - at - name.size() - 1) + "\n";
    }
    return rows;
  };
  EXPECT_FALSE(rows_of_lead_20("wide").empty());
  EXPECT_EQ(rows_of_lead_20("wide"), rows_of_lead_20("narrow"));
}

TEST_F(BatchInput, BeatLeadTheRecordingLacksIsReported) {
  copy_sample("s.txt");
  ASSERT_EQ(run({"--quiet", "--beat-lead", "9", path("s.txt")}), kBatchSomeReported);
  EXPECT_TRUE(reported("s.txt: 拍を探す誘導 9 がありません（誘導は 8 個）。\n")) << err;
  ASSERT_EQ(run({"--quiet", "--beat-lead", "8", "--overwrite", path("s.txt")}), kBatchAllAnalysed) << err;
}

// The derivative, the RT smoothing and the rate: settings the analysis
// cannot use are refused before any file is read, naming the option; the
// summary says on every row how the marks were found.
TEST_F(BatchInput, MethodOptionsAreCheckedAndRecordedInTheSummary) {
  copy_sample("s.txt");
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"--estimator", "fast"}, "--estimator"},
      {{"--rt-smooth", "1"}, "--rt-smooth"},
      {{"--rt-smooth", "500"}, "--rt-smooth"},
      {{"--estimator", "legacy", "--rt-smooth", "20"}, "--rt-smooth"},
      {{"--rate", "249"}, "--rate"},
      {{"--rate", "1e3x"}, "--rate"},
      {{"--estimator", "legacy", "--rate", "2000"}, "--rate"},
      {{"--rate", "300", "--smooth", "3"}, "--rate"},  // 3 ms is one sample each side: no cubic
      {{"--rt-margin", "501"}, "--rt-margin"},
      {{"--rt-window", "300", "200"}, "--rt-window"},
      {{"--rt-window", "-1", "200"}, "--rt-window"},
      {{"--blank-before", "-1"}, "--blank-before"},
      {{"--blank-after", "2001"}, "--blank-after"},
      {{"--estimator", "legacy", "--rt-margin", "20"}, "--rt-margin"},
      {{"--estimator", "legacy", "--rt-window", "100", "300"}, "--rt-window"},
      {{"--ranges", "automatic"}, "--ranges"},
  };
  for (const auto& [options, named] : refused) {
    std::vector<std::string> args = options;
    args.push_back(path("s.txt"));
    EXPECT_EQ(run(args), kBatchUsageError) << options[1];
    EXPECT_TRUE(err.starts_with("telmor-batch: " + named + " ")) << err;
  }
  EXPECT_FALSE(fs::exists(dir / "sari.csv"));
  const std::vector<std::pair<std::vector<std::string>, std::string>> recorded = {
      {{"--estimator", "legacy"}, ",legacy,7,,\n"},
      {{"--rt-smooth", "30", "--smooth", "5"}, ",centred,5,30,\n"},
      {{"--estimator", "centred", "--rt-smooth", "2"}, ",centred,7,2,\n"},
  };
  for (const auto& [options, row_end] : recorded) {
    std::vector<std::string> args = {"--quiet", "--overwrite"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(path("s.txt"));
    ASSERT_EQ(run(args), kBatchAllAnalysed) << err;
    const std::string text = summary();
    EXPECT_EQ(count(text, row_end), count(text, "\ns,")) << row_end;
    EXPECT_GT(count(text, "\ns,"), 0);
  }
}

}  // namespace
}  // namespace telmor
