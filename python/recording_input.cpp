// Recordings from Python.
#include "recording_input.h"

#include <pybind11/numpy.h>

#include <cmath>
#include <limits>

#include "file_text.h"
#include "module_errors.h"
#include "module_words.h"
#include "numpy_columns.h"
#include "python_text.h"
#include "readers/recording_formats.h"
#include "readers/recording_limits.h"
#include "readers/recording_shape.h"
#include "readers/recording_text.h"
#include "words/words.h"

namespace telmor::python {
namespace {

namespace fs = std::filesystem;

// The batch's option names in a reason, as this module's keywords.
std::string with_keywords(std::string reason) {
  static constexpr std::pair<std::string_view, std::string_view> kKeywords[] = {
      {"--dataset", "dataset="}, {"--orientation", "orientation="}, {"--rate", "rate="}};
  for (const auto& [option, keyword] : kKeywords) {
    for (std::size_t at = reason.find(option); at != std::string::npos; at = reason.find(option, at))
      reason.replace(at, option.size(), keyword);
  }
  return reason;
}

Orientation orientation_named(const std::optional<std::string>& name) {
  if (!name) return Orientation::unknown;
  if (*name == "samples-by-leads") return Orientation::samples_by_leads;
  if (*name == "leads-by-samples") return Orientation::leads_by_samples;
  fail_value(says::orientation_unknown(*name));
}

// Any 2-D array-like of real numbers as a recording, each value rounded to a
// 32-bit real.
Recording recording_of(const py::object& wave) {
  const py::module_ numpy = py::module_::import("numpy");
  const py::array given = numpy.attr("asarray")(wave);
  const std::string kind = py::str(given.dtype().attr("kind"));
  if (kind != "f" && kind != "i" && kind != "u")
    fail_value(says::wave_not_real(std::string(py::str(given.dtype()))));
  if (given.ndim() != 2)
    fail_value(says::wave_not_2d(given.ndim()));
  const auto values = py::array_t<float, py::array::c_style | py::array::forcecast>::ensure(given);
  if (!values) throw py::error_already_set();
  const py::ssize_t samples = values.shape(0), leads = values.shape(1);
  if (samples < 1) fail_value(says::wave_without_samples());
  if (leads < 1) fail_value(says::wave_without_leads());
  if (samples > std::numeric_limits<int>::max() || leads > std::numeric_limits<int>::max())
    fail_value(says::wave_too_large());
  const auto view = values.unchecked<2>();
  Recording r;
  py::ssize_t bad_i = -1, bad_j = -1;
  {
    // values is held: its samples are read without the GIL, so that the
    // caller's thread hears Ctrl+C while a long recording is taken in.
    py::gil_scoped_release unlocked;
    r = Recording(static_cast<int>(leads), static_cast<int>(samples));
    for (py::ssize_t i = 0; i < samples && bad_i < 0; ++i) {
      for (py::ssize_t j = 0; j < leads; ++j) {
        const float v = view(i, j);
        if (!std::isfinite(v)) {
          bad_i = i;
          bad_j = j;
          break;
        }
        r.value(static_cast<int>(j) + 1, static_cast<int>(i) + 1) = v;
      }
    }
  }
  if (bad_i >= 0) {
    fail_value(says::wave_not_finite(bad_i, bad_j));
  }
  return r;
}

}  // namespace

py::tuple read_any(const fs::path& path, std::optional<int> leads, std::optional<int> seconds,
                   std::optional<std::string> dataset, std::optional<double> rate,
                   std::optional<std::string> orientation) {
  if (leads && (*leads < 1 || *leads > kMaxRecordingLeads))
    fail_value(says::keyword_outside("leads", kMaxRecordingLeads));
  if (seconds && (*seconds < 1 || *seconds > kMaxRecordingSeconds))
    fail_value(says::keyword_outside("seconds", kMaxRecordingSeconds));
  if (rate && !(*rate > 0.0 && std::isfinite(*rate)))
    fail_value(says::rate_not_positive("rate", *rate));
  const ReadOptions options{leads, seconds, rate, dataset, orientation_named(orientation)};
  // A library reads its file from the path: only the check that it is one.
  TextBuffer text;
  if (read_from_path(path)) {
    check_regular_file(path, ErrorKind::recording);
  } else {
    text = file_text(path, ErrorKind::recording, kLargestRecordingBytes);
  }
  Recording recording;
  RecordingProblem problem;
  {
    py::gil_scoped_release unlocked;
    problem = read_any_recording(path, text.view(), options, recording);
  }
  if (problem) {
    std::string reason = english().recording_problem(problem);
    if (asks_for_shape(problem.fault)) reason += says::give_the_shape();
    fail(ErrorKind::recording, quoted(path) + ": " + with_keywords(reason));
  }
  recording.labels.resize(static_cast<std::size_t>(recording.lead_count));
  recording.units.resize(static_cast<std::size_t>(recording.lead_count));
  return py::make_tuple(samples_by_leads(recording), recording.rate_hz, texts(recording.labels),
                        texts(recording.units), python::text(path.string()));
}

Recording recording_given(const py::object& wave, std::optional<double> fs, std::vector<std::string>& labels) {
  const py::object recording_type = py::module_::import("telmor").attr("Recording");
  if (!py::isinstance(wave, recording_type)) {
    Recording r = recording_of(wave);
    r.rate_hz = fs.value_or(kTextRateHz);
    labels.assign(static_cast<std::size_t>(r.lead_count), std::string());
    return r;
  }
  const auto own = wave.attr("fs").cast<double>();
  if (fs && *fs != own)
    fail_value(says::rate_differs(*fs, own));
  Recording r = recording_of(wave.attr("data"));
  r.rate_hz = own;
  labels.clear();
  for (const py::handle label : wave.attr("labels")) labels.push_back(utf8_of(label));
  labels.resize(static_cast<std::size_t>(r.lead_count));
  return r;
}

}  // namespace telmor::python
