// MATLAB v5 and v7.3 files through matio: one real 2-D numeric variable and
// a scalar rate variable (or the options).
#include <matio.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "matlab_recording.h"
#include "readers/recording_limits.h"
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
      return static_cast<double>(static_cast<const float*>(v.data)[k]);
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

// The bytes a value of a numeric class takes in memory.
std::size_t class_bytes(matio_classes c) {
  switch (c) {
    case MAT_C_DOUBLE:
    case MAT_C_INT64:
    case MAT_C_UINT64:
      return 8;
    case MAT_C_SINGLE:
    case MAT_C_INT32:
    case MAT_C_UINT32:
      return 4;
    case MAT_C_INT16:
    case MAT_C_UINT16:
      return 2;
    case MAT_C_INT8:
    case MAT_C_UINT8:
      return 1;
    default:
      return 0;
  }
}

// The values a 2-D variable's dims declare, when they count in 64 bits.
bool element_count(const matvar_t& v, std::uint64_t& elements) {
  return v.rank == 2 && v.dims != nullptr && multiplied(v.dims[0], v.dims[1], elements);
}

// Whether a variable read holds every value its dims declare, in the size
// its class takes: matio reads what the file holds, and a file whose dims
// promise more leaves the rest unwritten.
bool holds_its_values(const matvar_t& v) {
  std::uint64_t elements = 0, bytes = 0;
  const std::size_t each = class_bytes(v.class_type);
  return element_count(v, elements) && each != 0 && static_cast<std::size_t>(v.data_size) == each &&
         multiplied(elements, each, bytes) && v.nbytes >= bytes && v.data != nullptr;
}

bool is_rate_name(const std::string& name) {
  for (const char* n : {"fs", "Fs", "FS", "sampling_rate", "SamplingRate", "sample_rate", "srate", "rate"})
    if (name == n) return true;
  return false;
}

}  // namespace

RecordingProblem read_matlab_recording(const std::filesystem::path& file, std::uint64_t file_bytes,
                                       const ReadOptions& options, RecordingSink& sink) {
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
    std::uint64_t elements = 0;
    if (v->name == nullptr || !numeric(*v) || !element_count(*v, elements)) continue;
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
  // The shape from the variable's header first: checked before matio is
  // asked for its values.
  const Var info(Mat_VarReadInfo(mat.get(), name.c_str()));
  if (!info) {
    RecordingProblem p{RecordingFault::dataset_not_found};
    p.detail = name;
    return p;
  }
  std::uint64_t elements = 0;
  if (!numeric(*info) || !element_count(*info, elements)) {
    RecordingProblem p{RecordingFault::dataset_shape};
    p.detail = name + ": " + std::to_string(info->rank) + "-D" + (numeric(*info) ? "" : ", not real numbers");
    return p;
  }
  const std::size_t rows = info->dims[0], columns = info->dims[1];
  const std::optional<bool> by_rows = rows_are_samples(rows, columns, options.orientation);
  if (!by_rows)
    return {RecordingFault::orientation_ambiguous, static_cast<std::int64_t>(rows), static_cast<std::int64_t>(columns)};
  const std::size_t samples = *by_rows ? rows : columns, leads = *by_rows ? columns : rows;
  if (RecordingProblem p = check_declared_shape(leads, samples, name)) return p;
  std::uint64_t declared = 0;
  if (!multiplied(elements, class_bytes(info->class_type), declared)) return check_declared_shape(~0ULL, 1, name);
  if (RecordingProblem p = check_declared_data(declared, file_bytes, info->compression != MAT_COMPRESSION_NONE,
                                               class_bytes(info->class_type), name))
    return p;

  std::optional<double> rate = options.rate_hz;
  if (!rate && !rate_name.empty()) {
    const Var fs(Mat_VarRead(mat.get(), rate_name.c_str()));
    if (fs && holds_its_values(*fs)) rate = element(*fs, 0);
  }
  if (!rate) return {RecordingFault::rate_missing};
  const Var data(Mat_VarRead(mat.get(), name.c_str()));
  if (!data || !numeric(*data) || data->rank != 2 || data->dims[0] != rows || data->dims[1] != columns) {
    RecordingProblem p{RecordingFault::format_unreadable};
    p.detail = "matio could not read " + name;
    return p;
  }
  if (!holds_its_values(*data)) {
    RecordingProblem p{RecordingFault::data_missing};
    p.row = static_cast<std::int64_t>(data->nbytes / std::max<std::size_t>(class_bytes(data->class_type), 1));
    p.count = static_cast<std::int64_t>(elements);
    p.detail = name;
    return p;
  }
  if (RecordingProblem p = sink.begin(leads, samples, *rate, {}, {})) return p;
  // MATLAB keeps its arrays column by column: (r, c) at r + c × rows.
  constexpr std::size_t kValuesPerBlock = std::size_t{1} << 20;
  std::vector<float> block;
  for (std::size_t j = 0; j < leads; ++j) {
    for (std::size_t from = 0; from < samples; from += kValuesPerBlock) {
      block.resize(std::min(kValuesPerBlock, samples - from));
      for (std::size_t k = 0; k < block.size(); ++k) {
        const std::size_t i = from + k;
        const double v = element(*data, *by_rows ? i + j * rows : j + i * rows);
        if (!std::isfinite(v) || std::fabs(v) > 3.4028234663852886e38)
          return {RecordingFault::not_a_number, static_cast<std::int64_t>(i) + 1};
        block[k] = static_cast<float>(v);
      }
      if (RecordingProblem p = sink.append(static_cast<int>(j) + 1, block)) return p;
    }
  }
  return {};
}

}  // namespace telmor
