// Analysis.maps.
#include "maps_tables.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "base/number_text.h"
#include "module_errors.h"
#include "module_words.h"
#include "numpy_columns.h"
#include "readers/layout_file.h"
#include "timing/beat_table.h"
#include "tissue/beat_maps.h"
#include "tissue/conduction_velocity.h"
#include "tissue/dispersion.h"
#include "tissue/restitution.h"
#include "words/words.h"

namespace telmor::python {
namespace {

using namespace pybind11::literals;

// A layout given as {lead: (x_mm, y_mm)} or as an array of rows (x_mm, y_mm),
// row i for lead i + 1 (a row with NaN: no position), checked by the layout
// file's rules: its text is made and read as a layout file is.
ElectrodeLayout layout_of(const py::object& given) {
  std::vector<std::tuple<int, double, double>> rows;
  if (py::isinstance<py::dict>(given)) {
    for (const auto& [lead, xy] : given.cast<py::dict>()) {
      const auto position = xy.cast<std::vector<double>>();
      if (position.size() != 2) fail_value(says::position_not_pair());
      rows.emplace_back(lead.cast<int>(), position[0], position[1]);
    }
  } else {
    const auto positions = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(given);
    if (!positions || positions.ndim() != 2 || positions.shape(1) != 2)
      fail_value(says::layout_not_understood());
    const auto view = positions.unchecked<2>();
    for (py::ssize_t i = 0; i < positions.shape(0); ++i) {
      if (std::isnan(view(i, 0)) && std::isnan(view(i, 1))) continue;
      rows.emplace_back(static_cast<int>(i) + 1, view(i, 0), view(i, 1));
    }
  }
  std::string text = "lead,x_mm,y_mm\n";
  for (const auto& [lead, x, y] : rows) {
    if (lead < 1) fail_value(says::lead_below_one(lead));
    if (!std::isfinite(x) || !std::isfinite(y))
      fail_value(says::position_not_finite(lead));
    text += format_integer(lead) + "," + py::repr(py::float_(x)).cast<std::string>() + "," +
            py::repr(py::float_(y)).cast<std::string>() + "\n";
  }
  const LayoutReading reading = parse_layout_csv(text);
  if (reading.problem) {
    const int row = reading.problem.line - 2;
    const std::string which = row >= 0 && row < static_cast<int>(rows.size())
                                  ? "lead " + format_integer(std::get<0>(rows[static_cast<std::size_t>(row)])) + ": "
                                  : "";
    fail_value(which + english().layout_fault(reading.problem.fault));
  }
  return reading.layout;
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

}  // namespace

py::dict maps_of(const Analysis& a, const py::object& layout_given, std::optional<double> radius_mm) {
  const ElectrodeLayout layout = layout_of(layout_given);
  CvSettings settings;
  if (radius_mm) {
    if (!(*radius_mm > 0.0) || !std::isfinite(*radius_mm)) fail_value(says::radius_not_positive());
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

}  // namespace telmor::python
