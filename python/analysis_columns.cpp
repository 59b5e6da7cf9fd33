// An analysis's marks and settings as Python holds them.
#include "analysis_columns.h"

#include <cmath>
#include <limits>

#include "numpy_columns.h"
#include "python_text.h"
#include "tables/summary_csv.h"
#include "timing/beat_table.h"

namespace telmor::python {
namespace {

using namespace pybind11::literals;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

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

}  // namespace telmor::python
