// The results file from Python.
#include "results_io.h"

#include <pybind11/numpy.h>

#include <memory>
#include <sstream>
#include <string>
#include <system_error>

#include "file_text.h"
#include "files/file_replace.h"
#include "module_errors.h"
#include "module_words.h"
#include "numpy_columns.h"
#include "python_text.h"
#include "results/analysis_tables.h"
#include "results/results_format.h"
#include "results/results_parse.h"
#include "words/words.h"

namespace telmor::python {
namespace {

namespace fs = std::filesystem;

// A results file of 20 leads and 200 rows is some 73 kB: anything far beyond
// that is no results file.
constexpr std::uintmax_t kLargestResultsFile = std::uintmax_t{1} << 20;

}  // namespace

void write_results(const fs::path& path, const PyAnalysis& analysis) {
  const Analysis& a = *analysis.a;
  if (!fits_results_file(a)) {
    fail_value(says::beyond_results_file(kMaxLeads, kMaxRows, a.lead_count, a.beat_count() + 1));
  }
  std::string text;
  const FormatResult format = format_results(results_tables(a), a.lead_count, text);
  if (format.fault != FormatFault::none)
    fail_value(says::unformattable(format.lead, format.row));
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
    fail_value(says::keyword_outside("leads", kMaxLeads));
  std::istringstream text(std::string(file_text(path, ErrorKind::results, kLargestResultsFile).view()));
  auto loaded = std::make_unique<LoadedTables>();
  const ParseResult parsed = parse_results(text, leads, *loaded);
  if (parsed.fault != ParseFault::none) fail(ErrorKind::results, quoted(path) + ": " + english().parse_fault(parsed));
  const auto of = [&](const Table<kMaxLeads, kMaxRows>& t, int rows) {
    return table<float>(rows, leads, [&](int k, int j) {
      return t[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)];
    });
  };
  return py::make_tuple(of(loaded->at_ms, loaded->at_count), of(loaded->rt_ms, loaded->rt_count));
}

}  // namespace telmor::python
