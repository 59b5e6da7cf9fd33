// HDF5 and MATLAB files that lie about themselves, each made here by its own
// library: a declared shape beyond every limit or beyond what the file
// stores is refused before a value is read; strings come back in the file's
// own character set and padding; values kept in other files are not read.
#include <gtest/gtest.h>

#include <hdf5.h>
#include <matio.h>

#include <string>
#include <vector>

#include "readers/recording_formats.h"
#include "readers/recording_limits.h"
#include "support/format_writers.h"
#include "support/test_files.h"

namespace telmor {
namespace {

RecordingProblem read(const std::filesystem::path& file, Recording& r, RecordingFormat format = RecordingFormat::hdf5) {
  return read_library_recording(format, file, {}, r);
}

// A chunked float dataset "data" of rows × columns with its rate, and
// values written into its first written_rows rows (none: never written).
void chunked_dataset(const std::filesystem::path& file, hsize_t rows, hsize_t columns, hsize_t written_rows = 0,
                     bool deflate = false) {
  const test::Hdf5File h5(file);
  const hsize_t dims[2] = {rows, columns}, chunk[2] = {std::min<hsize_t>(rows, 1024), columns};
  const hid_t space = H5Screate_simple(2, dims, nullptr);
  const hid_t plist = H5Pcreate(H5P_DATASET_CREATE);
  H5Pset_chunk(plist, 2, chunk);
  if (deflate) H5Pset_deflate(plist, 6);
  const hid_t d = H5Dcreate2(h5.id(), "data", H5T_NATIVE_FLOAT, space, H5P_DEFAULT, plist, H5P_DEFAULT);
  if (written_rows > 0) {
    std::vector<float> values(static_cast<std::size_t>(written_rows * columns));
    for (std::size_t k = 0; k < values.size(); ++k) values[k] = static_cast<float>(k % 97) * 0.01f;
    const hsize_t start[2] = {0, 0}, count[2] = {written_rows, columns};
    H5Sselect_hyperslab(space, H5S_SELECT_SET, start, nullptr, count, nullptr);
    const hid_t memory = H5Screate_simple(2, count, nullptr);
    H5Dwrite(d, H5T_NATIVE_FLOAT, memory, space, H5P_DEFAULT, values.data());
    H5Sclose(memory);
  }
  test::Hdf5File::number(d, "sampling_rate", 1000.0);
  H5Dclose(d);
  H5Pclose(plist);
  H5Sclose(space);
}

TEST(HostileHdf5, ShapesBeyondEveryLimitAreRefusedUnread) {
  struct Case {
    const char* what;
    hsize_t rows, columns;
    RecordingFault fault;
  };
  const std::vector<Case> cases = {
      {"(2^62 + 1) × 4, whose values wrap 64 bits", (hsize_t{1} << 62) + 1, 4, RecordingFault::beyond_limit},
      {"2^40 × 8", hsize_t{1} << 40, 8, RecordingFault::beyond_limit},
      {"2^62 × 1", hsize_t{1} << 62, 1, RecordingFault::beyond_limit},
      {"2^33 × 1, beyond an int's samples", hsize_t{1} << 33, 1, RecordingFault::beyond_limit},
      {"2^28 × 1, 1 GiB never written", hsize_t{1} << 28, 1, RecordingFault::data_missing},
  };
  test::ScratchDir dir;
  for (const Case& c : cases) {
    const auto file = dir / "huge.h5";
    chunked_dataset(file, c.rows, c.columns);
    ASSERT_LT(std::filesystem::file_size(file), 100'000u) << c.what;
    Recording r;
    EXPECT_EQ(read(file, r).fault, c.fault) << c.what;
    EXPECT_TRUE(r.values.empty()) << c.what;
  }
}

TEST(HostileHdf5, WhatIsStoredDecidesNotWhatIsDeclared) {
  test::ScratchDir dir;
  const auto part = dir / "part.h5", whole = dir / "whole.h5", packed = dir / "packed.h5";
  chunked_dataset(part, 100'000, 4, 1024);     // one chunk of a hundred written
  chunked_dataset(whole, 5000, 4, 5000);
  chunked_dataset(packed, 5000, 4, 5000, true);  // compressed, whole
  Recording r;
  const RecordingProblem p = read(part, r);
  EXPECT_EQ(p.fault, RecordingFault::data_missing);
  EXPECT_EQ(p.count, 400'000);
  EXPECT_LT(p.row, p.count);
  for (const auto& file : {whole, packed}) {
    const RecordingProblem q = read(file, r);
    ASSERT_FALSE(q) << file << ": " << q.detail;
    EXPECT_EQ(r.lead_count, 4);
    EXPECT_EQ(r.sample_count, 5000);
    EXPECT_EQ(r.value(2, 1), 0.01f);  // row 0, column 1: the second value written
  }
}

// Labels as h5py writes them: fixed-length bytes (NULL-padded, no
// terminator), its default variable-length UTF-8, and the other paddings.
void string_labels(hid_t object, const std::vector<std::string>& labels, bool variable, H5T_cset_t cset,
                   H5T_str_t pad, std::size_t size) {
  const hsize_t n = labels.size();
  const hid_t space = H5Screate_simple(1, &n, nullptr);
  const hid_t type = H5Tcopy(H5T_C_S1);
  H5Tset_size(type, variable ? H5T_VARIABLE : size);
  H5Tset_cset(type, cset);
  if (!variable) H5Tset_strpad(type, pad);
  const hid_t a = H5Acreate2(object, "labels", type, space, H5P_DEFAULT, H5P_DEFAULT);
  if (variable) {
    std::vector<const char*> raw;
    for (const std::string& l : labels) raw.push_back(l.c_str());
    H5Awrite(a, type, raw.data());
  } else {
    std::string raw;
    for (std::string l : labels) {
      l.resize(size, pad == H5T_STR_SPACEPAD ? ' ' : '\0');
      raw += l;
    }
    H5Awrite(a, type, raw.data());
  }
  H5Aclose(a);
  H5Tclose(type);
  H5Sclose(space);
}

TEST(HostileHdf5, LabelsInTheFilesOwnCharacterSetAndPadding) {
  struct Case {
    const char* what;
    std::vector<std::string> labels;
    bool variable;
    H5T_cset_t cset;
    H5T_str_t pad;
    std::size_t size;
  };
  const std::vector<Case> cases = {
      {"fixed NULL-padded, as h5py's S3", {"V10", "V11", "V12"}, false, H5T_CSET_ASCII, H5T_STR_NULLPAD, 3},
      {"fixed NULL-padded, shorter", {"V1", "V11", "E"}, false, H5T_CSET_ASCII, H5T_STR_NULLPAD, 3},
      {"fixed NULL-terminated", {"V10", "V11", "V12"}, false, H5T_CSET_ASCII, H5T_STR_NULLTERM, 4},
      {"fixed blank-padded", {"V10", "V11", "V12"}, false, H5T_CSET_ASCII, H5T_STR_SPACEPAD, 6},
      {"variable UTF-8, as h5py's default", {"電極1", "Élec", "V3"}, true, H5T_CSET_UTF8, H5T_STR_NULLTERM, 0},
      {"variable ASCII", {"V1", "V2", "V3"}, true, H5T_CSET_ASCII, H5T_STR_NULLTERM, 0},
      {"fixed UTF-8", {"電極1", "電極2", "電極3"}, false, H5T_CSET_UTF8, H5T_STR_NULLPAD, 7},
  };
  test::ScratchDir dir;
  Recording written(3, 4000);
  written.rate_hz = 1000.0;
  for (std::size_t k = 0; k < written.values.size(); ++k) written.values[k] = static_cast<float>(k % 13);
  for (const Case& c : cases) {
    const auto file = dir / "labels.h5";
    {
      std::vector<float> values;
      for (int i = 1; i <= written.sample_count; ++i)
        for (int j = 1; j <= written.lead_count; ++j) values.push_back(written.value(j, i));
      const test::Hdf5File h5(file);
      const hid_t d = h5.dataset("data", 4000, 3, values);
      test::Hdf5File::number(d, "sampling_rate", 1000.0);
      string_labels(d, c.labels, c.variable, c.cset, c.pad, c.size);
      H5Dclose(d);
    }
    Recording r;
    const RecordingProblem p = read(file, r);
    ASSERT_FALSE(p) << c.what << ": " << p.detail;
    EXPECT_EQ(r.labels, c.labels) << c.what;
  }
}

TEST(HostileHdf5, ValuesInOtherFilesAreNotRead) {
  test::ScratchDir dir;
  const auto file = dir / "external.h5";
  test::write_whole_file(dir / "elsewhere.bin", std::string(4000 * 2 * 4, '\0'));
  {
    const test::Hdf5File h5(file);
    const hsize_t dims[2] = {4000, 2};
    const hid_t space = H5Screate_simple(2, dims, nullptr);
    const hid_t plist = H5Pcreate(H5P_DATASET_CREATE);
    H5Pset_external(plist, (dir / "elsewhere.bin").c_str(), 0, 4000 * 2 * 4);
    const hid_t d = H5Dcreate2(h5.id(), "data", H5T_NATIVE_FLOAT, space, H5P_DEFAULT, plist, H5P_DEFAULT);
    test::Hdf5File::number(d, "sampling_rate", 1000.0);
    H5Dclose(d);
    H5Pclose(plist);
    H5Sclose(space);
  }
  Recording r;
  EXPECT_EQ(read(file, r).fault, RecordingFault::dataset_shape);
}

// A MATLAB variable whose dims say more than its data holds: the dims of
// "ecg" (1000 × 3 doubles) are made 2000 × 3 in the file's bytes.
TEST(HostileMatlab, DimsBeyondTheDataAreRefused) {
  test::ScratchDir dir;
  const auto file = dir / "short.mat";
  Recording r(3, 1000);
  r.rate_hz = 1000.0;
  for (std::size_t k = 0; k < r.values.size(); ++k) r.values[k] = static_cast<float>(k % 11);
  ASSERT_TRUE(test::write_mat_recording(file, r, MAT_FT_MAT5));
  std::string bytes = test::read_whole_file(file);
  // The dimensions subelement: miINT32 (5), 8 bytes, 1000, 3.
  const std::string dims("\x05\0\0\0\x08\0\0\0\xe8\x03\0\0\x03\0\0\0", 16);
  const std::size_t at = bytes.find(dims);
  ASSERT_NE(at, std::string::npos);
  bytes[at + 8] = static_cast<char>(0xd0);  // 2000 = 0x07d0
  bytes[at + 9] = 0x07;
  test::write_whole_file(file, bytes);
  Recording got;
  const RecordingProblem p = read(file, got, RecordingFormat::matlab);
  EXPECT_EQ(p.fault, RecordingFault::data_missing);
  EXPECT_EQ(p.count, 6000);
  EXPECT_TRUE(got.values.empty());
}

}  // namespace
}  // namespace telmor
