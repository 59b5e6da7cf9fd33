// Whole sessions of the program through telmor-replay: dialogue, file
// errors and restarts, overview, menu and exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/program_session.h"
#include "support/sample_expectation.h"

namespace telmor {
namespace {

struct Session : ::testing::Test, test::ProgramSession {
  test::DrivesRoot& root = drives;

  void data_file(const std::string& name, const std::string& content) {
    std::filesystem::create_directories(root.path() / "d" / "data" / "map");
    test::write_whole_file(root.path() / "d" / "data" / "map" / name, content);
  }

  std::vector<std::string> lines() const {
    std::vector<std::string> v;
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);) v.push_back(l);
    return v;
  }
  int count(const std::string& line) const {
    const auto v = lines();
    return static_cast<int>(std::count(v.begin(), v.end(), line));
  }
  bool has_in_order(const std::vector<std::string>& wanted) const {
    const auto v = lines();
    auto at = v.begin();
    for (const auto& w : wanted) {
      at = std::find(at, v.end(), w);
      if (at == v.end()) return false;
      ++at;
    }
    return true;
  }
};

// Three leads with a sharp downstroke on lead 1 every 800 ms, and no flat
// stretch (the fit warns about windows of constant values).
std::string three_leads(int rows) {
  std::string text;
  for (int i = 1; i <= rows; ++i) {
    const int phase = i % 800;
    const double v = (phase < 400 ? 1.0 : (phase < 420 ? 1.0 - 0.2 * (phase - 400) : -3.0 + phase * 0.001)) +
                     0.01 * (i % 7);
    text += std::to_string(v) + " " + std::to_string(0.5 * v) + "," + std::to_string(-v) + "\n";
  }
  return text;
}

const std::vector<std::string> kBanner = {
    "console> +++++++++++++++++++++++++++++++++++++++++++++++++++++++",
    "console> 30秒以内のTXT形式EPS波形データ横n誘導、縦m時間を読み込み",
    "console> AT,RTを自動認識、視認修正、データ保存を行うものです。",
    "console> 動かす前に****.txtがドライブd:のフォルダ\\data\\mapに",
    "console> あることを確認してください。",
    "console> +++++++++++++++++++++++++++++++++++++++++++++++++++++++",
};

TEST_F(Session, DefaultsFileLeadsAndSecondsThenExit) {
  data_file("abc.txt", three_leads(10000));
  ASSERT_EQ(run("console y\nconsole y\nconsole y\nconsole abc\nconsole 3\nconsole 10\nchart x\n"), 0)
      << err;
  std::vector<std::string> expected = kBanner;
  for (const char* l : {
           "console> 可変設定条件",
           "console> 1)ドライブ:dでいいですか？<y/n>",
           "console< y",
           "console> 2)振幅比0.1-1.0 (=検出電位微分値：最大電位微分値でいいですか？<y/n>",
           "console< y",
           "console> 3)前後7点のデータで平滑化でいいですか？<y/n>",
           "console< y",
           "console> TXT形式のファイル名を入力してください。 (xxx.txt):",
           "console< abc",
           "console> d:\\data\\map\\abc               ",
           "console> 記録した誘導点数を入力してください。",
           "console< 3",
           "console> 記録した秒数を入力してください。",
           "console< 10",
           "console> 波形データd:\\data\\map\\abc.txt           を読み込みました。",
           "chart: open",
           "chart> d:\\data\\map\\abc.txt           ecg dataを表示",
           "chart: clear",
           "chart> 保存(s),既データ読込(o),認識範囲(d),計算(c),AT修正(a),RT修正(r),終了(x)",
           "chart< x",
           "chart: close",
       }) {
    expected.emplace_back(l);
  }
  EXPECT_EQ(lines(), expected);
}

TEST_F(Session, MissingFileShowsTheBlockAndStartsAgainWithTheDefaults) {
  data_file("abc.txt", three_leads(10000));
  ASSERT_EQ(run("console n\nconsole e\nconsole n\nconsole 0.5\nconsole y\nconsole abc\n"
                "console 3\nconsole 10\n"
                "console\nconsole ok\n"
                "console y\nconsole y\nconsole y\nconsole abc\nconsole 3\nconsole 10\nchart x\n"),
            0)
      << err;
  EXPECT_TRUE(has_in_order({
      "console> ****************************************",
      "console> e:\\data\\map\\abc.txt           が読めません。考えられるのは、",
      "console> 　ファイルが指定のドライブのフォルダにない。",
      "console> 　ファイルが他で使用中または、TXT形式でない。",
      "console> 　誘導点数、記録時間(30秒以内）が間違えているなど。",
      "console> ****************************************",
      "console> 何か入力してください。",
      "console< ",
      "console< ok",
      "console> 可変設定条件",
      "console> 1)ドライブ:dでいいですか？<y/n>",
      "console< y",
      "console> 波形データd:\\data\\map\\abc.txt           を読み込みました。",
  }));
  EXPECT_EQ(count(kBanner[1]), 1);  // the banner is not repeated
}

TEST_F(Session, ShortFileShowsTheEndOfFileBlock) {
  data_file("abc.txt", three_leads(1000));
  ASSERT_EQ(run("console y\nconsole y\nconsole y\nconsole abc\nconsole 3\nconsole 2\nconsole x\n"
                "console y\nconsole y\nconsole y\nconsole abc\nconsole 3\nconsole 1\nchart x\n"),
            0)
      << err;
  EXPECT_TRUE(has_in_order({
      "console> ****************************************",
      "console> d:\\data\\map\\abc.txt           ",
      "console> の読み込みエラー（EOF)です。、",
      "console> 誘導点数、記録時間(30秒以内）に間違えはありませんか。",
      "console> ****************************************",
      "console> 何か入力してください。",
      "console< x",
      "console> 可変設定条件",
      "chart: open",
  }));
}

TEST_F(Session, HeaderLineShowsTheReadErrorBlock) {
  data_file("abc.txt", "lead1 lead2 lead3\n" + three_leads(1000));
  ASSERT_EQ(run("console y\nconsole y\nconsole y\nconsole abc\nconsole 3\nconsole 1\nconsole x\n"),
            3);
  EXPECT_TRUE(has_in_order({
      "console> ****************************************",
      "console> d:\\data\\map\\abc.txt           ",
      "console> の読み込みエラー（ERR)です。",
      "console> ファイルの形式はTXTですか？",
      "console> ****************************************",
      "console> 何か入力してください。",
      "console< x",
      "console> 可変設定条件",
  }));
  EXPECT_NE(err.find("waited for a line typed into the console"), std::string::npos) << err;
}

TEST_F(Session, RecordingWithoutAmplitudeEndsAfterANumber) {
  std::string zeros;
  for (int i = 0; i < 2000; ++i) zeros += "0 0 0\n";
  data_file("zero.txt", zeros);
  for (const char* reply : {"5", "abc"}) {
    ASSERT_EQ(run(std::string("console y\nconsole y\nconsole y\nconsole zero\nconsole 3\n"
                              "console 2\nchart\nchart ") +
                  reply + "\n"),
              0)
        << err;
    const auto v = lines();
    const std::vector<std::string> tail(v.end() - 6, v.end());
    const std::vector<std::string> expected = {
        "chart: open",
        "chart> d:\\data\\map\\zero.txt          ecg dataを表示",
        "chart> d:\\data\\map\\zero.txt          No data!  Hit",
        "chart< ",
        std::string("chart< ") + reply,
        "chart: close",
    };
    EXPECT_EQ(tail, expected);
  }
}

// The demo script without its snapshot lines (the tests leave no files behind).
std::string demo_script() {
  std::ifstream script(std::filesystem::path(TELMOR_SOURCE_DIR) / "examples" / "demo.script");
  std::string text;
  for (std::string line; std::getline(script, line);) {
    if (line.rfind("snapshot", 0) != 0) text += line + "\n";
  }
  return text;
}

TEST_F(Session, BundledSampleOverviewRangesAndDetection) {
  data_file("sample.txt", test::read_whole_file(test::kSampleFile));
  ASSERT_EQ(run(demo_script()), 0) << err;
  EXPECT_EQ(lines().back(), "chart: close");
  EXPECT_EQ(count("console> 波形データd:\\data\\map\\sample.txt        を読み込みました。"), 1);
  EXPECT_TRUE(has_in_order({"console> 選択した点（msec） 1159", "chart> selected time 959",
                            "console> nlead 1159", "console> na 15"}));

  std::istringstream log(draw_log);
  int curve = 0, markers = 0;
  for (std::string word; log >> word;) {
    int x1, y1, x2, y2;
    std::string colour;
    log >> x1 >> y1 >> x2 >> y2 >> colour;
    if (colour == "0000F0") ++curve;
    if (colour == "00FFFF" && y1 != y2) {
      ++markers;
      EXPECT_EQ(x1, x2);
      EXPECT_EQ(y1, 30);
      EXPECT_EQ(y2, 269);
    }
  }
  // Three overviews (at the start, after d, after c) and the range window of three leads.
  EXPECT_EQ(curve, 3 * 4000 + 3 * 1000);
  // Fourteen beats on each overview, then the pick, the beat and the four bounds.
  EXPECT_EQ(markers, 3 * 14 + 1 + 5);
}

// The Japanese characters of text (kana, kanji, CJK punctuation, full-width
// forms), decoded from its UTF-8.
std::vector<char32_t> japanese_in(const std::string& text) {
  std::vector<char32_t> found;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? b : b & (0xFF >> (length + 1));
    for (int k = 1; k < length && i + static_cast<std::size_t>(k) < text.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
    if ((c >= 0x3000 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF))
      found.push_back(c);
    i += static_cast<std::size_t>(length);
  }
  return found;
}

// The English face: the demo session and a correction pass with its notes,
// every line without a Japanese character; the waveform's line as English.
TEST_F(Session, TheEnglishFaceHoldsNoJapanese) {
  data_file("sample.txt", test::read_whole_file(test::kSampleFile));
  ASSERT_EQ(run(demo_script(), {}, {"--notes", "--lang", "en"}), 0) << err;
  EXPECT_EQ(count("console> Read the waveform data d:\\data\\map\\sample.txt        ."), 1);
  EXPECT_TRUE(japanese_in(out).empty()) << out;
  const std::string pass = "console y\nconsole y\nconsole y\nconsole sample\nconsole 8\nconsole 10\n"
                           "chart c\nchart y\nchart a\npress left 300 100\nkey undo\nkey redo\nkey escape\n"
                           "chart y\nchart o\nchart y\nchart x\n";
  ASSERT_EQ(run(pass, {}, {"--notes", "--lang", "en"}), 0) << err;
  EXPECT_TRUE(japanese_in(out).empty()) << out;
  EXPECT_NE(out.find("Saved the AT and RT data"), std::string::npos) << out;
}

// Edits made with the keys of a pass (steps, a lead skipped, undo, redo,
// escape) save the same file as the same edits made with clicks alone.
TEST_F(Session, KeysOfAPassSaveWhatTheSameEditsByClicksSave) {
  data_file("abc.txt", three_leads(2000));
  const std::string start = "console y\nconsole y\nconsole y\nconsole abc\nconsole 3\nconsole 2\n"
                            "chart c\nchart y\nchart a\n";
  const std::string keys = start +
                           "press left 300 100\nkey right\nkey space\npress left 300 100\n"
                           "key pagedown\npress left 120 100\nkey undo\nkey undo\nkey redo\n"
                           "key escape\nchart y\nchart x\n";
  // The same edits by clicks: two windows on, then on to the end (12 windows).
  std::string clicks = start + "press left 300 100\npress right 0 0\npress right 0 0\n"
                               "press left 300 100\n";
  for (int window = 2; window < 12; ++window) clicks += "press right 0 0\n";
  clicks += "chart y\nchart x\n";
  const auto results = root.path() / "d" / "data" / "map" / "abcari.csv";
  ASSERT_EQ(run(keys), 0) << err;
  EXPECT_EQ(count("chart: key undo"), 2);
  EXPECT_EQ(count("chart: key escape"), 1);
  const std::string by_keys = test::read_whole_file(results);
  ASSERT_EQ(run(clicks), 0) << err;
  EXPECT_EQ(test::read_whole_file(results), by_keys);
}

// A correction pass leaves text only on the chart: d draws the overview
// again (the same lines as the first one) before it asks for the click.
TEST_F(Session, RangeCommandAfterAPassRedrawsTheOverviewFirst) {
  data_file("abc.txt", three_leads(2000));
  const std::string start = "console y\nconsole y\nconsole y\nconsole abc\nconsole 3\nconsole 2\n";
  ASSERT_EQ(run(start + "chart x\n"), 0) << err;
  const std::string overview = draw_log;
  ASSERT_FALSE(overview.empty());
  ASSERT_EQ(run(start + "chart a\nkey escape\nchart n\nchart d\npress left 171 50\nchart n\n"
                        "chart x\n"),
            0)
      << err;
  EXPECT_TRUE(has_in_order({"chart< n", "chart< d", "chart: clear",
                            "chart> 選択する波形の線の近くをClick", "chart: mouse 1 171 50"}));
  const std::size_t again = draw_log.find(overview, 1);
  ASSERT_NE(again, std::string::npos);
  EXPECT_EQ(draw_log.find(overview), 0u);
  // Then only the pick's marker line at column 171.
  EXPECT_EQ(draw_log.substr(again + overview.size()).find("line 171 "), 0u);
}

// drop-beat at the menu saves what the same removals made by clicks in an AT
// and an RT pass save; the tables are unsaved after it.
// The three leads' made-up T waves are shaped for one derivative of 7
// points: the specified arithmetic finds one RT in every beat.
TEST_F(Session, DropBeatSavesWhatClicksRemovingTheSameMarksSave) {
  const std::vector<std::string> legacy = {"--estimator", "legacy"};
  data_file("abc.txt", three_leads(2000));
  const std::string start = "console y\nconsole y\nconsole y\nconsole abc\nconsole 3\nconsole 2\n"
                            "chart c\nchart y\n";
  const std::string table = (scratch / "table.csv").string();
  ASSERT_EQ(run(start + "export " + table + "\nchart x\n", {}, legacy), 0) << err;
  // lead, beat, beat_ms, at_ms, rt_ms, at_marks, rt_marks of the second beat.
  struct Cell {
    int lead, beat_ms, at_ms, rt_ms;
  };
  std::vector<Cell> cells;
  std::istringstream rows(test::read_whole_file(table));
  for (std::string row; std::getline(rows, row);) {
    std::vector<std::string> f;
    std::istringstream fields(row);
    for (std::string field; std::getline(fields, field, ',');) f.push_back(field);
    if (f.size() < 9 || f[2] != "2") continue;
    ASSERT_EQ(f[7], "1") << row;  // one AT and one RT: one click each
    ASSERT_EQ(f[8], "1") << row;
    cells.push_back({std::stoi(f[1]), std::stoi(f[3]), std::stoi(f[4]), std::stoi(f[5])});
  }
  ASSERT_EQ(cells.size(), 3u);
  const int beat_ms = cells[0].beat_ms;

  const auto results = root.path() / "d" / "data" / "map" / "abcari.csv";
  ASSERT_EQ(run(start + "drop-beat " + std::to_string(beat_ms) + "\nchart s\nchart y\nchart x\n", {}, legacy), 0)
      << err;
  EXPECT_TRUE(has_in_order({"chart: drop-beat " + std::to_string(beat_ms), "chart< s"}));
  const std::string dropped = test::read_whole_file(results);
  // By clicks: in each lead's window that holds the time (two seconds: four
  // windows per lead from 0, 500, 1000, 1500 ms), a click at its column.
  const auto pass = [&](char letter, bool rt) {
    std::string script = std::string("chart ") + letter + "\n";
    int window = 0;
    for (const Cell& cell : cells) {
      const int t = rt ? cell.rt_ms : cell.at_ms;
      const int start_ms = std::min(t / 500, 3) * 500;
      const int target = (cell.lead - 1) * 4 + start_ms / 500;
      for (; window < target; ++window) script += "press right 0 0\n";
      script += "press left " + std::to_string(static_cast<int>((t - start_ms) * 0.6 + 0.5)) + " 100\n";
    }
    return script + "key escape\nchart n\n";
  };
  ASSERT_EQ(run(start + pass('a', false) + pass('r', true) + "chart s\nchart y\nchart x\n", {}, legacy), 0) << err;
  EXPECT_EQ(count("chart: note"), 0);
  EXPECT_EQ(test::read_whole_file(results), dropped);
  // And the removal did remove: the file after c alone differs.
  ASSERT_EQ(run(start + "chart s\nchart y\nchart x\n", {}, legacy), 0) << err;
  EXPECT_NE(test::read_whole_file(results), dropped);
}

// drop-beat answers only the menu's read.
TEST_F(Session, DropBeatElsewhereDoesNotFit) {
  data_file("abc.txt", three_leads(2000));
  EXPECT_EQ(run("console y\nconsole y\nconsole y\nconsole abc\nconsole 3\nconsole 2\nchart c\n"
                "drop-beat 1200\n"),
            4);
  EXPECT_NE(err.find("drop-beat 1200"), std::string::npos) << err;
}

TEST_F(Session, KeysOutsideAPassAreDropped) {
  data_file("abc.txt", three_leads(2000));
  ASSERT_EQ(run("key undo\nconsole y\nconsole y\nconsole y\nconsole abc\nconsole 3\n"
                "console 2\nkey escape\nchart d\nkey right\npress right 0 0\nchart n\nchart x\n"),
            0)
      << err;
  EXPECT_TRUE(has_in_order({"chart: ignored key undo", "console< y", "chart: ignored key escape",
                            "chart< d", "chart: ignored key right", "chart: mouse 8 0 0"}));
}

}  // namespace
}  // namespace telmor
