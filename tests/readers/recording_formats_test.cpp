// The formats laboratories write, each written here by its own library (HDF5,
// matio, biosig for GDF) or by the standard's layout (EDF, BDF, CSV), read
// back into the recording that was written: samples within the format's
// quantisation, the rate, the labels; and what each refuses, with why.
#include <gtest/gtest.h>

#include <biosig.h>
#include <hdf5.h>
#include <matio.h>

#include <cmath>
#include <string>
#include <vector>

#include "readers/recording_formats.h"
#include "support/edf_writer.h"
#include "support/format_writers.h"
#include "support/test_files.h"

namespace telmor {
namespace {

// Three leads of 2 s at rate_hz: different waves, so that leads and samples
// cannot be mixed up unseen.
Recording three_leads(double rate_hz) {
  const int n = static_cast<int>(2 * rate_hz);
  Recording r(3, n);
  r.rate_hz = rate_hz;
  for (int i = 1; i <= n; ++i) {
    const double t = i / rate_hz;
    r.value(1, i) = static_cast<float>(std::sin(6.0 * t));
    r.value(2, i) = static_cast<float>(0.5 * std::cos(11.0 * t) - 0.2);
    r.value(3, i) = static_cast<float>(0.001 * i);
  }
  r.labels = {"V1", "V2", "E12"};
  r.units = {"mV", "mV", "uV"};
  return r;
}

void expect_same(const Recording& got, const Recording& written, double tolerance, const std::string& what) {
  ASSERT_EQ(got.lead_count, written.lead_count) << what;
  ASSERT_EQ(got.sample_count, written.sample_count) << what;
  EXPECT_NEAR(got.rate_hz, written.rate_hz, 1e-9 * written.rate_hz) << what;
  for (int j = 1; j <= written.lead_count; ++j) {
    for (int i = 1; i <= written.sample_count; ++i)
      ASSERT_NEAR(got.value(j, i), written.value(j, i), tolerance) << what << " lead " << j << " sample " << i;
  }
}

RecordingProblem read_file(const std::filesystem::path& file, Recording& r, const ReadOptions& options = {}) {
  const std::string bytes = test::read_whole_file(file);
  const std::optional<RecordingFormat> format = format_of(file, std::string_view(bytes).substr(0, 512));
  if (!format) return {RecordingFault::unknown_format};
  if (*format == RecordingFormat::text || *format == RecordingFormat::csv)
    return read_text_recording(*format, bytes, options, r);
  return read_library_recording(*format, file, options, r);
}

TEST(FormatOf, ContentFirstThenExtension) {
  const std::string edf = test::edf_bytes(three_leads(250.0), false).substr(0, 512);
  struct Case {
    const char* name;
    std::string head;
    std::optional<RecordingFormat> format;
  };
  const std::vector<Case> cases = {
      {"a.h5", "\x89HDF\r\n\x1a\n...", RecordingFormat::hdf5},
      {"a.dat", "\x89HDF\r\n\x1a\n...", RecordingFormat::hdf5},
      {"a.mat", "MATLAB 5.0 MAT-file, Platform", RecordingFormat::matlab},
      {"renamed.txt", edf, RecordingFormat::biosig},
      {"a.BDF", "", RecordingFormat::biosig},
      {"a.gdf", "GDF 2.20", RecordingFormat::biosig},
      {"a.CSV", "time_ms,V1\n", RecordingFormat::csv},
      {"a.tsv", "", RecordingFormat::csv},
      {"a.txt", "0       1.5 2.5\n", RecordingFormat::text},  // a text row, not an EDF header
      {"a.xyz", "", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(format_of(c.name, c.head), c.format) << c.name;
}

TEST(RowsAreSamples, TheShapeDecidesOnlyWhenItCan) {
  struct Case {
    std::size_t rows, columns;
    Orientation asked;
    std::optional<bool> rows_are_samples;
  };
  for (const Case& c : {Case{30000, 20, Orientation::unknown, true}, Case{20, 30000, Orientation::unknown, false},
                        Case{1000, 8, Orientation::unknown, true}, Case{500, 600, Orientation::unknown, std::nullopt},
                        Case{64, 64, Orientation::unknown, std::nullopt}, Case{2000, 1500, Orientation::unknown, true},
                        Case{64, 64, Orientation::leads_by_samples, false},
                        Case{20, 30000, Orientation::samples_by_leads, true}})
    EXPECT_EQ(rows_are_samples(c.rows, c.columns, c.asked), c.rows_are_samples) << c.rows << " × " << c.columns;
}

// The CSV a spreadsheet or an acquisition system exports: a time column, the
// channels with their units.
TEST(CsvRecording, TimeColumnGivesTheRateAndTheHeaderTheLabels) {
  const Recording written = three_leads(2000.0);
  for (const char separator : {',', '\t'}) {
    std::string text = "\xef\xbb\xbf" "time_ms";
    for (int j = 0; j < 3; ++j) text += separator + written.labels[static_cast<std::size_t>(j)] + " (" + written.units[static_cast<std::size_t>(j)] + ")";
    text += "\r\n";
    for (int i = 1; i <= written.sample_count; ++i) {
      text += std::to_string(0.5 * (i - 1));
      for (int j = 1; j <= 3; ++j) text += separator + std::to_string(written.value(j, i));
      text += "\r\n";
    }
    Recording got;
    ASSERT_FALSE(read_csv_recording(text, {}, got)) << separator;
    expect_same(got, written, 1e-6, "csv");
    EXPECT_EQ(got.labels, written.labels);
    EXPECT_EQ(got.units, written.units);
  }
}

TEST(CsvRecording, WhatItCannotReadIsNamed) {
  struct Case {
    std::string text;
    ReadOptions options;
    RecordingFault fault;
    int row = 0;
  };
  const ReadOptions at_1k{.rate_hz = 1000.0};
  const std::vector<Case> cases = {
      {"1,2,3\n4,5,6\n", {}, RecordingFault::csv_header},
      {"time,V1\n0,1\n1,2\n", {}, RecordingFault::csv_header},          // seconds or ms?
      {"time_s\n0\n0.001\n", {}, RecordingFault::csv_header},           // nothing but time
      {"V1,V2\n1,2\n3,4\n", {}, RecordingFault::rate_missing},
      {"time_s,V1\n0,1\n0.001,2\n0.005,3\n", {}, RecordingFault::irregular_time, 4},
      {"V1,V2\n1,2\n3\n", at_1k, RecordingFault::field_count, 3},
      {"V1,V2\n1,2\n3,x\n", at_1k, RecordingFault::not_a_number, 3},
      {"V1,V2\n1,2\n3,\n", at_1k, RecordingFault::not_a_number, 3},
      {"\n\n", {}, RecordingFault::no_rows},
  };
  for (const Case& c : cases) {
    Recording r;
    const RecordingProblem p = read_csv_recording(c.text, c.options, r);
    EXPECT_EQ(p.fault, c.fault) << c.text;
    if (c.row != 0) {
      EXPECT_EQ(p.row, c.row) << c.text;
    }
  }
  // With a rate given, a time column without a unit is only a column passed over.
  Recording r;
  ASSERT_FALSE(read_csv_recording("time,V1\n0,1\n1,2\n", at_1k, r));
  EXPECT_EQ(r.lead_count, 1);
  EXPECT_EQ(r.rate_hz, 1000.0);
}

TEST(EdfRecording, EdfAndBdfReadBackWithinTheirQuantisation) {
  test::ScratchDir dir;
  const Recording written = three_leads(500.0);
  for (const bool bdf : {false, true}) {
    const auto file = dir / (bdf ? "three.bdf" : "three.edf");
    test::write_whole_file(file, test::edf_bytes(written, bdf));
    Recording got;
    const RecordingProblem p = read_file(file, got);
    ASSERT_FALSE(p) << p.detail;
    for (int j = 1; j <= 3; ++j) {
      const double step = test::edf_step(written, j, bdf);
      for (int i = 1; i <= written.sample_count; ++i)
        ASSERT_NEAR(got.value(j, i), written.value(j, i), step) << (bdf ? "BDF" : "EDF") << " lead " << j;
    }
    EXPECT_EQ(got.rate_hz, 500.0);
    EXPECT_EQ(got.labels, written.labels);
    EXPECT_EQ(got.units[2], "uV");
  }
}

// GDF as biosig itself writes it: 32-bit reals, no quantisation.
TEST(EdfRecording, GdfWrittenByBiosigReadsBack) {
  test::ScratchDir dir;
  const Recording written = three_leads(1000.0);
  const auto file = dir / "three.gdf";
  HDRTYPE* hdr = constructHDR(3, 0);
  biosig_set_filetype(hdr, GDF);
  biosig_set_samplerate(hdr, 1000.0);
  biosig_set_number_of_samples(hdr, 2, 1000);  // 2 records of 1000
  for (int k = 0; k < 3; ++k) {
    CHANNEL_TYPE* c = biosig_get_channel(hdr, k);
    biosig_channel_set_label(c, written.labels[static_cast<std::size_t>(k)].c_str());
    biosig_channel_set_physdimcode(c, PhysDimCode(written.units[static_cast<std::size_t>(k)].c_str()));
    biosig_channel_set_datatype(c, 16);  // float32
    biosig_channel_set_scaling(c, 1e6, -1e6, 1e6, -1e6);
    hdr->CHANNEL[k].SPR = 1000;
    hdr->CHANNEL[k].OnOff = 1;
  }
  hdr = sopen(file.string().c_str(), "w", hdr);
  ASSERT_EQ(biosig_check_error(hdr), 0) << biosig_get_errormsg(hdr);
  // One column per channel, as sread gives them back.
  std::vector<double> data;
  for (int j = 1; j <= 3; ++j)
    for (int i = 1; i <= written.sample_count; ++i) data.push_back(written.value(j, i));
  swrite(data.data(), 2, hdr);
  sclose(hdr);
  destructHDR(hdr);
  Recording got;
  const RecordingProblem p = read_file(file, got);
  ASSERT_FALSE(p) << p.detail;
  expect_same(got, written, 1e-6, "gdf");
  EXPECT_EQ(got.labels, written.labels);
}

TEST(Hdf5Recording, EitherOrientationWithItsRateAndLabels) {
  test::ScratchDir dir;
  const Recording written = three_leads(2000.0);
  const auto n = static_cast<hsize_t>(written.sample_count);
  std::vector<float> by_samples, by_leads;
  for (int i = 1; i <= written.sample_count; ++i)
    for (int j = 1; j <= 3; ++j) by_samples.push_back(written.value(j, i));
  for (int j = 1; j <= 3; ++j)
    for (int i = 1; i <= written.sample_count; ++i) by_leads.push_back(written.value(j, i));
  {
    const test::Hdf5File h5(dir / "mea.h5");
    const hid_t d = h5.dataset("data", n, 3, by_samples);
    test::Hdf5File::number(d, "sampling_rate", 2000.0);
    test::Hdf5File::strings(d, "labels", written.labels);
    test::Hdf5File::strings(d, "units", written.units);
    H5Dclose(d);
    const hid_t g = H5Gcreate2(h5.id(), "raw", H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
    const hid_t t = h5.dataset("raw/transposed", 3, n, by_leads);
    H5Dclose(t);
    H5Gclose(g);
    test::Hdf5File::number(h5.id(), "fs", 2000.0);
  }
  Recording got;
  // Two datasets: which one is for the user to say.
  RecordingProblem p = read_file(dir / "mea.h5", got);
  EXPECT_EQ(p.fault, RecordingFault::several_datasets);
  EXPECT_EQ(p.detail, "/data, /raw/transposed");
  p = read_file(dir / "mea.h5", got, {.dataset = "/data"});
  ASSERT_FALSE(p) << p.detail;
  expect_same(got, written, 0.0, "samples × leads");
  EXPECT_EQ(got.labels, written.labels);
  EXPECT_EQ(got.units, written.units);
  // Leads × samples, the rate from the file's root.
  p = read_file(dir / "mea.h5", got, {.dataset = "/raw/transposed"});
  ASSERT_FALSE(p) << p.detail;
  expect_same(got, written, 0.0, "leads × samples");
  EXPECT_EQ(read_file(dir / "mea.h5", got, {.dataset = "/nothing"}).fault, RecordingFault::dataset_not_found);
}

TEST(Hdf5Recording, NoRateOrAnAmbiguousShapeAsksForTheOption) {
  test::ScratchDir dir;
  {
    const test::Hdf5File h5(dir / "square.h5");
    H5Dclose(h5.dataset("grid", 64, 64, std::vector<float>(64 * 64, 1.0f)));
  }
  Recording got;
  const RecordingProblem square = read_file(dir / "square.h5", got);
  EXPECT_EQ(square.fault, RecordingFault::orientation_ambiguous);
  EXPECT_EQ(read_file(dir / "square.h5", got, {.orientation = Orientation::leads_by_samples}).fault,
            RecordingFault::rate_missing);
  const RecordingProblem given =
      read_file(dir / "square.h5", got, {.rate_hz = 250.0, .orientation = Orientation::leads_by_samples});
  EXPECT_FALSE(given) << given.detail;
  EXPECT_EQ(got.rate_hz, 250.0);
  test::write_whole_file(dir / "broken.h5", "\x89HDF\r\n\x1a\nnot really");
  EXPECT_EQ(read_file(dir / "broken.h5", got).fault, RecordingFault::format_unreadable);
}

// MATLAB files of both kinds matio writes: v5 and v7.3 (HDF5 inside).
TEST(MatlabRecording, V5AndV73WithTheirRate) {
  test::ScratchDir dir;
  const Recording written = three_leads(1000.0);
  for (const mat_ft version : {MAT_FT_MAT5, MAT_FT_MAT73}) {
    const auto file = dir / (version == MAT_FT_MAT5 ? "v5.mat" : "v73.mat");
    ASSERT_TRUE(test::write_mat_recording(file, written, version));
    Recording got;
    const RecordingProblem p = read_file(file, got);
    ASSERT_FALSE(p) << file << " " << p.detail;
    expect_same(got, written, 1e-6, file.string());
  }
}

TEST(MatlabRecording, SeveralArraysOrNoneAreNamed) {
  test::ScratchDir dir;
  const auto file = dir / "two.mat";
  mat_t* mat = Mat_CreateVer(file.string().c_str(), nullptr, MAT_FT_MAT5);
  std::vector<double> values(2000 * 2, 0.5);
  std::size_t dims[2] = {2000, 2};
  for (const char* name : {"left", "right"}) {
    matvar_t* v = Mat_VarCreate(name, MAT_C_DOUBLE, MAT_T_DOUBLE, 2, dims, values.data(), 0);
    Mat_VarWrite(mat, v, MAT_COMPRESSION_NONE);
    Mat_VarFree(v);
  }
  Mat_Close(mat);
  Recording got;
  const RecordingProblem several = read_file(file, got);
  EXPECT_EQ(several.fault, RecordingFault::several_datasets);
  EXPECT_EQ(several.detail, "left, right");
  EXPECT_EQ(read_file(file, got, {.dataset = "left"}).fault, RecordingFault::rate_missing);
  EXPECT_FALSE(read_file(file, got, {.rate_hz = 500.0, .dataset = "right"}));
  EXPECT_EQ(got.lead_count, 2);
  test::write_whole_file(dir / "bad.mat", "MATLAB 5.0 MAT-file, but nothing more");
  EXPECT_EQ(read_file(dir / "bad.mat", got).fault, RecordingFault::format_unreadable);
}

}  // namespace
}  // namespace telmor
