// telmor-batch on the files laboratories write: the bundled sample written as
// CSV, HDF5, MATLAB, EDF and BDF beside its text gives the text's marks (the
// float formats exactly, EDF and BDF within their quantisation), the channel
// labels in the summary; and the options that say what a file cannot.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "batch_harness.h"
#include "readers/recording_text.h"
#include "support/edf_writer.h"
#include "support/format_writers.h"
#include "support/sample_expectation.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;

// One summary row's fields.
struct Row {
  std::string recording;
  int lead = 0, beat = 0;
  std::string beat_ms, at_ms, rt_ms;
  double at_fine = 0.0, rt_fine = 0.0;
  std::string label;
};

std::vector<std::string> fields_of(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  if (line.ends_with(',')) fields.emplace_back();
  return fields;
}

double number_or_zero(const std::string& text) { return text.empty() ? 0.0 : std::strtod(text.c_str(), nullptr); }

// The summary's rows by recording, in their order.
std::map<std::string, std::vector<Row>> summary_rows(const std::string& text) {
  std::map<std::string, std::vector<Row>> rows;
  std::stringstream in(text);
  std::string line;
  std::getline(in, line);  // the header
  while (std::getline(in, line)) {
    const std::vector<std::string> f = fields_of(line);
    Row row{f[0], std::stoi(f[1]), std::stoi(f[2]), f[3], f[4], f[5], number_or_zero(f[9]), number_or_zero(f[10]),
            f.back()};
    rows[row.recording].push_back(row);
  }
  return rows;
}

struct BatchFormats : ::testing::Test, test::BatchRun {
  Recording sample;
  void SetUp() override {
    ASSERT_FALSE(read_recording_text(test::read_whole_file(test::kSampleFile), 8, 10, sample));
    for (int j = 1; j <= sample.lead_count; ++j) {
      sample.labels.push_back("E" + std::to_string(j));
      sample.units.push_back("mV");
    }
  }
  // The sample as a CSV with a time column in ms and a header of labels.
  std::string csv_text() const {
    std::string text = "time_ms";
    for (const std::string& label : sample.labels) text += "," + label;
    text += '\n';
    char buffer[32];
    for (int i = 1; i <= sample.sample_count; ++i) {
      text += std::to_string(i - 1);
      for (int j = 1; j <= sample.lead_count; ++j) {
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, sample.value(j, i)).ptr;
        (text += ',').append(buffer, end);
      }
      text += '\n';
    }
    return text;
  }
};

TEST_F(BatchFormats, EveryFormatOfTheSampleGivesTheTextsMarks) {
  fs::copy_file(test::kSampleFile, dir / "s_text.txt");
  test::write_whole_file(dir / "s_csv.csv", csv_text());
  test::write_hdf5_recording(dir / "s_hdf5.h5", sample);
  ASSERT_TRUE(test::write_mat_recording(dir / "s_v5.mat", sample, MAT_FT_MAT5));
  ASSERT_TRUE(test::write_mat_recording(dir / "s_v73.mat", sample, MAT_FT_MAT73));
  test::write_whole_file(dir / "s_edf.edf", test::edf_bytes(sample, false));
  test::write_whole_file(dir / "s_bdf.bdf", test::edf_bytes(sample, true));
  ASSERT_EQ(run({"--quiet", dir.path().string()}), kBatchAllAnalysed) << err;
  auto rows = summary_rows(test::read_whole_file(dir / "summary.csv"));
  const std::vector<Row> text = rows["s_text"];
  ASSERT_EQ(text.size(), 8u * 15u);
  // Float samples as the text held them: the same marks, fine times and
  // results file. 16 and 24 bits over each lead's range: a step far below the
  // waves' own slopes, so the same marks; the fine times within a tenth of a
  // sample.
  for (const auto& [name, fine_within] :
       std::vector<std::pair<std::string, double>>{{"s_csv", 0.0}, {"s_hdf5", 0.0}, {"s_v5", 0.0},
                                                   {"s_v73", 0.0}, {"s_edf", 0.1}, {"s_bdf", 0.1}}) {
    const std::vector<Row>& got = rows[name];
    ASSERT_EQ(got.size(), text.size()) << name;
    for (std::size_t k = 0; k < text.size(); ++k) {
      EXPECT_EQ(got[k].beat_ms, text[k].beat_ms) << name << " row " << k;
      EXPECT_EQ(got[k].at_ms, text[k].at_ms) << name << " row " << k;
      EXPECT_EQ(got[k].rt_ms, text[k].rt_ms) << name << " row " << k;
      EXPECT_NEAR(got[k].at_fine, text[k].at_fine, fine_within) << name << " row " << k;
      EXPECT_NEAR(got[k].rt_fine, text[k].rt_fine, fine_within) << name << " row " << k;
    }
    if (fine_within == 0.0) {
      EXPECT_EQ(test::read_whole_file(dir / (name + "ari.csv")), test::read_whole_file(dir / "s_textari.csv")) << name;
    }
  }
  // The labels where the file names its channels; a text and a MATLAB array
  // name none.
  for (const auto& [name, labelled] :
       std::vector<std::pair<std::string, bool>>{{"s_csv", true}, {"s_hdf5", true}, {"s_edf", true},
                                                 {"s_bdf", true}, {"s_v5", false}, {"s_text", false}}) {
    for (const Row& row : rows[name])
      ASSERT_EQ(row.label, labelled ? "E" + std::to_string(row.lead) : "") << name << " lead " << row.lead;
  }
}

// A file that states its shape: --leads and --seconds take its first leads
// and seconds, and name what it does not hold.
TEST_F(BatchFormats, LeadsAndSecondsTakeThePartOfAFileThatStatesItsShape) {
  test::write_whole_file(dir / "s.edf", test::edf_bytes(sample, false));
  ASSERT_EQ(run({"--quiet", "--leads", "3", "--seconds", "5", path("s.edf")}), kBatchAllAnalysed) << err;
  const auto rows = summary_rows(test::read_whole_file(dir / "summary.csv"))["s"];
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.back().lead, 3);
  EXPECT_LT(std::stoi(rows.back().beat_ms), 5000);
  ASSERT_EQ(run({"--quiet", "--overwrite", "--leads", "9", path("s.edf")}), kBatchSomeReported);
  EXPECT_NE(err.find("s.edf: 誘導 9 はありません（記録の誘導は 8 個）。"), std::string::npos) << err;
}

TEST_F(BatchFormats, WhatAFileCannotSayIsAskedForAndThenTaken) {
  // A CSV without a time column: the rate is asked for.
  std::string no_time = csv_text();
  no_time.erase(0, no_time.find(',') + 1);
  for (std::size_t at = no_time.find('\n'); at != std::string::npos && at + 1 < no_time.size();
       at = no_time.find('\n', at + 1))
    no_time.erase(at + 1, no_time.find(',', at + 1) - at);
  test::write_whole_file(dir / "plain.csv", no_time);
  ASSERT_EQ(run({"--quiet", path("plain.csv")}), kBatchSomeReported);
  EXPECT_NE(err.find("plain.csv:"), std::string::npos) << err;
  EXPECT_NE(err.find("--rate"), std::string::npos) << err;
  ASSERT_EQ(run({"--quiet", "--rate", "1000", path("plain.csv")}), kBatchAllAnalysed) << err;
  EXPECT_EQ(test::read_whole_file(dir / "plainari.csv").empty(), false);

  // An HDF5 file with two datasets: which one is the user's to say.
  {
    const test::Hdf5File h5(dir / "two.h5");
    std::vector<float> values;
    for (int i = 1; i <= sample.sample_count; ++i)
      for (int j = 1; j <= sample.lead_count; ++j) values.push_back(sample.value(j, i));
    for (const char* name : {"first", "second"}) {
      const hid_t d = h5.dataset(name, static_cast<hsize_t>(sample.sample_count), 8, values);
      test::Hdf5File::number(d, "fs", 1000.0);
      H5Dclose(d);
    }
  }
  ASSERT_EQ(run({"--quiet", path("two.h5")}), kBatchSomeReported);
  EXPECT_NE(err.find("/first, /second"), std::string::npos) << err;
  EXPECT_NE(err.find("--dataset"), std::string::npos) << err;
  ASSERT_EQ(run({"--quiet", "--dataset", "/second", path("two.h5")}), kBatchAllAnalysed) << err;

  // A square array: the orientation is asked for.
  {
    const test::Hdf5File h5(dir / "square.h5");
    const hid_t d = h5.dataset("grid", 1000, 1000, std::vector<float>(1000 * 1000, 0.0f));
    test::Hdf5File::number(d, "fs", 1000.0);
    H5Dclose(d);
  }
  ASSERT_EQ(run({"--quiet", path("square.h5")}), kBatchSomeReported);
  EXPECT_NE(err.find("--orientation"), std::string::npos) << err;
  ASSERT_EQ(run({"--quiet", "--orientation", "sideways", path("square.h5")}), kBatchUsageError);
  EXPECT_TRUE(err.starts_with("telmor-batch: --orientation ")) << err;
}

// s.csv and s.txt would share sari.csv: the first by name is analysed, the
// other named and left.
TEST_F(BatchFormats, ASecondRecordingForTheSameResultsFileIsRefused) {
  fs::copy_file(test::kSampleFile, dir / "s.txt");
  test::write_whole_file(dir / "s.csv", csv_text());
  ASSERT_EQ(run({"--quiet", dir.path().string()}), kBatchSomeReported);
  EXPECT_NE(err.find("s.txt: 同じフォルダに同じ名前の記録があり"), std::string::npos) << err;
  EXPECT_EQ(err.find("s.csv:"), std::string::npos) << err;
  const auto rows = summary_rows(test::read_whole_file(dir / "summary.csv"));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows.begin()->second.front().label, "E1");  // the CSV's
}

}  // namespace
}  // namespace telmor

namespace telmor {
namespace {

// A folder holding damaged files among good recordings: every good one is
// analysed, the summary is written, and the notes table names each damaged
// file with its reason; nothing a file holds ends the run.
TEST_F(BatchFormats, DamagedFilesCostThemselvesAndTheNotesNameThem) {
  const std::string edf = test::edf_bytes(sample, false);
  const auto damaged = [&](std::size_t at, std::size_t width, const std::string& value) {
    std::string bytes = edf;
    test::put_edf_field(bytes, at, width, value);
    return bytes;
  };
  fs::copy_file(test::kSampleFile, dir / "a_good.txt");
  test::write_whole_file(dir / "b_length0.edf", damaged(184, 8, "0"));
  test::write_whole_file(dir / "c_signals.edf", damaged(252, 4, "-1"));
  test::write_whole_file(dir / "d_records.edf", damaged(236, 8, "99999999"));
  test::write_whole_file(dir / "e_cut.edf", edf.substr(0, edf.size() / 2));
  test::write_whole_file(dir / "f_garbage.h5", "\x89HDF\r\n\x1a\n" + std::string(3000, '\x7f'));
  test::write_whole_file(dir / "g_garbage.mat", "MATLAB 5.0 MAT-file" + std::string(3000, '\x01'));
  test::write_whole_file(dir / "h_good.edf", edf);
  ASSERT_EQ(run({"--quiet", dir.path().string()}), kBatchSomeReported);
  auto rows = summary_rows(test::read_whole_file(dir / "summary.csv"));
  EXPECT_EQ(rows["a_good"].size(), 8u * 15u);
  EXPECT_EQ(rows["h_good"].size(), 8u * 15u);
  EXPECT_EQ(rows.size(), 2u);
  const std::string notes = test::read_whole_file(dir / "summary-notes.csv");
  for (const char* name : {"b_length0", "c_signals", "d_records", "e_cut", "f_garbage", "g_garbage"})
    EXPECT_NE(notes.find(std::string("\n") + name + ",,failed,"), std::string::npos) << name << "\n" << notes;
  EXPECT_NE(notes.find("ヘッダーは 99999999 レコードとしていますが、ファイルには 10 レコードしかありません"),
            std::string::npos)
      << notes;
  EXPECT_EQ(err.find("biosig"), std::string::npos) << err;  // the libraries' own lines stay theirs
  EXPECT_EQ(err.find("HDF5-DIAG"), std::string::npos) << err;
}

// A DataFrame's to_csv: its unnamed index first, then the time column and
// the leads: the index is left out, the time gives the rate.
TEST_F(BatchFormats, APandasCsvWithItsIndexGivesTheTextsMarks) {
  fs::copy_file(test::kSampleFile, dir / "s_text.txt");
  std::string pandas;
  std::istringstream lines(csv_text());
  std::string line;
  for (int row = -1; std::getline(lines, line); ++row)
    pandas += (row < 0 ? std::string() : std::to_string(row)) + "," + line + "\n";
  test::write_whole_file(dir / "s_pandas.csv", pandas);
  std::string numpy = "# " + csv_text();  // numpy.savetxt's header behind its comment mark
  test::write_whole_file(dir / "s_numpy.csv", numpy);
  ASSERT_EQ(run({"--quiet", dir.path().string()}), kBatchAllAnalysed) << err;
  EXPECT_EQ(test::read_whole_file(dir / "s_pandasari.csv"), test::read_whole_file(dir / "s_textari.csv"));
  EXPECT_EQ(test::read_whole_file(dir / "s_numpyari.csv"), test::read_whole_file(dir / "s_textari.csv"));
  const auto rows = summary_rows(test::read_whole_file(dir / "summary.csv"));
  EXPECT_EQ(rows.at("s_pandas").front().label, "E1");
}

}  // namespace
}  // namespace telmor
