// telmor.analyse.
#include "analysis_input.h"

#include <pybind11/stl.h>

#include <cmath>
#include <vector>

#include "module_errors.h"
#include "module_words.h"
#include "recording_input.h"
#include "timing/analysis.h"
#include "words/words.h"

namespace telmor::python {
namespace {

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
    if (name != "auto") fail_value(says::ranges_name_unknown(name));
    settings.auto_ranges = true;
    return;
  }
  const auto bounds = ranges.cast<std::vector<int>>();
  if (bounds.size() != 4)
    fail_value(says::ranges_not_four());
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
    fail_value(says::ratio_outside(ratio));
  AnalysisSettings settings;
  settings.smooth_ms = smooth;
  settings.amp_ratio = static_cast<float>(ratio);
  take_ranges(ranges, settings);
  settings.beat_lead = beat_lead;
  const std::optional<Estimator> named = estimator_named(estimator);
  if (!named) fail_value(says::estimator_unknown(estimator));
  settings.estimator = *named;
  settings.rt_smooth_ms = search.rt_smooth;
  settings.rt_margin_ms = search.rt_margin;
  settings.rt_after_at = search.rt_window;
  settings.blank_before_ms = search.blank_before;
  settings.blank_after_ms = search.blank_after;
  if (const AnalysisProblem problem = check_settings(settings, leads, fs))
    fail_value(english().analysis_problem(problem));
  return settings;
}

}  // namespace

PyAnalysis analyse_wave(const py::object& wave, std::optional<double> fs, int smooth, double ratio,
                        const py::object& ranges, int beat_lead, const std::string& estimator,
                        std::optional<int> rt_smooth, std::optional<int> rt_margin,
                        std::optional<std::pair<int, int>> rt_window, int blank_before, int blank_after,
                        bool derivative) {
  std::vector<std::string> labels;
  Recording recording = recording_given(wave, fs, labels);
  if (!(recording.rate_hz > 0.0 && std::isfinite(recording.rate_hz)))
    fail_value(says::rate_not_positive("fs", recording.rate_hz));
  const SearchOptions search{rt_smooth, rt_margin, rt_window, blank_before, blank_after};
  const AnalysisSettings settings =
      checked_settings(smooth, ratio, ranges, beat_lead, estimator, search, recording.lead_count, recording.rate_hz);
  auto a = std::make_shared<Analysis>();
  {
    py::gil_scoped_release unlocked;
    *a = analyse(std::move(recording), settings, {.keep_derivative = derivative, .threads = 0});
  }
  if (a->problem.fault == AnalysisFault::no_amplitude)
    fail(ErrorKind::recording, english().analysis_problem(a->problem));
  if (a->problem) fail_value(english().analysis_problem(a->problem));
  return {std::move(a), std::move(labels)};
}

}  // namespace telmor::python
