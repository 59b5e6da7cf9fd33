// The recovery file's text, its reading, and the offer made at start-up.
#include "session/recovery_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <system_error>

#include "base/number_text.h"
#include "results/results_format.h"
#include "results/results_parse.h"
#include "timing/analysis_settings.h"

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

// The whole of a recovery file: only a regular file (a FIFO would make the
// read wait for a writer, a device never end), and no more than a recovery
// file holds.
bool read_recovery_file(const std::filesystem::path& file, std::string& text) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return false;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error || size > kMaxRecoveryBytes) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  text.resize(static_cast<std::size_t>(size));
  in.read(text.data(), static_cast<std::streamsize>(size));
  text.resize(static_cast<std::size_t>(in.gcount()));
  // A file that grew meanwhile is read up to its size then.
  return !in.bad();
}

// The settings as the dialogue and d can make them.
bool settings_in_bounds(const Recovered& run) {
  const auto bound = [](std::int32_t ms) { return ms >= kLowestRangeBound && ms <= kHighestRangeBound; };
  return run.lead_count >= 1 && run.lead_count <= kMaxLeads && run.smooth_points >= kLeastDialogueSmoothing &&
         run.smooth_points <= kMostDialogueSmoothing && run.amp_ratio >= 0.0f && run.amp_ratio <= 1.0f &&
         bound(run.tables.at_from) && bound(run.tables.at_to) && bound(run.tables.rt_from) &&
         bound(run.tables.rt_to);
}

std::chrono::system_clock::time_point system_time(std::filesystem::file_time_type time) {
  return std::chrono::time_point_cast<std::chrono::system_clock::duration>(
      std::chrono::file_clock::to_sys(time));
}

// The tables of the results file as it stands (empty without one).
MarkTables tables_in_file(const std::filesystem::path& results_file, int lead_count) {
  MarkTables in_file;
  std::error_code error;
  if (!std::filesystem::is_regular_file(results_file, error)) return in_file;
  std::ifstream saved_text(results_file, std::ios::binary);
  auto loaded = std::make_unique<LoadedTables>();
  if (saved_text && parse_results(saved_text, lead_count, *loaded).fault == ParseFault::none)
    fill_marks(*loaded, lead_count, in_file);
  return in_file;
}

// A file that is not a recovery file, renamed out of the way; the new name, or
// empty when it could not be moved.
std::filesystem::path move_aside(const std::filesystem::path& file) {
  std::filesystem::path aside = file;
  aside += ".damaged";
  std::error_code error;
  std::filesystem::rename(file, aside, error);
  return error ? std::filesystem::path() : aside;
}

}  // namespace

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
  const bool legacy = tables.estimator == Estimator::legacy;
  add_line(text, "estimator", legacy ? "legacy" : "centred");
  if (!legacy) add_line(text, "rt_smooth_points", format_integer(tables.rt_smooth_points));
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
  bool named_estimator = false;
  bool rt_smoothing = false;
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
    if (name == "estimator") {
      read = !named_estimator && (value == "centred" || value == "legacy");
      named_estimator = true;
      run.estimator = value == "centred" ? Estimator::centred : Estimator::legacy;
    }
    if (name == "rt_smooth_points") {
      read = !rt_smoothing && parse_integer(value, run.rt_smooth_points);
      rt_smoothing = true;
    }
    if (!read) return std::nullopt;
    ++settings;
  }
  // The five settings every file has; a file of a desktop before the choice
  // of derivative names no estimator and was legacy; a centred one names its
  // RT smoothing, a legacy one has none.
  const bool centred = run.estimator == Estimator::centred;
  if (settings != 5 + int{named_estimator} + int{rt_smoothing} || rt_smoothing != centred ||
      !settings_in_bounds(run))
    return std::nullopt;
  if (centred && (run.rt_smooth_points < kLeastRtSmoothing || run.rt_smooth_points > kMostDialogueSmoothing))
    return std::nullopt;
  std::istringstream results{std::string(text.substr(0, marker))};
  auto loaded = std::make_unique<LoadedTables>();
  if (parse_results(results, run.lead_count, *loaded).fault != ParseFault::none) return std::nullopt;
  fill_marks(*loaded, run.lead_count, run.tables.marks);
  return run;
}

namespace {

// The set marks of one lead's column, rows 1..count, in ascending order.
std::vector<float> marks_of(const MarkTable& table, int lead, std::int32_t count) {
  std::vector<float> marks;
  const auto& column = table[static_cast<std::size_t>(lead - 1)];
  for (int row = 0; row < std::clamp<std::int32_t>(count, 0, kMaxRows); ++row) {
    const float t = column[static_cast<std::size_t>(row)];
    if (t != 0.0f) marks.push_back(t);
  }
  std::sort(marks.begin(), marks.end());
  return marks;
}

}  // namespace

MarkDifferences mark_differences(const MarkTables& recovered, const MarkTables& in_file, int lead_count,
                                 std::size_t most) {
  MarkDifferences found;
  const double none = std::numeric_limits<double>::quiet_NaN();
  for (int lead = 1; lead <= std::min(lead_count, kMaxLeads); ++lead) {
    for (const bool rt : {false, true}) {
      const std::vector<float> mine = marks_of(rt ? recovered.rt_ms_table : recovered.at_ms_table, lead,
                                               rt ? recovered.rt_beat_count : recovered.at_beat_count);
      const std::vector<float> theirs = marks_of(rt ? in_file.rt_ms_table : in_file.at_ms_table, lead,
                                                 rt ? in_file.rt_beat_count : in_file.at_beat_count);
      std::vector<float> only_mine, only_theirs;
      std::set_difference(mine.begin(), mine.end(), theirs.begin(), theirs.end(), std::back_inserter(only_mine));
      std::set_difference(theirs.begin(), theirs.end(), mine.begin(), mine.end(), std::back_inserter(only_theirs));
      // A removal and an addition in one column are one mark moved.
      const std::size_t n = std::max(only_mine.size(), only_theirs.size());
      found.count += static_cast<int>(n);
      for (std::size_t k = 0; k < n && found.first.size() < most; ++k) {
        found.first.push_back({lead, rt, k < only_theirs.size() ? static_cast<double>(only_theirs[k]) : none,
                               k < only_mine.size() ? static_cast<double>(only_mine[k]) : none});
      }
    }
  }
  return found;
}

int differing_marks(const MarkTables& a, const MarkTables& b, int lead_count) {
  return mark_differences(a, b, lead_count, 0).count;
}

RecoveryFindings find_recoveries(const std::filesystem::path& results_file) {
  RecoveryFindings found;
  const std::filesystem::path folder =
      results_file.has_parent_path() ? results_file.parent_path() : std::filesystem::path(".");
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (recovery_index(results_file, it->path()) > 0) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end(), [&](const auto& a, const auto& b) {
    return recovery_index(results_file, a) < recovery_index(results_file, b);
  });
  const auto saved = std::filesystem::last_write_time(results_file, error);
  const bool results_exist = !error;
  for (const std::filesystem::path& file : files) {
    if (claimed(file)) {
      found.kept_elsewhere.push_back(file);
      continue;
    }
    std::string text;
    std::optional<Recovered> recovered;
    const auto written = std::filesystem::last_write_time(file, error);
    if (!error && read_recovery_file(file, text)) recovered = parse_recovery(text);
    if (!recovered) {
      found.damaged.push_back({file, move_aside(file)});
      continue;
    }
    RecoveryOffer offer;
    offer.file = file;
    offer.written = system_time(written);
    offer.older_than_results = results_exist && written <= saved;
    offer.recovered = std::move(*recovered);
    const MarkTables in_file = tables_in_file(results_file, offer.recovered.lead_count);
    MarkDifferences differences = mark_differences(offer.recovered.tables.marks, in_file, offer.recovered.lead_count);
    offer.differing_marks = differences.count;
    offer.differences = std::move(differences.first);
    found.offers.push_back(std::move(offer));
  }
  return found;
}

}  // namespace telmor
