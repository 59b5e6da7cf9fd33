// The Python module telmor: TELMOR's analysis of recordings of any size on
// numpy arrays (samples × leads), and its results files. Its bindings; each
// concern has its own file: recordings from Python (recording_input),
// analyse's settings (analysis_input), marks as columns (analysis_columns),
// results files (results_io), the maps' tables (maps_tables), the module's
// refusals (module_errors, module_words).
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <optional>
#include <string>

#include "analysis_columns.h"
#include "analysis_input.h"
#include "base/csv_text.h"
#include "files/temporary_files.h"
#include "maps_tables.h"
#include "module_errors.h"
#include "module_words.h"
#include "numpy_columns.h"
#include "py_analysis.h"
#include "python_text.h"
#include "recording_input.h"
#include "results_io.h"
#include "telmor_version.h"
#include "timing/analysis.h"
#include "words/words.h"

namespace py = pybind11;
using namespace pybind11::literals;

PYBIND11_MODULE(_core, m) {
  using namespace telmor;
  using namespace telmor::python;
  namespace fs = std::filesystem;
  m.doc() = "TELMOR's analysis of multi-lead recordings: beats, AT and RT of every beat and lead.";
  m.attr("__version__") = kTelmorVersion;
  register_module_errors(m);

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
          warnings.append(py::dict("lead"_a = w.lead, "kind"_a = mark_kind_name(w.kind), "at_edge_or_weak"_a = w.edges,
                                   "searched"_a = w.searched,
                                   "message"_a = text(english().range_warning({w.lead}, w.kind))));
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
        return says::analysis_repr(p.a->lead_count, p.a->sample_count,
                                   static_cast<std::int64_t>(p.a->beats_ms.size()));
      });
}
