// HDF5 recordings through the HDF5 C library: one 2-D numeric dataset, its
// orientation and rate from its attributes (or the options), its channel
// labels and units where attributes give them.
#include <hdf5.h>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <string>
#include <vector>

#include "hdf5_recording.h"
#include "readers/recording_limits.h"
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

// The 2-D numeric datasets of the file, by their full paths; a file of
// more links than anyone makes is not walked to its end.
struct Found {
  std::vector<std::string> names;
  std::size_t visited = 0;
};
constexpr std::size_t kMostLinksVisited = 100'000;
constexpr std::size_t kMostNamesShown = 20;

herr_t collect(hid_t group, const char* name, const H5L_info_t*, void* data) {
  auto& found = *static_cast<Found*>(data);
  if (++found.visited > kMostLinksVisited) return 1;
  Handle dataset(H5Dopen2(group, name, H5P_DEFAULT), H5Dclose);
  if (!dataset) return 0;
  Handle space(H5Dget_space(dataset.get()), H5Sclose);
  Handle type(H5Dget_type(dataset.get()), H5Tclose);
  const H5T_class_t kind = H5Tget_class(type.get());
  if (H5Sget_simple_extent_ndims(space.get()) == 2 && (kind == H5T_INTEGER || kind == H5T_FLOAT))
    found.names.push_back(std::string("/") + name);
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

// The most strings an attribute may give, and the longest: far more than
// any recording's channels, and names no one would type.
constexpr hssize_t kMostStrings = 4 * 1024;
constexpr std::size_t kLongestString = 4096;

// A fixed-length string as its padding ends it: at its first NUL (NULs
// pad or end it), blanks taken off where blanks pad it.
std::string padded_string(const char* raw, std::size_t size, H5T_str_t pad) {
  std::string s(raw, size);
  s.erase(std::find(s.begin(), s.end(), '\0'), s.end());
  if (pad == H5T_STR_SPACEPAD)
    while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// A string attribute (one string, or an array of them) of obj, by any of
// names, in the file's own character set and padding: the memory type is
// the file's, so nothing is converted (and nothing cut to make room for a
// terminator).
std::vector<std::string> string_attribute(hid_t obj, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (H5Aexists(obj, name) <= 0) continue;
    Handle attribute(H5Aopen(obj, name, H5P_DEFAULT), H5Aclose);
    Handle type(H5Aget_type(attribute.get()), H5Tclose);
    if (H5Tget_class(type.get()) != H5T_STRING) continue;
    Handle space(H5Aget_space(attribute.get()), H5Sclose);
    const hssize_t points = H5Sget_simple_extent_npoints(space.get());
    if (points < 0 || points > kMostStrings) continue;
    const auto count = static_cast<std::size_t>(points);
    std::vector<std::string> strings;
    Handle memory(H5Tcopy(type.get()), H5Tclose);
    if (H5Tis_variable_str(type.get()) > 0) {
      std::vector<char*> raw(count, nullptr);
      if (H5Aread(attribute.get(), memory.get(), raw.data()) < 0) continue;
      for (char* s : raw) strings.emplace_back(s != nullptr ? std::string(s, strnlen(s, kLongestString)) : "");
      H5Dvlen_reclaim(memory.get(), space.get(), H5P_DEFAULT, raw.data());
    } else {
      const std::size_t size = H5Tget_size(type.get());
      if (size == 0 || size > kLongestString) continue;
      std::vector<char> raw(count * size + 1, '\0');
      if (H5Aread(attribute.get(), memory.get(), raw.data()) < 0) continue;
      const H5T_str_t pad = H5Tget_strpad(type.get());
      for (std::size_t i = 0; i < count; ++i) strings.push_back(padded_string(raw.data() + i * size, size, pad));
    }
    return strings;
  }
  return {};
}

std::string shape_text(hsize_t rows, hsize_t columns) {
  return std::to_string(rows) + " × " + std::to_string(columns);
}


// The dataset's values as HDF5 stores them, against what its storage holds:
// data_missing for a dataset whose chunks were never written (or written
// only in part), what a compressed one could not expand to, and a dataset
// whose values lie in other files (external storage, a virtual dataset) is
// refused: TELMOR reads the file it was given.
RecordingProblem check_storage(hid_t dataset, hid_t type, hsize_t rows, hsize_t columns, std::uint64_t file_bytes,
                               const std::string& name) {
  Handle plist(H5Dget_create_plist(dataset), H5Pclose);
  if (!plist) return {RecordingFault::format_unreadable, 0, 0, 0, "the HDF5 library could not read " + name};
  const H5D_layout_t layout = H5Pget_layout(plist.get());
  if (layout == H5D_VIRTUAL || H5Pget_external_count(plist.get()) > 0) {
    RecordingProblem p{RecordingFault::dataset_shape};
    p.detail = name + ": values in other files";
    return p;
  }
  std::uint64_t values = 0, declared = 0;
  const std::size_t each = H5Tget_size(type);
  if (!multiplied(rows, columns, values) || !multiplied(values, each, declared) || each == 0)
    return check_declared_shape(rows, columns, name);
  const bool compressed = H5Pget_nfilters(plist.get()) > 0;
  const std::uint64_t stored = H5Dget_storage_size(dataset);
  if (RecordingProblem p = check_declared_data(declared, std::min(stored, file_bytes), compressed, each, name))
    return p;
  return {};
}

// Rows first to last a block at a time, each block's values handed to the
// sink lead by lead: no copy of the whole dataset is ever held.
RecordingProblem read_blocks(hid_t dataset, hid_t space, hsize_t rows, hsize_t columns, bool by_rows,
                             RecordingSink& sink, const std::string& name) {
  constexpr hsize_t kValuesPerBlock = hsize_t{1} << 22;
  // Samples along rows: a block of whole rows, every lead in it; leads
  // along rows: a block of columns of every row.
  const hsize_t across = by_rows ? columns : rows, along = by_rows ? rows : columns;
  const hsize_t step = std::max<hsize_t>(1, kValuesPerBlock / across);
  std::vector<float> block, lead;
  for (hsize_t from = 0; from < along; from += step) {
    const hsize_t n = std::min(step, along - from);
    const hsize_t start[2] = {by_rows ? from : 0, by_rows ? 0 : from};
    const hsize_t count[2] = {by_rows ? n : rows, by_rows ? columns : n};
    if (H5Sselect_hyperslab(space, H5S_SELECT_SET, start, nullptr, count, nullptr) < 0)
      return {RecordingFault::format_unreadable, 0, 0, 0, "the HDF5 library could not read " + name};
    Handle memory(H5Screate_simple(2, count, nullptr), H5Sclose);
    block.resize(static_cast<std::size_t>(count[0] * count[1]));
    if (H5Dread(dataset, H5T_NATIVE_FLOAT, memory.get(), space, H5P_DEFAULT, block.data()) < 0)
      return {RecordingFault::format_unreadable, 0, 0, 0, "the HDF5 library could not read " + name};
    for (hsize_t j = 0; j < across; ++j) {
      lead.resize(static_cast<std::size_t>(n));
      for (hsize_t i = 0; i < n; ++i)
        lead[static_cast<std::size_t>(i)] = by_rows ? block[static_cast<std::size_t>(i * columns + j)]
                                                    : block[static_cast<std::size_t>(j * n + i)];
      if (RecordingProblem p = sink.append(static_cast<int>(j) + 1, lead)) {
        if (p.fault == RecordingFault::not_a_number) p.row += static_cast<std::int64_t>(from);
        return p;
      }
    }
  }
  return {};
}

}  // namespace

RecordingProblem read_hdf5_recording(const std::filesystem::path& file, std::uint64_t file_bytes,
                                     const ReadOptions& options, RecordingSink& sink) {
  H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);  // reasons are returned, not printed
  // A filter the file names is never loaded from a plugin folder: only what
  // the library holds itself decodes it.
  H5PLset_loading_state(0);
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
    Found found;
    H5Lvisit(h5.get(), H5_INDEX_NAME, H5_ITER_INC, collect, &found);
    if (found.names.empty()) return {RecordingFault::no_dataset};
    if (found.names.size() > 1) {
      RecordingProblem p{RecordingFault::several_datasets};
      for (std::size_t k = 0; k < std::min(found.names.size(), kMostNamesShown); ++k)
        p.detail += (k == 0 ? "" : ", ") + found.names[k];
      if (found.names.size() > kMostNamesShown) p.detail += ", …";
      return p;
    }
    name = found.names.front();
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
  if (!by_rows)
    return {RecordingFault::orientation_ambiguous, static_cast<std::int64_t>(dims[0]), static_cast<std::int64_t>(dims[1])};
  const hsize_t samples = *by_rows ? dims[0] : dims[1], leads = *by_rows ? dims[1] : dims[0];
  if (RecordingProblem p = check_declared_shape(leads, samples, name)) return p;
  if (RecordingProblem p = check_storage(dataset.get(), type.get(), dims[0], dims[1], file_bytes, name)) return p;
  std::optional<double> rate = options.rate_hz;
  if (!rate) {
    static constexpr std::initializer_list<const char*> kRateNames = {"sampling_rate", "fs", "SamplingRate",
                                                                      "sample_rate", "Fs", "rate"};
    rate = number_attribute(dataset.get(), kRateNames);
    if (!rate) rate = number_attribute(h5.get(), kRateNames);
  }
  if (!rate) return {RecordingFault::rate_missing};
  if (RecordingProblem p = sink.begin(leads, samples, *rate,
                                      string_attribute(dataset.get(), {"labels", "channel_names", "channels"}),
                                      string_attribute(dataset.get(), {"units", "unit"})))
    return p;
  return read_blocks(dataset.get(), space.get(), dims[0], dims[1], *by_rows, sink, name);
}

}  // namespace telmor
