// MATLAB v5 and v7.3 files through matio: one real 2-D numeric variable and
// a scalar rate variable (or the options).
#include <matio.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "matlab_recording.h"
#include "readers/recording_shape.h"

namespace telmor {
namespace {

struct FileCloser {
  void operator()(mat_t* mat) const { Mat_Close(mat); }
};
struct VarFree {
  void operator()(matvar_t* var) const { Mat_VarFree(var); }
};
using Var = std::unique_ptr<matvar_t, VarFree>;

bool numeric(const matvar_t& v) {
  return v.class_type >= MAT_C_DOUBLE && v.class_type <= MAT_C_UINT64 && v.isComplex == 0;
}

// Element k of a numeric variable's data as a double.
double element(const matvar_t& v, std::size_t k) {
  switch (v.class_type) {
    case MAT_C_DOUBLE:
      return static_cast<const double*>(v.data)[k];
    case MAT_C_SINGLE:
      return static_cast<const float*>(v.data)[k];
    case MAT_C_INT8:
      return static_cast<const std::int8_t*>(v.data)[k];
    case MAT_C_UINT8:
      return static_cast<const std::uint8_t*>(v.data)[k];
    case MAT_C_INT16:
      return static_cast<const std::int16_t*>(v.data)[k];
    case MAT_C_UINT16:
      return static_cast<const std::uint16_t*>(v.data)[k];
    case MAT_C_INT32:
      return static_cast<const std::int32_t*>(v.data)[k];
    case MAT_C_UINT32:
      return static_cast<const std::uint32_t*>(v.data)[k];
    case MAT_C_INT64:
      return static_cast<double>(static_cast<const std::int64_t*>(v.data)[k]);
    case MAT_C_UINT64:
      return static_cast<double>(static_cast<const std::uint64_t*>(v.data)[k]);
    default:
      return std::nan("");
  }
}

bool is_rate_name(const std::string& name) {
  for (const char* n : {"fs", "Fs", "FS", "sampling_rate", "SamplingRate", "sample_rate", "srate", "rate"})
    if (name == n) return true;
  return false;
}

}  // namespace

RecordingProblem read_matlab_recording(const std::filesystem::path& file, const ReadOptions& options,
                                       Recording& recording) {
  const std::unique_ptr<mat_t, FileCloser> mat(Mat_Open(file.string().c_str(), MAT_ACC_RDONLY));
  if (!mat) {
    RecordingProblem p{RecordingFault::format_unreadable};
    p.detail = "matio could not open it as a MATLAB file";
    return p;
  }
  // The variables: 2-D arrays of numbers, and a rate by its name.
  std::vector<std::string> arrays;
  std::string rate_name;
  for (Var v(Mat_VarReadNextInfo(mat.get())); v; v.reset(Mat_VarReadNextInfo(mat.get()))) {
    if (v->name == nullptr || !numeric(*v) || v->rank != 2) continue;
    const std::size_t elements = v->dims[0] * v->dims[1];
    if (elements == 1 && is_rate_name(v->name)) rate_name = v->name;
    if (elements > 1 && v->dims[0] > 0 && v->dims[1] > 0) arrays.emplace_back(v->name);
  }
  std::string name;
  if (options.dataset) {
    name = *options.dataset;
  } else if (arrays.empty()) {
    return {RecordingFault::no_dataset};
  } else if (arrays.size() > 1) {
    RecordingProblem p{RecordingFault::several_datasets};
    for (const std::string& a : arrays) p.detail += (p.detail.empty() ? "" : ", ") + a;
    return p;
  } else {
    name = arrays.front();
  }
  const Var data(Mat_VarRead(mat.get(), name.c_str()));
  if (!data) {
    RecordingProblem p{RecordingFault::dataset_not_found};
    p.detail = name;
    return p;
  }
  if (!numeric(*data) || data->rank != 2 || data->data == nullptr) {
    RecordingProblem p{RecordingFault::dataset_shape};
    p.detail = name + ": " + std::to_string(data->rank) + "-D" + (numeric(*data) ? "" : ", not real numbers");
    return p;
  }
  const std::size_t rows = data->dims[0], columns = data->dims[1];
  const std::optional<bool> by_rows = rows_are_samples(rows, columns, options.orientation);
  if (!by_rows) return {RecordingFault::orientation_ambiguous, static_cast<int>(rows), static_cast<int>(columns)};
  const std::size_t samples = *by_rows ? rows : columns, leads = *by_rows ? columns : rows;
  if (leads > static_cast<std::size_t>(kMaxRecordingLeads))
    return {RecordingFault::first_line_values, 0, static_cast<int>(leads)};
  std::optional<double> rate = options.rate_hz;
  if (!rate && !rate_name.empty()) {
    const Var fs(Mat_VarRead(mat.get(), rate_name.c_str()));
    if (fs && fs->data != nullptr) rate = element(*fs, 0);
  }
  if (!rate) return {RecordingFault::rate_missing};
  if (!(*rate > 0.0) || !std::isfinite(*rate)) {
    RecordingProblem p{RecordingFault::rate_invalid};
    p.detail = std::to_string(*rate);
    return p;
  }
  recording = Recording(static_cast<int>(leads), static_cast<int>(samples));
  recording.rate_hz = *rate;
  // MATLAB keeps its arrays column by column: (r, c) at r + c × rows.
  for (std::size_t c = 0; c < columns; ++c) {
    for (std::size_t r = 0; r < rows; ++r) {
      const double v = element(*data, r + c * rows);
      const std::size_t sample = *by_rows ? r : c;
      if (!std::isfinite(v) || std::fabs(v) > 3.4028234663852886e38)
        return {RecordingFault::not_a_number, static_cast<int>(sample) + 1};
      recording.value(static_cast<int>(*by_rows ? c : r) + 1, static_cast<int>(sample) + 1) = static_cast<float>(v);
    }
  }
  recording.labels.assign(leads, {});
  recording.units.assign(leads, {});
  return {};
}

}  // namespace telmor
