// CSV and TSV recordings with a header row of channel names.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "readers/recording_formats.h"
#include "readers/recording_shape.h"

namespace telmor {
namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '"')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '"')) s.remove_suffix(1);
  return s;
}

// The lines of text, each without its line end; blank ones left out with
// their numbers kept (rows are named by their line in the file).
struct Line {
  std::string_view text;
  int number = 0;
};

std::vector<Line> lines_of(std::string_view text) {
  if (text.starts_with("\xef\xbb\xbf")) text.remove_prefix(3);
  std::vector<Line> lines;
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    if (!trimmed(line).empty()) lines.push_back({line, number});
  }
  return lines;
}

std::vector<std::string_view> fields_of(std::string_view line, char separator) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t at = line.find(separator);
    fields.push_back(trimmed(line.substr(0, at)));
    if (at == std::string_view::npos) return fields;
    line.remove_prefix(at + 1);
  }
}

bool number_of(std::string_view field, double& value) {
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return error == std::errc() && end == field.data() + field.size() && std::isfinite(value);
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return out;
}

// The unit of a time column's name: seconds, ms, or none named (0, 1000, -1);
// nullopt when the name is no time's.
std::optional<double> time_unit_ms(std::string_view name) {
  const std::string n = lower(name);
  for (const char* ms : {"time_ms", "time (ms)", "time[ms]", "time [ms]", "t_ms", "t (ms)", "ms"})
    if (n == ms) return 1.0;
  for (const char* s : {"time_s", "time (s)", "time[s]", "time [s]", "t_s", "t (s)", "seconds", "sec", "s"})
    if (n == s) return 1000.0;
  if (n == "time" || n == "t") return -1.0;
  return std::nullopt;
}

// "V1 (mV)": label V1, unit mV.
void label_and_unit(std::string_view name, std::string& label, std::string& unit) {
  const std::size_t open = name.rfind(" (");
  if (open != std::string_view::npos && name.ends_with(")")) {
    label = std::string(trimmed(name.substr(0, open)));
    unit = std::string(name.substr(open + 2, name.size() - open - 3));
    return;
  }
  label = std::string(name);
  unit.clear();
}

// A header written behind a comment mark, as numpy's savetxt writes it
// ("# time_s,V1"): the names after the mark.
std::string_view header_text(std::string_view line) {
  const std::string_view t = trimmed(line);
  if (!t.starts_with('#')) return line;
  std::string_view names = t.substr(1);
  while (!names.empty() && names.front() == ' ') names.remove_prefix(1);
  return names;
}

// Whether the first column is the index pandas writes before the columns
// (DataFrame.to_csv): no name (or the "Unnamed: 0" that reading such a file
// back gives it) and the rows numbered 0, 1, 2 … in it.
bool is_index_column(const std::vector<Line>& lines, const std::vector<std::string_view>& header, char separator) {
  if (header.size() < 2 || !(header.front().empty() || header.front() == "Unnamed: 0")) return false;
  for (std::size_t r = 1; r < lines.size(); ++r) {
    const std::string_view field = trimmed(lines[r].text.substr(0, lines[r].text.find(separator)));
    std::size_t number = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
    if (error != std::errc() || end != field.data() + field.size() || number != r - 1) return false;
  }
  return true;
}

}  // namespace

RecordingProblem read_csv_recording(std::string_view text, const ReadOptions& options, Recording& recording) {
  const std::vector<Line> lines = lines_of(text);
  if (lines.empty()) return {RecordingFault::no_rows};
  const std::string_view header_line = header_text(lines.front().text);
  const char separator = header_line.find('\t') != std::string_view::npos ? '\t' : ',';
  std::vector<std::string_view> header = fields_of(header_line, separator);
  double probe = 0.0;
  if (std::all_of(header.begin(), header.end(), [&](std::string_view f) { return number_of(f, probe); }))
    return {RecordingFault::csv_header, 0, 1};
  // The columns before the leads: an index, then a time.
  const std::size_t index = is_index_column(lines, header, separator) ? 1 : 0;
  const std::optional<double> unit = time_unit_ms(header[index]);
  const bool has_time = unit.has_value();
  if (has_time && *unit < 0.0 && !options.rate_hz) {
    RecordingProblem p{RecordingFault::csv_header, 0, 2};
    p.detail = std::string(header[index]);
    return p;
  }
  const std::size_t first_lead = index + (has_time ? 1 : 0);
  const auto leads = static_cast<int>(header.size() - first_lead);
  if (leads < 1) return {RecordingFault::csv_header, 0, 3};
  if (leads > kMaxRecordingLeads) return {RecordingFault::first_line_values, 0, leads};
  const std::size_t rows = lines.size() - 1;
  if (rows == 0) return {RecordingFault::no_rows};

  std::vector<float> by_row;
  std::vector<double> times;
  by_row.reserve(rows * static_cast<std::size_t>(leads));
  for (std::size_t r = 1; r < lines.size(); ++r) {
    const std::vector<std::string_view> fields = fields_of(lines[r].text, separator);
    if (fields.size() != header.size()) return {RecordingFault::field_count, lines[r].number};
    for (std::size_t f = 0; f < fields.size(); ++f) {
      double v = 0.0;
      if (!number_of(fields[f], v)) return {RecordingFault::not_a_number, lines[r].number};
      if (f < index) continue;
      if (f < first_lead) {
        times.push_back(v);
        continue;
      }
      if (std::fabs(v) > 3.4028234663852886e38) return {RecordingFault::value_beyond_float, lines[r].number};
      by_row.push_back(static_cast<float>(v));
    }
  }
  double rate = options.rate_hz.value_or(0.0);
  if (!options.rate_hz) {
    if (!has_time) return {RecordingFault::rate_missing};
    if (times.size() < 2) return {RecordingFault::rate_missing};
    // Every step as the first within a quarter; the rate from them all.
    const double first = times[1] - times[0];
    for (std::size_t i = 1; i < times.size(); ++i) {
      if (!(std::fabs((times[i] - times[i - 1]) - first) <= 0.25 * std::fabs(first)))
        return {RecordingFault::irregular_time, lines[i + 1].number};
    }
    const double step = (times.back() - times.front()) / static_cast<double>(times.size() - 1);
    rate = std::round(1000.0 / (step * *unit) * 1000.0) / 1000.0;  // to the mHz: printed times round
    if (!(rate > 0.0) || !std::isfinite(rate)) {
      RecordingProblem p{RecordingFault::rate_invalid};
      p.detail = std::to_string(rate);
      return p;
    }
  }
  recording = Recording(leads, static_cast<int>(rows));
  recording.rate_hz = rate;
  for (std::size_t r = 0; r < rows; ++r) {
    for (int j = 0; j < leads; ++j)
      recording.value(j + 1, static_cast<int>(r) + 1) = by_row[r * static_cast<std::size_t>(leads) + static_cast<std::size_t>(j)];
  }
  recording.labels.resize(static_cast<std::size_t>(leads));
  recording.units.resize(static_cast<std::size_t>(leads));
  for (int j = 0; j < leads; ++j) {
    label_and_unit(header[first_lead + static_cast<std::size_t>(j)], recording.labels[static_cast<std::size_t>(j)],
                   recording.units[static_cast<std::size_t>(j)]);
  }
  return {};
}

}  // namespace telmor
