// The Python module telmor: TELMOR's analysis of recordings of any size on
// numpy arrays (samples × leads), and its results files.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cmath>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>

#include "base/csv_text.h"
#include "base/number_text.h"
#include "file_text.h"
#include "python_text.h"
#include "readers/layout_file.h"
#include "readers/recording_formats.h"
#include "readers/recording_limits.h"
#include "readers/recording_shape.h"
#include "readers/recording_text.h"
#include "results/analysis_tables.h"
#include "files/file_replace.h"
#include "results/results_format.h"
#include "results/results_parse.h"
#include "files/temporary_files.h"
#include "telmor_version.h"
#include "timing/analysis.h"
#include "tables/summary_csv.h"
#include "timing/beat_table.h"
#include "tissue/beat_maps.h"
#include "tissue/conduction_velocity.h"
#include "tissue/dispersion.h"
#include "tissue/restitution.h"
#include "words/words.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace telmor::python {
namespace {

namespace fs = std::filesystem;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

py::object recording_error;
py::object results_error;

// A results file of 20 leads and 200 rows is some 73 kB: anything far beyond
// that is no results file.
constexpr std::uintmax_t kLargestResultsFile = std::uintmax_t{1} << 20;

std::string integer(std::int64_t value) { return format_integer(value); }

template <typename T>
py::array_t<T> table(int rows, int columns, auto&& value) {
  py::array_t<T> out({rows, columns});
  auto view = out.template mutable_unchecked<2>();
  for (py::ssize_t i = 0; i < rows; ++i) {
    for (py::ssize_t j = 0; j < columns; ++j) view(i, j) = value(static_cast<int>(i), static_cast<int>(j));
  }
  return out;
}

// Samples × leads, as numpy users hold a recording.
py::array_t<float> samples_by_leads(const Recording& r) {
  return table<float>(r.sample_count, r.lead_count,
                      [&](int i, int j) { return r.value(j + 1, i + 1); });
}

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
  raise_value_error("orientation must be \"samples-by-leads\" or \"leads-by-samples\", not \"" + *name + "\"");
}

// A recording in any format the readers know, as (data samples × leads
// float32, fs, labels, units, source); telmor.read_recording wraps it.
py::tuple read_any(const fs::path& path, std::optional<int> leads, std::optional<int> seconds,
                   std::optional<std::string> dataset, std::optional<double> rate,
                   std::optional<std::string> orientation) {
  if (leads && (*leads < 1 || *leads > kMaxRecordingLeads))
    raise_value_error("leads must be 1 to " + integer(kMaxRecordingLeads));
  if (seconds && (*seconds < 1 || *seconds > kMaxRecordingSeconds))
    raise_value_error("seconds must be 1 to " + integer(kMaxRecordingSeconds));
  if (rate && !(*rate > 0.0 && std::isfinite(*rate)))
    raise_value_error("rate must be a positive number of Hz, not " + format_double(*rate));
  const ReadOptions options{leads, seconds, rate, dataset, orientation_named(orientation)};
  // A library reads its file from the path: only the check that it is one.
  TextBuffer text;
  if (read_from_path(path)) {
    check_regular_file(path, recording_error);
  } else {
    text = file_text(path, recording_error, kLargestRecordingBytes);
  }
  Recording recording;
  RecordingProblem problem;
  {
    py::gil_scoped_release unlocked;
    problem = read_any_recording(path, text.view(), options, recording);
  }
  if (problem) {
    std::string reason = english().recording_problem(problem);
    if (asks_for_shape(problem.fault)) reason += ". Give the shape with leads= and seconds=.";
    raise(recording_error, quoted(path) + ": " + with_keywords(reason));
  }
  recording.labels.resize(static_cast<std::size_t>(recording.lead_count));
  recording.units.resize(static_cast<std::size_t>(recording.lead_count));
  return py::make_tuple(samples_by_leads(recording), recording.rate_hz, texts(recording.labels),
                        texts(recording.units), python::text(path.string()));
}

// The search's options around the dialogue's settings, as analyse() takes them.
struct SearchOptions {
  std::optional<int> rt_smooth, rt_margin;
  std::optional<std::pair<int, int>> rt_window;
  int blank_before = kDefaultBlankBeforeMs, blank_after = kDefaultBlankAfterMs;
};

// ranges: "auto", or four whole ms.
void take_ranges(const py::object& ranges, AnalysisSettings& settings) {
  if (py::isinstance<py::str>(ranges)) {
    const std::string name = py::str(ranges);
    if (name != "auto") raise_value_error("ranges must be \"auto\" or four whole ms, not \"" + name + "\"");
    settings.auto_ranges = true;
    return;
  }
  const auto bounds = ranges.cast<std::vector<int>>();
  if (bounds.size() != 4)
    raise_value_error("ranges must be four whole ms: AT from, AT to, RT from, RT to (or \"auto\")");
  settings.at_from = bounds[0];
  settings.at_to = bounds[1];
  settings.rt_from = bounds[2];
  settings.rt_to = bounds[3];
}

// The settings as the analysis bounds them.
AnalysisSettings checked_settings(int smooth, double ratio, const py::object& ranges, int beat_lead,
                                  const std::string& estimator, const SearchOptions& search, int leads,
                                  double fs) {
  if (!(ratio >= 0.0 && ratio <= 1.0))
    raise_value_error("the amplitude ratio must be 0.0 to 1.0, not " + format_double(ratio));
  AnalysisSettings settings;
  settings.smooth_ms = smooth;
  settings.amp_ratio = static_cast<float>(ratio);
  take_ranges(ranges, settings);
  settings.beat_lead = beat_lead;
  const std::optional<Estimator> named = estimator_named(estimator);
  if (!named) raise_value_error("estimator must be \"centred\" or \"legacy\", not \"" + estimator + "\"");
  settings.estimator = *named;
  settings.rt_smooth_ms = search.rt_smooth;
  settings.rt_margin_ms = search.rt_margin;
  settings.rt_after_at = search.rt_window;
  settings.blank_before_ms = search.blank_before;
  settings.blank_after_ms = search.blank_after;
  if (const AnalysisProblem problem = check_settings(settings, leads, fs))
    raise_value_error(english().analysis_problem(problem));
  return settings;
}

// Any 2-D array-like of real numbers as a recording, each value rounded to a
// 32-bit real.
Recording recording_of(const py::object& wave) {
  const py::module_ numpy = py::module_::import("numpy");
  const py::array given = numpy.attr("asarray")(wave);
  const std::string kind = py::str(given.dtype().attr("kind"));
  if (kind != "f" && kind != "i" && kind != "u")
    raise_value_error("wave must hold real numbers, not " + std::string(py::str(given.dtype())));
  if (given.ndim() != 2)
    raise_value_error("wave must be 2-D (samples × leads), not " + integer(given.ndim()) + "-D");
  const auto values = py::array_t<float, py::array::c_style | py::array::forcecast>::ensure(given);
  if (!values) throw py::error_already_set();
  const py::ssize_t samples = values.shape(0), leads = values.shape(1);
  if (samples < 1) raise_value_error("wave must hold at least one sample");
  if (leads < 1) raise_value_error("wave must hold at least one lead");
  if (samples > std::numeric_limits<int>::max() || leads > std::numeric_limits<int>::max())
    raise_value_error("wave holds more samples than a recording can count");
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
    raise_value_error("wave[" + integer(bad_i) + ", " + integer(bad_j) + "] is not finite as a 32-bit real (sample " +
                      integer(bad_i + 1) + " of lead " + integer(bad_j + 1) + ")");
  }
  return r;
}

struct PyAnalysis {
  std::shared_ptr<const Analysis> a;
  std::vector<std::string> labels;  // lead j at [j - 1]: "" where none is known
};

// A telmor.Recording's data, rate and labels; any other array-like as it is,
// at fs (1000 Hz when not given), without labels.
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
    raise_value_error("fs=" + format_double(*fs) + " differs from the recording's own rate, " + format_double(own) +
                      " Hz: leave fs out, or give the data (recording.data) instead");
  Recording r = recording_of(wave.attr("data"));
  r.rate_hz = own;
  labels.clear();
  for (const py::handle label : wave.attr("labels")) labels.push_back(utf8_of(label));
  labels.resize(static_cast<std::size_t>(r.lead_count));
  return r;
}

PyAnalysis analyse_wave(const py::object& wave, std::optional<double> fs, int smooth, double ratio,
                        const py::object& ranges, int beat_lead, const std::string& estimator,
                        std::optional<int> rt_smooth, std::optional<int> rt_margin,
                        std::optional<std::pair<int, int>> rt_window, int blank_before, int blank_after,
                        bool derivative) {
  std::vector<std::string> labels;
  Recording recording = recording_given(wave, fs, labels);
  if (!(recording.rate_hz > 0.0 && std::isfinite(recording.rate_hz)))
    raise_value_error("fs must be a positive number of Hz, not " + format_double(recording.rate_hz));
  const SearchOptions search{rt_smooth, rt_margin, rt_window, blank_before, blank_after};
  const AnalysisSettings settings =
      checked_settings(smooth, ratio, ranges, beat_lead, estimator, search, recording.lead_count, recording.rate_hz);
  auto a = std::make_shared<Analysis>();
  {
    py::gil_scoped_release unlocked;
    *a = analyse(std::move(recording), settings, {.keep_derivative = derivative, .threads = 0});
  }
  if (a->problem.fault == AnalysisFault::no_amplitude)
    raise(recording_error, english().analysis_problem(a->problem));
  if (a->problem) raise_value_error(english().analysis_problem(a->problem));
  return {std::move(a), std::move(labels)};
}

template <typename T>
py::array_t<T> column(const std::vector<T>& values) {
  return py::array_t<T>(static_cast<py::ssize_t>(values.size()), values.data());
}

// The summary's columns but the recording: one entry per lead and beat.
py::dict marks_of(const Analysis& a, const std::vector<std::string>& labels) {
  const BeatTable t = marks_by_beat(a);
  std::vector<std::int32_t> lead, beat, at_marks, rt_marks;
  std::vector<double> beat_ms, at_ms, rt_ms, ari_ms, at_fine, rt_fine, at_quality, rt_quality;
  py::list at_flag, rt_flag, polarity, label;
  const auto known = [](bool present, double v) { return present && std::isfinite(v) ? v : kNaN; };
  for (int l = 1; l <= t.leads; ++l) {
    for (int k = 0; k <= t.beat_count(); ++k) {
      const BeatCell& c = t.cell(l, k);
      const bool at = c.at.count > 0, rt = c.rt.count > 0;
      lead.push_back(l);
      beat.push_back(k);
      beat_ms.push_back(k > 0 ? t.beats[static_cast<std::size_t>(k - 1)] : kNaN);
      at_ms.push_back(at ? c.at.earliest : kNaN);
      rt_ms.push_back(rt ? c.rt.earliest : kNaN);
      ari_ms.push_back(at && rt ? static_cast<double>(c.rt.earliest) - c.at.earliest : kNaN);
      at_marks.push_back(c.at.count);
      rt_marks.push_back(c.rt.count);
      at_fine.push_back(known(at, c.at.fine_ms));
      rt_fine.push_back(known(rt, c.rt.fine_ms));
      at_quality.push_back(known(at, c.at.quality));
      rt_quality.push_back(known(rt, c.rt.quality));
      at_flag.append(k > 0 ? cell_flag_name(t, l, c.at) : "");
      rt_flag.append(k > 0 ? cell_flag_name(t, l, c.rt) : "");
      polarity.append(rt ? t_polarity_name(c.rt.polarity) : "");
      label.append(text(static_cast<std::size_t>(l - 1) < labels.size() ? labels[static_cast<std::size_t>(l - 1)]
                                                                        : std::string()));
    }
  }
  py::dict d;
  d["lead"] = column(lead);
  d["beat"] = column(beat);
  d["beat_ms"] = column(beat_ms);
  d["at_ms"] = column(at_ms);
  d["rt_ms"] = column(rt_ms);
  d["ari_ms"] = column(ari_ms);
  d["at_marks"] = column(at_marks);
  d["rt_marks"] = column(rt_marks);
  d["at_fine_ms"] = column(at_fine);
  d["rt_fine_ms"] = column(rt_fine);
  d["at_quality"] = column(at_quality);
  d["rt_quality"] = column(rt_quality);
  // The flags and T waves as text, "" where there is none, as the summary writes them.
  const py::module_ numpy = py::module_::import("numpy");
  d["at_flag"] = numpy.attr("array")(at_flag, "dtype"_a = "str");
  d["rt_flag"] = numpy.attr("array")(rt_flag, "dtype"_a = "str");
  d["t_polarity"] = numpy.attr("array")(polarity, "dtype"_a = "str");
  d["label"] = numpy.attr("array")(label, "dtype"_a = "str");
  return d;
}

py::dict settings_of(const AnalysisSettings& s) {
  py::dict d;
  d["smooth"] = s.smooth_ms;
  d["estimator"] = std::string(estimator_name(s.estimator));
  d["rt_smooth"] = s.estimator == Estimator::legacy ? py::object(py::none()) : py::object(py::int_(s.rt_smooth()));
  d["ratio"] = static_cast<double>(s.amp_ratio);
  d["ranges"] = s.auto_ranges ? py::object(py::str("auto")) : py::object(py::make_tuple(s.at_from, s.at_to, s.rt_from, s.rt_to));
  d["beat_lead"] = s.beat_lead;
  const bool legacy = s.estimator == Estimator::legacy;
  d["rt_margin"] = legacy ? py::object(py::none()) : py::object(py::int_(s.rt_margin()));
  d["rt_window"] = s.rt_after_at ? py::object(py::make_tuple(s.rt_after_at->first, s.rt_after_at->second))
                                 : py::object(py::none());
  d["blank_before"] = s.blank_before_ms;
  d["blank_after"] = s.blank_after_ms;
  return d;
}

void write_results(const fs::path& path, const PyAnalysis& analysis) {
  const Analysis& a = *analysis.a;
  if (!fits_results_file(a)) {
    raise_value_error("a results file holds at most " + integer(kMaxLeads) + " leads and " + integer(kMaxRows) +
                      " rows; this analysis has " + integer(a.lead_count) + " leads and " +
                      integer(a.beat_count() + 1) + " rows");
  }
  std::string text;
  const FormatResult format = format_results(results_tables(a), a.lead_count, text);
  if (format.fault != FormatFault::none)
    raise_value_error("lead " + integer(format.lead) + " row " + integer(format.row) + " does not fit a results file");
  std::error_code error;
  {
    py::gil_scoped_release unlocked;
    error = replace_file_contents(path, text);
  }
  if (error) {
    const py::tuple arguments = py::make_tuple(error.value(), python::text(error.message()), path_object(path));
    PyErr_SetObject(PyExc_OSError, arguments.ptr());
    throw py::error_already_set();
  }
}

py::tuple read_results(const fs::path& path, int leads) {
  if (leads < 1 || leads > kMaxLeads)
    raise_value_error("leads must be 1 to " + integer(kMaxLeads));
  std::istringstream text(std::string(file_text(path, results_error, kLargestResultsFile).view()));
  auto loaded = std::make_unique<LoadedTables>();
  const ParseResult parsed = parse_results(text, leads, *loaded);
  if (parsed.fault != ParseFault::none) raise(results_error, quoted(path) + ": " + english().parse_fault(parsed));
  const auto of = [&](const Table<kMaxLeads, kMaxRows>& t, int rows) {
    return table<float>(rows, leads, [&](int k, int j) {
      return t[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)];
    });
  };
  return py::make_tuple(of(loaded->at_ms, loaded->at_count), of(loaded->rt_ms, loaded->rt_count));
}

// A layout given as {lead: (x_mm, y_mm)} or as an array of rows (x_mm, y_mm),
// row i for lead i + 1 (a row with NaN: no position), checked by the layout
// file's rules: its text is made and read as a layout file is.
ElectrodeLayout layout_of(const py::object& given) {
  std::vector<std::tuple<int, double, double>> rows;
  if (py::isinstance<py::dict>(given)) {
    for (const auto& [lead, xy] : given.cast<py::dict>()) {
      const auto position = xy.cast<std::vector<double>>();
      if (position.size() != 2) raise_value_error("each position must be (x_mm, y_mm)");
      rows.emplace_back(lead.cast<int>(), position[0], position[1]);
    }
  } else {
    const auto positions = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(given);
    if (!positions || positions.ndim() != 2 || positions.shape(1) != 2)
      raise_value_error("layout must be a dict {lead: (x_mm, y_mm)} or an array of rows (x_mm, y_mm)");
    const auto view = positions.unchecked<2>();
    for (py::ssize_t i = 0; i < positions.shape(0); ++i) {
      if (std::isnan(view(i, 0)) && std::isnan(view(i, 1))) continue;
      rows.emplace_back(static_cast<int>(i) + 1, view(i, 0), view(i, 1));
    }
  }
  std::string text = "lead,x_mm,y_mm\n";
  for (const auto& [lead, x, y] : rows) {
    if (lead < 1) raise_value_error("lead " + integer(lead) + ": leads count from 1");
    if (!std::isfinite(x) || !std::isfinite(y))
      raise_value_error("lead " + integer(lead) + ": its position is not finite");
    text += integer(lead) + "," + py::repr(py::float_(x)).cast<std::string>() + "," +
            py::repr(py::float_(y)).cast<std::string>() + "\n";
  }
  const LayoutReading reading = parse_layout_csv(text);
  if (reading.problem) {
    const int row = reading.problem.line - 2;
    const std::string which = row >= 0 && row < static_cast<int>(rows.size())
                                  ? "lead " + integer(std::get<0>(rows[static_cast<std::size_t>(row)])) + ": "
                                  : "";
    raise_value_error(which + english().layout_fault(reading.problem.fault));
  }
  return reading.layout;
}

// Columns of equal length as numpy arrays, as a DataFrame when pandas is importable.
py::object frame(const py::dict& columns) {
  try {
    return py::module_::import("pandas").attr("DataFrame")(columns);
  } catch (const py::error_already_set& e) {
    if (!e.matches(PyExc_ImportError)) throw;
    return columns;
  }
}

// One column of a member of every item.
template <typename Items, typename Member>
auto column_of(const Items& items, Member member) {
  using T = std::decay_t<decltype(items.front().*member)>;
  std::vector<T> values;
  for (const auto& item : items) values.push_back(item.*member);
  return column(values);
}

py::object text_column(const std::vector<std::string>& texts) {
  py::list list;
  for (const std::string& text : texts) list.append(text);
  return py::module_::import("numpy").attr("array")(list, "object");
}

py::dict cv_columns(const std::vector<CvVector>& cv) {
  std::vector<std::string> methods, flags;
  for (const CvVector& v : cv) {
    methods.emplace_back(cv_method_name(v.method));
    flags.emplace_back(cv_flag_name(v.flag));
  }
  py::dict columns;
  columns["beat"] = column_of(cv, &CvVector::beat);
  columns["beat_ms"] = column_of(cv, &CvVector::beat_ms);
  columns["lead"] = column_of(cv, &CvVector::lead);
  columns["method"] = text_column(methods);
  columns["speed_m_s"] = column_of(cv, &CvVector::speed_m_s);
  columns["direction_deg"] = column_of(cv, &CvVector::direction_deg);
  columns["neighbours"] = column_of(cv, &CvVector::neighbours);
  columns["flag"] = text_column(flags);
  return columns;
}

py::dict restitution_columns(const Restitution& r) {
  py::dict columns;
  columns["lead"] = column_of(r.points, &RestitutionPoint::lead);
  columns["beat"] = column_of(r.points, &RestitutionPoint::beat);
  columns["cl_ms"] = column_of(r.points, &RestitutionPoint::cl_ms);
  columns["di_ms"] = column_of(r.points, &RestitutionPoint::di_ms);
  columns["ari_ms"] = column_of(r.points, &RestitutionPoint::ari_ms);
  return columns;
}

py::dict slope_columns(const Restitution& r) {
  py::dict columns;
  columns["lead"] = column_of(r.slopes, &RestitutionSlope::lead);
  columns["points"] = column_of(r.slopes, &RestitutionSlope::points);
  columns["slope"] = column_of(r.slopes, &RestitutionSlope::slope);
  columns["intercept"] = column_of(r.slopes, &RestitutionSlope::intercept);
  columns["slope_low"] = column_of(r.slopes, &RestitutionSlope::slope_low);
  columns["slope_high"] = column_of(r.slopes, &RestitutionSlope::slope_high);
  return columns;
}

py::dict dispersion_columns(const std::vector<BeatDispersion>& spread) {
  py::dict columns;
  columns["beat"] = column_of(spread, &BeatDispersion::beat);
  columns["beat_ms"] = column_of(spread, &BeatDispersion::beat_ms);
  columns["at_first_ms"] = column_of(spread, &BeatDispersion::at_first_ms);
  columns["at_last_ms"] = column_of(spread, &BeatDispersion::at_last_ms);
  columns["total_activation_ms"] = column_of(spread, &BeatDispersion::total_activation_ms);
  columns["rt_sd_ms"] = column_of(spread, &BeatDispersion::rt_sd_ms);
  columns["rt_range_ms"] = column_of(spread, &BeatDispersion::rt_range_ms);
  columns["rt_iqr_ms"] = column_of(spread, &BeatDispersion::rt_iqr_ms);
  columns["ari_sd_ms"] = column_of(spread, &BeatDispersion::ari_sd_ms);
  columns["ari_range_ms"] = column_of(spread, &BeatDispersion::ari_range_ms);
  columns["ari_iqr_ms"] = column_of(spread, &BeatDispersion::ari_iqr_ms);
  columns["leads"] = column_of(spread, &BeatDispersion::leads);
  return columns;
}

py::dict maps_of(const Analysis& a, const py::object& layout_given, std::optional<double> radius_mm) {
  const ElectrodeLayout layout = layout_of(layout_given);
  CvSettings settings;
  if (radius_mm) {
    if (!(*radius_mm > 0.0) || !std::isfinite(*radius_mm)) raise_value_error("radius_mm must be positive");
    settings.radius_mm = *radius_mm;
  }
  std::vector<CvVector> cv;
  Restitution restitution_points;
  std::vector<BeatDispersion> spread;
  LeftOut left;
  {
    py::gil_scoped_release unlocked;
    const BeatTable marks = marks_by_beat(a);
    left = left_out(marks);
    cv = all_velocities(marks, layout, settings);
    restitution_points = restitution(marks);
    spread = dispersion(marks);
  }
  py::dict maps;
  maps["left_out"] = py::dict("dead_lead"_a = left.dead_lead, "flagged"_a = left.flagged);
  maps["cv"] = frame(cv_columns(cv));
  maps["restitution"] = frame(restitution_columns(restitution_points));
  maps["restitution_slopes"] = frame(slope_columns(restitution_points));
  maps["dispersion"] = frame(dispersion_columns(spread));
  return maps;
}

}  // namespace
}  // namespace telmor::python

PYBIND11_MODULE(_core, m) {
  using namespace telmor;
  using namespace telmor::python;
  m.doc() = "TELMOR's analysis of multi-lead recordings: beats, AT and RT of every beat and lead.";
  m.attr("__version__") = kTelmorVersion;
  recording_error = py::exception<std::runtime_error>(m, "RecordingError", PyExc_ValueError);
  results_error = py::exception<std::runtime_error>(m, "ResultsError", PyExc_Exception);

  m.def("_read_recording", &read_any, py::arg("path"), py::arg("leads"), py::arg("seconds"), py::arg("dataset"),
        py::arg("rate"), py::arg("orientation"),
        "A recording file as (data, fs, labels, units, source), read as telmor-batch reads it.");
  m.def("analyse", &analyse_wave, py::arg("wave"), py::kw_only(), py::arg("fs") = py::none(),
        py::arg("smooth") = 7, py::arg("ratio") = 0.1,
        py::arg("ranges") = py::make_tuple(-80, 80, 100, 200), py::arg("beat_lead") = 1,
        py::arg("estimator") = "centred", py::arg("rt_smooth") = py::none(), py::arg("rt_margin") = py::none(),
        py::arg("rt_window") = py::none(), py::arg("blank_before") = kDefaultBlankBeforeMs,
        py::arg("blank_after") = kDefaultBlankAfterMs, py::arg("derivative") = false,
        "The analysis of a recording as telmor-batch makes it: a telmor.Recording (at its own rate)\n"
        "or an array of samples × leads at fs Hz (default 1000).");
  m.def("write_results", &write_results, py::arg("path"), py::arg("analysis"),
        "Writes the results file as s saves it (at most 20 leads and 200 rows).");
  m.def("read_results", &read_results, py::arg("path"), py::arg("leads"),
        "Reads a results file as o loads it: (at, rt), each rows × leads. A missing file raises\n"
        "FileNotFoundError, a folder IsADirectoryError, an unreadable one PermissionError; a FIFO,\n"
        "a device or a damaged file ResultsError.");

  // The rules the saves of the desktop and telmor-batch follow, for the
  // module's own saves: their temporaries and the guard of a CSV text field.
  m.def("_temporary_name", [](const fs::path& target) { return path_object(temporary_name(target)); });
  m.def("_is_temporary_of", &is_temporary_of);
  m.def("_remove_stale_temporaries", [](const fs::path& target) {
    py::list left;
    for (const LeftTemporary& t : remove_stale_temporaries(target, system_files()))
      left.append(py::make_tuple(path_object(t.path), text(t.error.message())));
    return left;
  });
  m.def("_guarded_csv_text", [](const std::string& name) { return text(guarded_csv_text(name)); });

  py::class_<PyAnalysis>(m, "Analysis")
      .def_property_readonly("beats", [](const PyAnalysis& p) { return column(p.a->beats_ms); })
      .def_property_readonly("at", [](const PyAnalysis& p) {
        return table<double>(p.a->beat_count(), p.a->lead_count,
                             [&](int k, int j) { return p.a->at_time(k + 1, j + 1); });
      })
      .def_property_readonly("rt", [](const PyAnalysis& p) {
        return table<double>(p.a->beat_count(), p.a->lead_count,
                             [&](int k, int j) { return p.a->rt_time(k + 1, j + 1); });
      })
      .def_property_readonly("marks", [](const PyAnalysis& p) { return marks_of(*p.a, p.labels); })
      .def("summary", [](const PyAnalysis& p) { return frame(marks_of(*p.a, p.labels)); },
           "The marks as a pandas DataFrame when pandas is importable, else as the dict.")
      .def("maps", [](const PyAnalysis& p, const py::object& layout, std::optional<double> radius_mm) {
             return maps_of(*p.a, layout, radius_mm);
           }, py::arg("layout"), py::kw_only(), py::arg("radius_mm") = py::none(),
           "Conduction velocity (both methods), restitution and dispersion of the marks, with the\n"
           "electrodes at layout: {lead: (x_mm, y_mm)} or an array of rows (x_mm, y_mm), row i for\n"
           "lead i + 1. A dict of tables: cv, restitution, restitution_slopes, dispersion.")
      .def_property_readonly("derivative", [](const PyAnalysis& p) -> py::object {
        const Analysis& a = *p.a;
        if (a.derivative.empty()) return py::none();
        return table<float>(a.sample_count, a.lead_count, [&](int i, int j) {
          return a.derivative[static_cast<std::size_t>(j) * static_cast<std::size_t>(a.sample_count) +
                              static_cast<std::size_t>(i)];
        });
      })
      .def_property_readonly("settings", [](const PyAnalysis& p) { return settings_of(p.a->settings); })
      .def_property_readonly("fs", [](const PyAnalysis& p) { return p.a->rate_hz; })
      .def_property_readonly("labels", [](const PyAnalysis& p) { return texts(p.labels); },
                             "Each lead's channel label from the recording's file (\"\" where it names none).")
      .def_property_readonly("ranges", [](const PyAnalysis& p) {
        return py::make_tuple(p.a->at_from, p.a->at_to, p.a->rt_from, p.a->rt_to);
      }, "The ranges searched (ms from a beat): the given ones or, with ranges=\"auto\", those suggested.")
      .def_property_readonly("ranges_suggested", [](const PyAnalysis& p) { return p.a->ranges_suggested; })
      .def_property_readonly("dead_leads", [](const PyAnalysis& p) {
        std::vector<std::int32_t> dead;
        for (std::size_t j = 0; j < p.a->dead_lead.size(); ++j) {
          if (p.a->dead_lead[j]) dead.push_back(static_cast<std::int32_t>(j) + 1);
        }
        return column(dead);
      }, "The leads with no signal to mark (from 1): left out of the maps.")
      .def_property_readonly("range_warnings", [](const PyAnalysis& p) {
        py::list warnings;
        for (const RangeWarning& w : p.a->range_warnings) {
          warnings.append(py::dict("lead"_a = w.lead, "kind"_a = w.at ? "AT" : "RT", "at_edge_or_weak"_a = w.edges,
                                   "searched"_a = w.searched,
                                   "message"_a = text(english().range_warning({w.lead}, w.at))));
        }
        return warnings;
      }, "Leads whose marks of a kind crowd their windows' ends or are weak.")
      .def_property_readonly("fit_messages", [](const PyAnalysis& p) {
        py::dict d;
        d["parameter_errors"] = p.a->fit_messages.parameter_errors;
        d["x_warnings"] = p.a->fit_messages.x_warnings;
        d["y_warnings"] = p.a->fit_messages.y_warnings;
        d["not_positive_definite"] = p.a->fit_messages.not_positive_definite;
        return d;
      })
      .def("__repr__", [](const PyAnalysis& p) {
        return "<telmor.Analysis: " + integer(p.a->lead_count) + " leads, " + integer(p.a->sample_count) +
               " samples, " + integer(static_cast<std::int64_t>(p.a->beats_ms.size())) + " beats>";
      });
}
