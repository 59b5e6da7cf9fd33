// Writers of the formats laboratories write, each through its own library
// (HDF5, matio), for the tests of the readers and of the programs that take
// them: what they write, the readers must read back.
#pragma once

#include <hdf5.h>
#include <matio.h>

#include <filesystem>
#include <string>
#include <vector>

#include "signal/recording.h"

namespace telmor::test {

// The HDF5 a multi-electrode array's software writes: one dataset, its rate
// and channel names as attributes.
class Hdf5File {
 public:
  explicit Hdf5File(const std::filesystem::path& file)
      : id_(H5Fcreate(file.string().c_str(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT)) {}
  ~Hdf5File() { H5Fclose(id_); }
  hid_t id() const { return id_; }
  // A 2-D float dataset of rows × columns from values in row order.
  hid_t dataset(const char* name, hsize_t rows, hsize_t columns, const std::vector<float>& values) const {
    const hsize_t dims[2] = {rows, columns};
    const hid_t space = H5Screate_simple(2, dims, nullptr);
    const hid_t d = H5Dcreate2(id_, name, H5T_NATIVE_FLOAT, space, H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
    H5Dwrite(d, H5T_NATIVE_FLOAT, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data());
    H5Sclose(space);
    return d;
  }
  static void number(hid_t object, const char* name, double value) {
    const hid_t space = H5Screate(H5S_SCALAR);
    const hid_t a = H5Acreate2(object, name, H5T_NATIVE_DOUBLE, space, H5P_DEFAULT, H5P_DEFAULT);
    H5Awrite(a, H5T_NATIVE_DOUBLE, &value);
    H5Aclose(a);
    H5Sclose(space);
  }
  static void strings(hid_t object, const char* name, const std::vector<std::string>& values) {
    const hsize_t n = values.size();
    const hid_t space = H5Screate_simple(1, &n, nullptr);
    const hid_t type = H5Tcopy(H5T_C_S1);
    H5Tset_size(type, H5T_VARIABLE);
    std::vector<const char*> raw;
    for (const std::string& v : values) raw.push_back(v.c_str());
    const hid_t a = H5Acreate2(object, name, type, space, H5P_DEFAULT, H5P_DEFAULT);
    H5Awrite(a, type, raw.data());
    H5Aclose(a);
    H5Tclose(type);
    H5Sclose(space);
  }

 private:
  hid_t id_;
};

// The recording as a samples × leads float dataset "data" with its rate,
// labels and units as attributes.
inline void write_hdf5_recording(const std::filesystem::path& file, const Recording& r) {
  std::vector<float> values;
  for (int i = 1; i <= r.sample_count; ++i)
    for (int j = 1; j <= r.lead_count; ++j) values.push_back(r.value(j, i));
  const Hdf5File h5(file);
  const hid_t d = h5.dataset("data", static_cast<hsize_t>(r.sample_count), static_cast<hsize_t>(r.lead_count), values);
  Hdf5File::number(d, "sampling_rate", r.rate_hz);
  if (!r.labels.empty()) Hdf5File::strings(d, "labels", r.labels);
  if (!r.units.empty()) Hdf5File::strings(d, "units", r.units);
  H5Dclose(d);
}

// The recording as a samples × leads double variable "ecg" and its rate as
// "fs", in MATLAB's order (lead by lead); false where matio cannot create it.
inline bool write_mat_recording(const std::filesystem::path& file, const Recording& r, mat_ft version) {
  std::vector<double> column_major;
  for (int j = 1; j <= r.lead_count; ++j)
    for (int i = 1; i <= r.sample_count; ++i) column_major.push_back(r.value(j, i));
  mat_t* mat = Mat_CreateVer(file.string().c_str(), nullptr, version);
  if (!mat) return false;
  std::size_t dims[2] = {static_cast<std::size_t>(r.sample_count), static_cast<std::size_t>(r.lead_count)};
  matvar_t* data = Mat_VarCreate("ecg", MAT_C_DOUBLE, MAT_T_DOUBLE, 2, dims, column_major.data(), 0);
  Mat_VarWrite(mat, data, MAT_COMPRESSION_NONE);
  Mat_VarFree(data);
  double fs = r.rate_hz;
  std::size_t one[2] = {1, 1};
  matvar_t* rate = Mat_VarCreate("fs", MAT_C_DOUBLE, MAT_T_DOUBLE, 2, one, &fs, 0);
  Mat_VarWrite(mat, rate, MAT_COMPRESSION_NONE);
  Mat_VarFree(rate);
  Mat_Close(mat);
  return true;
}

}  // namespace telmor::test
