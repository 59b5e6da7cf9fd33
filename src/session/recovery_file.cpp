// The recovery file's text, its reading, and the offer made at start-up.
#include "session/recovery_file.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "base/number_text.h"
#include "results/results_format.h"
#include "results/results_parse.h"

namespace telmor {
namespace {

constexpr std::string_view kMarker = "# TELMOR recovery";

void add_line(std::string& text, std::string_view name, const std::string& value) {
  text += name;
  text += '=';
  text += value;
  text += "\r\n";
}

// The next line of text from at, without its line end; false at the end.
bool next_line(std::string_view text, std::size_t& at, std::string_view& line) {
  if (at >= text.size()) return false;
  std::size_t end = text.find('\n', at);
  if (end == std::string_view::npos) end = text.size();
  line = text.substr(at, end - at);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  at = end + 1;
  return true;
}

bool parse_pair(std::string_view value, std::int32_t& from, std::int32_t& to) {
  const std::size_t comma = value.find(',');
  return comma != std::string_view::npos && parse_integer(value.substr(0, comma), from) &&
         parse_integer(value.substr(comma + 1), to);
}

// The tables of a read into marks, rows beyond the counts empty.
void fill_marks(const LoadedTables& loaded, int lead_count, MarkTables& marks) {
  marks = MarkTables{};
  const auto source = [](float time) { return time != 0.0f ? MarkSource::loaded : MarkSource::none; };
  for (std::size_t l = 0; l < static_cast<std::size_t>(lead_count); ++l) {
    for (std::size_t r = 0; r < static_cast<std::size_t>(loaded.at_count); ++r) {
      marks.at_ms_table[l][r] = loaded.at_ms[l][r];
      marks.at_source_table[l][r] = source(loaded.at_ms[l][r]);
    }
    for (std::size_t r = 0; r < static_cast<std::size_t>(loaded.rt_count); ++r) {
      marks.rt_ms_table[l][r] = loaded.rt_ms[l][r];
      marks.rt_source_table[l][r] = source(loaded.rt_ms[l][r]);
    }
  }
  marks.at_beat_count = loaded.at_count;
  marks.rt_beat_count = loaded.rt_count;
}

bool read_whole(const std::filesystem::path& file, std::string& text) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

std::filesystem::path recovery_path(const std::filesystem::path& results_file) {
  std::filesystem::path file = results_file;
  file += ".recover";
  return file;
}

std::string recovery_text(const ResultsSnapshot& tables) {
  std::string text;
  if (format_results(tables.marks, tables.lead_count, text).fault != FormatFault::none) return {};
  text += kMarker;
  text += "\r\n";
  add_line(text, "lead_count", format_integer(tables.lead_count));
  add_line(text, "amp_ratio", format_real(tables.amp_ratio));
  add_line(text, "smooth_points", format_integer(tables.smooth_points));
  add_line(text, "at_range", format_integer(tables.at_from) + "," + format_integer(tables.at_to));
  add_line(text, "rt_range", format_integer(tables.rt_from) + "," + format_integer(tables.rt_to));
  return text;
}

std::optional<Recovered> parse_recovery(std::string_view text) {
  // The settings first: the results part is read for their lead count.
  std::size_t marker = std::string_view::npos;
  for (std::size_t at = 0, start = 0; ; start = at) {
    std::string_view line;
    if (!next_line(text, at, line)) break;
    if (line == kMarker) {
      marker = start;
      break;
    }
  }
  if (marker == std::string_view::npos) return std::nullopt;
  Recovered run;
  int settings = 0;
  std::size_t at = text.find('\n', marker) + 1;
  for (std::string_view line; next_line(text, at, line);) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view name = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    bool read = false;
    if (name == "lead_count") read = parse_integer(value, run.lead_count);
    if (name == "amp_ratio") read = parse_real(value, run.amp_ratio);
    if (name == "smooth_points") read = parse_integer(value, run.smooth_points);
    if (name == "at_range") read = parse_pair(value, run.tables.at_from, run.tables.at_to);
    if (name == "rt_range") read = parse_pair(value, run.tables.rt_from, run.tables.rt_to);
    if (!read) return std::nullopt;
    ++settings;
  }
  if (settings != 5 || run.lead_count < 1 || run.lead_count > kMaxLeads) return std::nullopt;
  std::istringstream results{std::string(text.substr(0, marker))};
  auto loaded = std::make_unique<LoadedTables>();
  if (parse_results(results, run.lead_count, *loaded).fault != ParseFault::none) return std::nullopt;
  fill_marks(*loaded, run.lead_count, run.tables.marks);
  return run;
}

int differing_marks(const MarkTables& a, const MarkTables& b, int lead_count) {
  int count = 0;
  for (std::size_t l = 0; l < static_cast<std::size_t>(lead_count); ++l) {
    for (std::size_t r = 0; r < static_cast<std::size_t>(kMaxRows); ++r) {
      if (a.at_ms_table[l][r] != b.at_ms_table[l][r]) ++count;
      if (a.rt_ms_table[l][r] != b.rt_ms_table[l][r]) ++count;
    }
  }
  return count;
}

std::optional<RecoveryOffer> find_recovery(const std::filesystem::path& results_file) {
  RecoveryOffer offer;
  offer.file = recovery_path(results_file);
  std::error_code error;
  const auto written = std::filesystem::last_write_time(offer.file, error);
  if (error) return std::nullopt;
  const auto saved = std::filesystem::last_write_time(results_file, error);
  const bool results_exist = !error;
  if (results_exist && written <= saved) return std::nullopt;
  std::string text;
  if (!read_whole(offer.file, text)) return std::nullopt;
  std::optional<Recovered> recovered = parse_recovery(text);
  if (!recovered) return std::nullopt;
  offer.recovered = std::move(*recovered);
  offer.written = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
      std::chrono::file_clock::to_sys(written));
  // Against the results file as it stands (an empty table without one).
  MarkTables in_file;
  std::ifstream saved_text(results_file, std::ios::binary);
  auto loaded = std::make_unique<LoadedTables>();
  if (results_exist && saved_text &&
      parse_results(saved_text, offer.recovered.lead_count, *loaded).fault == ParseFault::none) {
    fill_marks(*loaded, offer.recovered.lead_count, in_file);
  }
  offer.differing_marks = differing_marks(offer.recovered.tables.marks, in_file, offer.recovered.lead_count);
  return offer;
}

}  // namespace telmor
