// telmor-batch with electrode positions: the conduction velocity,
// restitution and dispersion tables beside each results file, checked
// against the recording's own summary; the figure files; and the command
// lines and layout files it refuses.
#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tissue/beat_maps.h"
#include "tissue/conduction_velocity.h"
#include "signal/electrode_layout.h"
#include "batch_harness.h"
#include "figures/recording_figure.h"
#include "support/beat_tables.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using Row = std::vector<std::string>;

// The rows of a CSV text without quotes, the header first.
std::vector<Row> csv_rows(const std::string& text) {
  std::vector<Row> rows;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    const std::string line = text.substr(at, end - at);
    at = end == std::string::npos ? text.size() : end + 1;
    Row row(1);
    for (const char c : line) {
      if (c == ',') {
        row.emplace_back();
      } else {
        row.back() += c;
      }
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

double number(const std::string& field) { return field.empty() ? kNaN : std::stod(field); }

// One lead and beat of the summary: the marks' times as the maps take them
// (the fine time where known, else the whole ms), NaN for no mark or several.
struct SummaryCell {
  int beat_ms = 0;
  double at = kNaN;
  double rt = kNaN;
  int at_marks = 0;
  int rt_marks = 0;
};

struct Summary {
  int leads = 0;
  int beats = 0;
  std::map<std::pair<int, int>, SummaryCell> cells;  // (lead, beat), beats 1..n
  const SummaryCell& cell(int lead, int beat) const { return cells.at({lead, beat}); }
};

Summary read_summary(const fs::path& file) {
  Summary s;
  const std::vector<Row> rows = csv_rows(test::read_whole_file(file));
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const Row& r = rows[i];  // recording,lead,beat,beat_ms,at_ms,rt_ms,ari_ms,at_marks,rt_marks,at_fine_ms,rt_fine_ms,...
    const int lead = std::stoi(r[1]);
    const int beat = std::stoi(r[2]);
    if (beat == 0) continue;
    SummaryCell c;
    c.beat_ms = std::stoi(r[3]);
    c.at_marks = std::stoi(r[7]);
    c.rt_marks = std::stoi(r[8]);
    // The maps take single marks that are not flagged: near an end of their
    // window, in a dead lead, or weak (AT quality under 10, RT under 4.5).
    const auto taken = [&](int marks, std::size_t quality, std::size_t flag, double weak) {
      return marks == 1 && r[flag] != "near_edge" && r[flag] != "dead_lead" &&
             !(!r[quality].empty() && number(r[quality]) < weak);
    };
    if (taken(c.at_marks, 11, 13, 10.0)) c.at = r[9].empty() ? number(r[4]) : number(r[9]);
    if (taken(c.rt_marks, 12, 14, 4.5)) c.rt = r[10].empty() ? number(r[5]) : number(r[10]);
    s.cells[{lead, beat}] = c;
    s.leads = std::max(s.leads, lead);
    s.beats = std::max(s.beats, beat);
  }
  return s;
}

// The summary's marks as a beat table: what the maps of the batch rest on,
// to two decimals.
BeatTable table_of(const Summary& s) {
  std::vector<std::int32_t> beats;
  for (int k = 1; k <= s.beats; ++k) beats.push_back(s.cell(1, k).beat_ms);
  BeatTable t = test::empty_beat_table(beats, s.leads);
  for (int lead = 1; lead <= s.leads; ++lead) {
    for (int k = 1; k <= s.beats; ++k) {
      const SummaryCell& c = s.cell(lead, k);
      test::set_mark(test::cell_of(t, lead, k).at, c.at);
      test::set_mark(test::cell_of(t, lead, k).rt, c.rt);
    }
  }
  return t;
}

// Two decimals on both sides of a difference.
constexpr double kRounding = 0.0101;

void expect_near_or_both_empty(const std::string& field, double expected, const std::string& what) {
  if (std::isnan(expected)) {
    EXPECT_EQ(field, "") << what;
  } else {
    EXPECT_NEAR(number(field), expected, 2 * kRounding) << what;
  }
}

struct BatchMaps : ::testing::Test, test::BatchRun {
  // An 8-lead recording of 10 s analysed with the leads on a 2 x 4 grid, with
  // ranges that hold its waves (the default RT range ends before the latest
  // T waves: a note would say so).
  void run_grid(const std::vector<std::string>& more = {}) {
    generate("m.txt", 8, 10, 3);
    std::vector<std::string> args = {"--quiet", "--grid", "2x4", "--pitch", "1", "--ranges", "-80", "80", "100", "300"};
    args.insert(args.end(), more.begin(), more.end());
    args.push_back(path("m.txt"));
    ASSERT_EQ(run(args), kBatchAllAnalysed) << err;
    EXPECT_EQ(err, "");
  }
};

TEST_F(BatchMaps, DispersionRowsFollowFromTheSummary) {
  run_grid();
  const Summary s = read_summary(dir / "summary.csv");
  ASSERT_GT(s.beats, 5);
  const std::vector<Row> rows = csv_rows(test::read_whole_file(dir / "mdispersion.csv"));
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(s.beats) + 1);
  EXPECT_EQ(rows[0], (Row{"recording", "beat", "beat_ms", "at_first_ms", "at_last_ms", "total_activation_ms",
                          "rt_sd_ms", "rt_range_ms", "rt_iqr_ms", "ari_sd_ms", "ari_range_ms", "ari_iqr_ms",
                          "leads"}));
  for (int k = 1; k <= s.beats; ++k) {
    const Row& r = rows[static_cast<std::size_t>(k)];
    const std::string where = "beat " + std::to_string(k);
    ASSERT_EQ(r.size(), 13u) << where;
    EXPECT_EQ(r[0], "m");
    EXPECT_EQ(std::stoi(r[1]), k);
    EXPECT_EQ(std::stoi(r[2]), s.cell(1, k).beat_ms);
    double at_first = kNaN, at_last = kNaN, rt_low = kNaN, rt_high = kNaN;
    int leads = 0;
    for (int lead = 1; lead <= s.leads; ++lead) {
      const SummaryCell& c = s.cell(lead, k);
      if (!std::isnan(c.at)) {
        at_first = std::isnan(at_first) ? c.at : std::min(at_first, c.at);
        at_last = std::isnan(at_last) ? c.at : std::max(at_last, c.at);
      }
      if (!std::isnan(c.rt)) {
        rt_low = std::isnan(rt_low) ? c.rt : std::min(rt_low, c.rt);
        rt_high = std::isnan(rt_high) ? c.rt : std::max(rt_high, c.rt);
      }
      leads += !std::isnan(c.at) || !std::isnan(c.rt);
    }
    expect_near_or_both_empty(r[3], at_first, where);
    expect_near_or_both_empty(r[4], at_last, where);
    EXPECT_NEAR(number(r[5]), number(r[4]) - number(r[3]), kRounding) << where;
    expect_near_or_both_empty(r[7], rt_high - rt_low, where);
    EXPECT_EQ(std::stoi(r[12]), leads) << where;
  }
}

TEST_F(BatchMaps, RestitutionRowsFollowFromTheSummary) {
  run_grid();
  const Summary s = read_summary(dir / "summary.csv");
  const std::vector<Row> rows = csv_rows(test::read_whole_file(dir / "mrestitution.csv"));
  EXPECT_EQ(rows[0], (Row{"recording", "lead", "beat", "cl_ms", "di_ms", "ari_ms"}));
  // Every lead, beats 2..n.
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(s.leads * (s.beats - 1)) + 1);
  std::size_t i = 1;
  for (int lead = 1; lead <= s.leads; ++lead) {
    for (int k = 2; k <= s.beats; ++k, ++i) {
      const Row& r = rows[i];
      const std::string where = "lead " + std::to_string(lead) + " beat " + std::to_string(k);
      ASSERT_EQ(r.size(), 6u) << where;
      EXPECT_EQ(r[0], "m");
      EXPECT_EQ(std::stoi(r[1]), lead) << where;
      EXPECT_EQ(std::stoi(r[2]), k) << where;
      EXPECT_EQ(std::stoi(r[3]), s.cell(1, k).beat_ms - s.cell(1, k - 1).beat_ms) << where;
      expect_near_or_both_empty(r[4], s.cell(lead, k).at - s.cell(lead, k - 1).rt, where);
      expect_near_or_both_empty(r[5], s.cell(lead, k).rt - s.cell(lead, k).at, where);
    }
  }
}

// The angle between two directions in degrees, 0..180.
double angle_between(double a, double b) {
  const double d = std::fmod(std::abs(a - b), 360.0);
  return std::min(d, 360.0 - d);
}

TEST_F(BatchMaps, VelocityRowsAreBothMethodsOfEveryBeatAndElectrode) {
  run_grid();
  const Summary s = read_summary(dir / "summary.csv");
  const BeatTable table = table_of(s);
  const ElectrodeLayout layout = grid_layout(2, 4, 1.0).layout;
  const std::vector<Row> rows = csv_rows(test::read_whole_file(dir / "mcv.csv"));
  EXPECT_EQ(rows[0], (Row{"recording", "beat", "beat_ms", "lead", "method", "speed_m_s", "direction_deg",
                          "neighbours", "flag"}));
  // Beat by beat, lead by lead, the surface fit before the triangles.
  std::vector<CvVector> expected;
  for (int k = 1; k <= s.beats; ++k) {
    const BeatMap map = beat_map(table, layout, k);
    const std::vector<CvVector> surface = conduction_velocity(map, CvMethod::surface);
    const std::vector<CvVector> triangle = conduction_velocity(map, CvMethod::triangle);
    for (int lead = 1; lead <= s.leads; ++lead) {
      for (const auto* method : {&surface, &triangle}) {
        for (const CvVector& v : *method) {
          if (v.lead == lead) expected.push_back(v);
        }
      }
    }
  }
  ASSERT_GT(expected.size(), static_cast<std::size_t>(s.beats * s.leads));
  ASSERT_EQ(rows.size(), expected.size() + 1);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const CvVector& v = expected[i];
    const Row& r = rows[i + 1];
    const std::string where = "row " + std::to_string(i + 1);
    ASSERT_EQ(r.size(), 9u) << where;
    EXPECT_EQ(r[0], "m");
    EXPECT_EQ(std::stoi(r[1]), v.beat) << where;
    EXPECT_EQ(std::stoi(r[2]), v.beat_ms) << where;
    EXPECT_EQ(std::stoi(r[3]), v.lead) << where;
    EXPECT_EQ(r[4], v.method == CvMethod::surface ? "surface" : "triangle") << where;
    // The summary's times carry two decimals: the speed within 1 %.
    EXPECT_NEAR(number(r[5]), v.speed_m_s, 0.01 * v.speed_m_s + 0.0001) << where;
    EXPECT_LT(angle_between(number(r[6]), v.direction_deg), 1.0) << where;
    EXPECT_EQ(std::stoi(r[7]), v.neighbours) << where;
    EXPECT_EQ(r[8], cv_flag_name(v.flag)) << where;
  }
  EXPECT_FALSE(fs::exists(dir / "mfigure.svg"));
  EXPECT_FALSE(fs::exists(dir / "mfigure.png"));
}

TEST_F(BatchMaps, LayoutFileWithFewerLeadsThanTheRecordingMapsOnlyThose) {
  generate("m.txt", 8, 10, 3);
  test::write_whole_file(dir / "half.csv", "lead,x_mm,y_mm\n1,0,0\n2,1.5,0\n3,0,1.5\n4,1.5,1.5\n");
  ASSERT_EQ(run({"--quiet", "--layout", path("half.csv"), "--out", path("out"), path("m.txt")}),
            kBatchAllAnalysed)
      << err;
  const std::vector<Row> rows = csv_rows(test::read_whole_file(dir / "out" / "mcv.csv"));
  ASSERT_GT(rows.size(), 1u);
  for (std::size_t i = 1; i < rows.size(); ++i) {
    EXPECT_LE(std::stoi(rows[i][3]), 4) << "row " << i;
    // 4 electrodes fix no quadratic: a surface row says it has no value.
    if (rows[i][4] == "surface") {
      EXPECT_EQ(rows[i][8], "no_value") << "row " << i;
      EXPECT_EQ(rows[i][5], "") << "row " << i;
    } else {
      EXPECT_EQ(rows[i][4], "triangle") << "row " << i;
      EXPECT_NE(rows[i][5], "") << "row " << i;
    }
  }
  // Restitution and dispersion are of the leads, positioned or not.
  EXPECT_NE(test::read_whole_file(dir / "out" / "mrestitution.csv").find("\nm,8,2,"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir / "out" / "mdispersion.csv"));
  EXPECT_TRUE(fs::exists(dir / "out" / "mari.csv"));
}

bool parses_as_xml(const fs::path& file) {
  const std::string command =
      "python3 -c \"import xml.dom.minidom,sys; xml.dom.minidom.parse(sys.argv[1])\" '" + file.string() + "'";
  return std::system(command.c_str()) == 0;
}

TEST_F(BatchMaps, FiguresGiveAnSvgThatParsesAndAPngThatDecodes) {
  run_grid({"--figures"});
  ASSERT_TRUE(fs::exists(dir / "mfigure.svg"));
  EXPECT_TRUE(parses_as_xml(dir / "mfigure.svg"));
  cairo_surface_t* png = cairo_image_surface_create_from_png((dir / "mfigure.png").string().c_str());
  EXPECT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(png), kFigureWidth);
  EXPECT_EQ(cairo_image_surface_get_height(png), kFigureHeight);
  cairo_surface_destroy(png);
}

TEST_F(BatchMaps, ExistingResultsFileSkipsTheMapsToo) {
  generate("m.txt", 8, 10, 3);
  test::write_whole_file(dir / "mari.csv", "hand corrected");
  ASSERT_EQ(run({"--quiet", "--grid", "2x4", "--pitch", "1", path("m.txt")}), kBatchSomeReported);
  EXPECT_FALSE(fs::exists(dir / "mcv.csv"));
  ASSERT_EQ(run({"--quiet", "--overwrite", "--grid", "2x4", "--pitch", "1", path("m.txt")}),
            kBatchAllAnalysed)
      << err;
  EXPECT_TRUE(fs::exists(dir / "mcv.csv"));
}

TEST_F(BatchMaps, AMapFileThatCannotBeWrittenIsReportedAndNoResultsFileWritten) {
  generate("m.txt", 8, 10, 3);
  fs::create_directory(dir / "mrestitution.csv");  // a folder where the table would go
  ASSERT_EQ(run({"--quiet", "--grid", "2x4", "--pitch", "1", path("m.txt")}), kBatchSomeReported);
  EXPECT_NE(err.find("m.txt: マップのファイル " + path("mrestitution.csv") + " を書けません（"),
            std::string::npos)
      << err;
  EXPECT_FALSE(fs::exists(dir / "mari.csv"));  // the next run tries again
}

struct Refusal {
  std::vector<std::string> args;  // before the recording
  std::string line;               // what the one line of the error holds
};

TEST_F(BatchMaps, PositionsThatCannotBeUsedAreUsageErrorsBeforeAnythingIsWritten) {
  test::write_whole_file(dir / "ok.csv", "lead,x_mm,y_mm\n1,0,0\n");
  const Refusal cases[] = {
      {{"--layout", "ok.csv", "--grid", "2x4", "--pitch", "1"}, "--grid と --layout は一緒に指定できません。"},
      {{"--pitch", "1", "--layout", "ok.csv"}, "--pitch と --layout は一緒に指定できません。"},
      {{"--grid", "2x4"}, "--grid には電極の間隔 --pitch MM も指定してください。"},
      {{"--pitch", "1"}, "--pitch は格子 --grid RxC と一緒に指定してください。"},
      {{"--figures"}, "--figures は電極の配置（--layout か --grid と --pitch）と一緒に指定してください。"},
      {{"--grid", "2y4", "--pitch", "1"}, "--grid 2y4: 格子が 行数x列数"},
      {{"--grid", "0x4", "--pitch", "1"}, "--grid 0x4: 格子が 行数x列数"},
      {{"--grid", "2x4", "--pitch", "0"}, "--pitch 0: 間隔が0.001 mm以上の有限の数値ではありません。"},
      {{"--grid", "2x4", "--pitch", "inf"}, "--pitch inf: 間隔が"},
      {{"--layout", "missing.csv"}, "配置ファイル missing.csv: 読めません"},
      {{"--layout"}, "--layout の値がありません。"},
  };
  generate("m.txt", 8, 1, 3);
  for (const Refusal& c : cases) {
    std::vector<std::string> args = c.args;
    for (std::string& a : args) {
      if (a.ends_with(".csv")) a = path(a);
    }
    if (args.back() != "--layout") args.push_back(path("m.txt"));
    std::string expected = c.line;
    if (const std::size_t at = expected.find("missing.csv"); at != std::string::npos)
      expected.replace(at, 11, path("missing.csv"));
    EXPECT_EQ(run(args), kBatchUsageError) << c.line;
    EXPECT_NE(err.find("telmor-batch: " + expected), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(test::folder_names(dir.path()), (std::vector<std::string>{"m.txt", "ok.csv"})) << c.line;
  }
}

TEST_F(BatchMaps, ASummaryNamedLikeOneOfTheMapTablesIsAUsageError) {
  generate("m.txt", 8, 1, 3);
  for (const char* table : {"mcv.csv", "mrestitution.csv", "mdispersion.csv"}) {
    EXPECT_EQ(run({"--grid", "2x4", "--pitch", "1", "--summary", path(table), path("m.txt")}),
              kBatchUsageError);
    EXPECT_EQ(err, "telmor-batch: 集計表 " + path(table) +
                       " は書き出すマップの表です。別の名前にしてください。（使い方: telmor-batch --help）\n");
  }
  EXPECT_EQ(test::folder_names(dir.path()), std::vector<std::string>{"m.txt"});
  // Without positions no such table is written, and the name is free.
  EXPECT_EQ(run({"--quiet", "--summary", path("mcv.csv"), path("m.txt")}), kBatchAllAnalysed) << err;
}

struct BadLayout {
  std::string text;
  std::string line;  // " の3行目: ..." after the file's name
};

TEST_F(BatchMaps, ALayoutFileFaultNamesItsLineAndReason) {
  const BadLayout cases[] = {
      {"lead,x,y\n1,0,0\n", " の1行目: 1行目が見出し lead,x_mm,y_mm ではありません。"},
      {"", " の1行目: 1行目が見出し lead,x_mm,y_mm ではありません。"},
      {"lead,x_mm,y_mm\n1,0\n", " の2行目: カンマで区切った3つの値（誘導,x,y）ではありません。"},
      {"lead,x_mm,y_mm\n1,0,0\n0,1,0\n", " の3行目: 誘導が1以上の整数ではありません。"},
      {"lead,x_mm,y_mm\n1,0,0\n\n2,1;5,0\n", " の4行目: 座標が数値ではありません。"},
      {"lead,x_mm,y_mm\n1,nan,0\n", " の2行目: 座標が有限の数値ではありません。"},
      {"lead,x_mm,y_mm\r\n1,0,0\r\n2,1,0\r\n1,2,0\r\n", " の4行目: この誘導の位置は前の行にもあります。"},
      {"lead,x_mm,y_mm\n1,0,0\n2,0.0005,0\n", " の3行目: 前の行の電極と1 µm未満しか離れていません。"},
      {"lead,x_mm,y_mm\n", " の1行目: 電極の位置が1つもありません。"},
  };
  generate("m.txt", 8, 1, 3);
  for (const BadLayout& c : cases) {
    test::write_whole_file(dir / "layout.csv", c.text);
    EXPECT_EQ(run({"--layout", path("layout.csv"), path("m.txt")}), kBatchUsageError) << c.line;
    EXPECT_EQ(err, "telmor-batch: 配置ファイル " + path("layout.csv") + c.line +
                       "（使い方: telmor-batch --help）\n");
    EXPECT_EQ(test::folder_names(dir.path()), (std::vector<std::string>{"layout.csv", "m.txt"})) << c.line;
  }
}

TEST_F(BatchMaps, HelpNamesThePositionsAndTheTables) {
  ASSERT_EQ(run({"--help"}), kBatchAllAnalysed);
  for (const char* part : {"--layout FILE", "--grid RxC", "--pitch MM", "--figures", "NAMEcv.csv",
                           "recording,lead,beat,cl_ms,di_ms,ari_ms"}) {
    EXPECT_NE(out.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace telmor
