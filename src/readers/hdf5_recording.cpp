// HDF5 recordings through the HDF5 C library: one 2-D numeric dataset, its
// orientation and rate from its attributes (or the options), its channel
// labels and units where attributes give them.
#include <hdf5.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "hdf5_recording.h"
#include "readers/recording_shape.h"

namespace telmor {
namespace {

// An HDF5 identifier closed with the function that matches its kind.
class Handle {
 public:
  Handle(hid_t id, herr_t (*close)(hid_t)) : id_(id), close_(close) {}
  ~Handle() {
    if (id_ >= 0) close_(id_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  hid_t get() const { return id_; }
  explicit operator bool() const { return id_ >= 0; }

 private:
  hid_t id_;
  herr_t (*close_)(hid_t);
};

// The 2-D numeric datasets of the file, by their full paths.
herr_t collect(hid_t group, const char* name, const H5L_info_t*, void* data) {
  Handle dataset(H5Dopen2(group, name, H5P_DEFAULT), H5Dclose);
  if (!dataset) return 0;
  Handle space(H5Dget_space(dataset.get()), H5Sclose);
  Handle type(H5Dget_type(dataset.get()), H5Tclose);
  const H5T_class_t kind = H5Tget_class(type.get());
  if (H5Sget_simple_extent_ndims(space.get()) == 2 && (kind == H5T_INTEGER || kind == H5T_FLOAT))
    static_cast<std::vector<std::string>*>(data)->push_back(std::string("/") + name);
  return 0;
}

// A numeric attribute of obj as a double, if there is one by any of names.
std::optional<double> number_attribute(hid_t obj, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (H5Aexists(obj, name) <= 0) continue;
    Handle attribute(H5Aopen(obj, name, H5P_DEFAULT), H5Aclose);
    Handle type(H5Aget_type(attribute.get()), H5Tclose);
    const H5T_class_t kind = H5Tget_class(type.get());
    if (kind != H5T_INTEGER && kind != H5T_FLOAT) continue;
    Handle space(H5Aget_space(attribute.get()), H5Sclose);
    if (H5Sget_simple_extent_npoints(space.get()) != 1) continue;
    double value = 0.0;
    if (H5Aread(attribute.get(), H5T_NATIVE_DOUBLE, &value) >= 0) return value;
  }
  return std::nullopt;
}

// A string attribute (one string, or an array of them) of obj, by any of names.
std::vector<std::string> string_attribute(hid_t obj, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (H5Aexists(obj, name) <= 0) continue;
    Handle attribute(H5Aopen(obj, name, H5P_DEFAULT), H5Aclose);
    Handle type(H5Aget_type(attribute.get()), H5Tclose);
    if (H5Tget_class(type.get()) != H5T_STRING) continue;
    Handle space(H5Aget_space(attribute.get()), H5Sclose);
    const auto count = static_cast<std::size_t>(std::max<hssize_t>(H5Sget_simple_extent_npoints(space.get()), 0));
    std::vector<std::string> strings;
    if (H5Tis_variable_str(type.get()) > 0) {
      std::vector<char*> raw(count, nullptr);
      Handle memory(H5Tcopy(H5T_C_S1), H5Tclose);
      H5Tset_size(memory.get(), H5T_VARIABLE);
      if (H5Aread(attribute.get(), memory.get(), raw.data()) < 0) continue;
      for (char* s : raw) strings.emplace_back(s != nullptr ? s : "");
      H5Dvlen_reclaim(memory.get(), space.get(), H5P_DEFAULT, raw.data());
    } else {
      const std::size_t size = H5Tget_size(type.get());
      std::vector<char> raw(count * size + 1, '\0');
      Handle memory(H5Tcopy(H5T_C_S1), H5Tclose);
      H5Tset_size(memory.get(), size);
      if (H5Aread(attribute.get(), memory.get(), raw.data()) < 0) continue;
      for (std::size_t i = 0; i < count; ++i) {
        std::string s(raw.data() + i * size, size);
        s.erase(std::find(s.begin(), s.end(), '\0'), s.end());
        while (!s.empty() && s.back() == ' ') s.pop_back();
        strings.push_back(std::move(s));
      }
    }
    return strings;
  }
  return {};
}

std::string shape_text(hsize_t rows, hsize_t columns) {
  return std::to_string(rows) + " × " + std::to_string(columns);
}

}  // namespace

RecordingProblem read_hdf5_recording(const std::filesystem::path& file, const ReadOptions& options,
                                     Recording& recording) {
  H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);  // reasons are returned, not printed
  Handle h5(H5Fopen(file.string().c_str(), H5F_ACC_RDONLY, H5P_DEFAULT), H5Fclose);
  if (!h5) {
    RecordingProblem p{RecordingFault::format_unreadable};
    p.detail = "the HDF5 library could not open it";
    return p;
  }
  std::string name;
  if (options.dataset) {
    name = *options.dataset;
  } else {
    std::vector<std::string> found;
    H5Lvisit(h5.get(), H5_INDEX_NAME, H5_ITER_INC, collect, &found);
    if (found.empty()) return {RecordingFault::no_dataset};
    if (found.size() > 1) {
      RecordingProblem p{RecordingFault::several_datasets};
      for (const std::string& f : found) p.detail += (p.detail.empty() ? "" : ", ") + f;
      return p;
    }
    name = found.front();
  }
  Handle dataset(H5Dopen2(h5.get(), name.c_str(), H5P_DEFAULT), H5Dclose);
  if (!dataset) {
    RecordingProblem p{RecordingFault::dataset_not_found};
    p.detail = name;
    return p;
  }
  Handle space(H5Dget_space(dataset.get()), H5Sclose);
  Handle type(H5Dget_type(dataset.get()), H5Tclose);
  const H5T_class_t kind = H5Tget_class(type.get());
  const int rank = H5Sget_simple_extent_ndims(space.get());
  hsize_t dims[2] = {0, 0};
  if (rank != 2 || (kind != H5T_INTEGER && kind != H5T_FLOAT)) {
    RecordingProblem p{RecordingFault::dataset_shape};
    p.detail = name + ": " + std::to_string(std::max(rank, 0)) + "-D" +
               (kind == H5T_INTEGER || kind == H5T_FLOAT ? "" : ", not numbers");
    return p;
  }
  H5Sget_simple_extent_dims(space.get(), dims, nullptr);
  if (dims[0] == 0 || dims[1] == 0) {
    RecordingProblem p{RecordingFault::dataset_shape};
    p.detail = name + ": " + shape_text(dims[0], dims[1]);
    return p;
  }
  // The orientation an attribute states, unless the options say.
  Orientation asked = options.orientation;
  if (asked == Orientation::unknown) {
    const std::vector<std::string> said = string_attribute(dataset.get(), {"orientation"});
    if (!said.empty() && said.front() == "samples-by-leads") asked = Orientation::samples_by_leads;
    if (!said.empty() && said.front() == "leads-by-samples") asked = Orientation::leads_by_samples;
  }
  const std::optional<bool> by_rows = rows_are_samples(dims[0], dims[1], asked);
  if (!by_rows) return {RecordingFault::orientation_ambiguous, static_cast<int>(dims[0]), static_cast<int>(dims[1])};
  const hsize_t samples = *by_rows ? dims[0] : dims[1], leads = *by_rows ? dims[1] : dims[0];
  if (leads > static_cast<hsize_t>(kMaxRecordingLeads)) return {RecordingFault::first_line_values, 0, static_cast<int>(leads)};
  std::optional<double> rate = options.rate_hz;
  if (!rate) {
    static constexpr std::initializer_list<const char*> kRateNames = {"sampling_rate", "fs", "SamplingRate",
                                                                      "sample_rate", "Fs", "rate"};
    rate = number_attribute(dataset.get(), kRateNames);
    if (!rate) rate = number_attribute(h5.get(), kRateNames);
  }
  if (!rate) return {RecordingFault::rate_missing};
  if (!(*rate > 0.0) || !std::isfinite(*rate)) {
    RecordingProblem p{RecordingFault::rate_invalid};
    p.detail = std::to_string(*rate);
    return p;
  }
  std::vector<float> values(static_cast<std::size_t>(dims[0] * dims[1]));
  if (H5Dread(dataset.get(), H5T_NATIVE_FLOAT, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data()) < 0) {
    RecordingProblem p{RecordingFault::format_unreadable};
    p.detail = "the HDF5 library could not read " + name;
    return p;
  }
  recording = Recording(static_cast<int>(leads), static_cast<int>(samples));
  recording.rate_hz = *rate;
  for (hsize_t r = 0; r < dims[0]; ++r) {
    for (hsize_t c = 0; c < dims[1]; ++c) {
      const float v = values[r * dims[1] + c];
      if (!std::isfinite(v)) return {RecordingFault::not_a_number, static_cast<int>((*by_rows ? r : c) + 1)};
      const hsize_t lead = *by_rows ? c : r, sample = *by_rows ? r : c;
      recording.value(static_cast<int>(lead) + 1, static_cast<int>(sample) + 1) = v;
    }
  }
  recording.labels = string_attribute(dataset.get(), {"labels", "channel_names", "channels"});
  recording.units = string_attribute(dataset.get(), {"units", "unit"});
  if (recording.units.size() == 1 && leads > 1) recording.units.assign(static_cast<std::size_t>(leads), recording.units.front());
  recording.labels.resize(static_cast<std::size_t>(leads));
  recording.units.resize(static_cast<std::size_t>(leads));
  return {};
}

}  // namespace telmor
