// The Python module's own messages.
#include "module_words.h"

#include "base/number_text.h"

namespace telmor::python::says {
namespace {

std::string n(std::int64_t value) { return format_integer(value); }
std::string s(std::string_view text) { return std::string(text); }

}  // namespace

std::string keyword_outside(std::string_view keyword, std::int64_t most) {
  return s(keyword) + " must be 1 to " + n(most);
}
std::string rate_not_positive(std::string_view keyword, double given) {
  return s(keyword) + " must be a positive number of Hz, not " + format_double(given);
}
std::string orientation_unknown(std::string_view given) {
  return "orientation must be \"samples-by-leads\" or \"leads-by-samples\", not \"" + s(given) + "\"";
}
std::string_view give_the_shape() { return ". Give the shape with leads= and seconds=."; }
std::string ranges_name_unknown(std::string_view given) {
  return "ranges must be \"auto\" or four whole ms, not \"" + s(given) + "\"";
}
std::string ranges_not_four() { return "ranges must be four whole ms: AT from, AT to, RT from, RT to (or \"auto\")"; }
std::string ratio_outside(double given) { return "the amplitude ratio must be 0.0 to 1.0, not " + format_double(given); }
std::string estimator_unknown(std::string_view given) {
  return "estimator must be \"centred\" or \"legacy\", not \"" + s(given) + "\"";
}

std::string wave_not_real(std::string_view dtype) { return "wave must hold real numbers, not " + s(dtype); }
std::string wave_not_2d(std::int64_t dimensions) {
  return "wave must be 2-D (samples × leads), not " + n(dimensions) + "-D";
}
std::string wave_without_samples() { return "wave must hold at least one sample"; }
std::string wave_without_leads() { return "wave must hold at least one lead"; }
std::string wave_too_large() { return "wave holds more samples than a recording can count"; }
std::string wave_not_finite(std::int64_t sample, std::int64_t lead) {
  return "wave[" + n(sample) + ", " + n(lead) + "] is not finite as a 32-bit real (sample " + n(sample + 1) +
         " of lead " + n(lead + 1) + ")";
}
std::string rate_differs(double given, double own) {
  return "fs=" + format_double(given) + " differs from the recording's own rate, " + format_double(own) +
         " Hz: leave fs out, or give the data (recording.data) instead";
}

std::string beyond_results_file(int most_leads, int most_rows, int leads, int rows) {
  return "a results file holds at most " + n(most_leads) + " leads and " + n(most_rows) + " rows; this analysis has " +
         n(leads) + " leads and " + n(rows) + " rows";
}
std::string unformattable(int lead, int row) {
  return "lead " + n(lead) + " row " + n(row) + " does not fit a results file";
}

std::string position_not_pair() { return "each position must be (x_mm, y_mm)"; }
std::string layout_not_understood() {
  return "layout must be a dict {lead: (x_mm, y_mm)} or an array of rows (x_mm, y_mm)";
}
std::string lead_below_one(int lead) { return "lead " + n(lead) + ": leads count from 1"; }
std::string position_not_finite(int lead) { return "lead " + n(lead) + ": its position is not finite"; }
std::string radius_not_positive() { return "radius_mm must be positive"; }

std::string not_regular_file(std::string_view kind, std::string_view quoted_path) {
  return "not a regular file (" + s(kind) + "): " + s(quoted_path);
}
std::string file_beyond_bytes(std::string_view quoted_path, std::uintmax_t most) {
  return s(quoted_path) + " holds more than " + n(static_cast<std::int64_t>(most)) + " bytes: it is not read";
}
std::string file_beyond_memory(std::string_view quoted_path) { return s(quoted_path) + " is too large for memory"; }

std::string analysis_repr(int leads, int samples, std::int64_t beats) {
  return "<telmor.Analysis: " + n(leads) + " leads, " + n(samples) + " samples, " + n(beats) + " beats>";
}

}  // namespace telmor::python::says
