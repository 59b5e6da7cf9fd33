// The recovery file: a copy of unsaved tables beside their results file,
// written so that edits survive a crash, and read back at the next start.
// Plain C++: the frame decides when; this says what the file holds.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <vector>

#include "console/window_layer.h"
#include "record/results_snapshot.h"
#include "session/recovery_claim.h"

namespace telmor {

// The results file's text as s writes it (format_results of the snapshot's
// tables for its leads), then the line "# TELMOR recovery" and one line per
// setting: lead_count, amp_ratio, smooth_points, at_range and rt_range
// (from,to), estimator (centred or legacy) and, centred, rt_smooth_points,
// each NAME=VALUE, numbers written without the locale, every line ending
// CR LF. Empty when the tables cannot be written as a results file.
std::string recovery_text(const ResultsSnapshot& tables);

// A recovery file as read: its tables (every time's source: loaded) and
// ranges, and the settings it was written with.
struct Recovered {
  RestoredTables tables;
  std::int32_t lead_count = 0;
  float amp_ratio = 0.0f;
  std::int32_t smooth_points = 0;
  // The derivative (a file written before there was a choice: legacy) and,
  // centred, the RT derivative's smoothing.
  Estimator estimator = Estimator::legacy;
  std::int32_t rt_smooth_points = 0;
};

// Reads what recovery_text wrote; nullopt when any of it is missing or bad,
// or a setting lies outside what the dialogue and d take (smoothing 0..499,
// a ratio 0..1, range bounds -200..1466 ms, 1..20 leads).
std::optional<Recovered> parse_recovery(std::string_view text);

// The most a recovery file holds: the results file of the largest tables the
// desktop holds (20 leads, 200 rows, both blocks) and the settings, with a
// wide margin. A larger file is no recovery file.
inline constexpr std::uintmax_t kMaxRecoveryBytes = 1u << 20;

// A mark the recovered tables and the results file do not share: the time in
// each (NaN in the one that lacks it), of which lead and kind.
struct MarkDifference {
  int lead = 0;
  bool rt = false;
  double in_file_ms = 0.0;
  double recovered_ms = 0.0;
};

struct MarkDifferences {
  int count = 0;
  std::vector<MarkDifference> first;
};

// What the start-up offers: when the file was written, whether the results
// file was written after it (a save of another program, or another desktop),
// and how many entries of the AT and RT tables differ from the results file
// (all that are set, without a results file).
struct RecoveryOffer {
  std::filesystem::path file;
  std::chrono::system_clock::time_point written;
  bool older_than_results = false;
  int differing_marks = 0;
  std::vector<MarkDifference> differences;  // the first few of them
  Recovered recovered;
};

// What lies beside a results file at start-up: the recovery files no running
// desktop keeps, to offer; those other running desktops keep (not to be
// touched); and those that could not be read, moved aside (from, to) so that
// they are neither offered again nor lost.
struct RecoveryFindings {
  std::vector<RecoveryOffer> offers;
  std::vector<std::filesystem::path> kept_elsewhere;
  struct Damaged {
    std::filesystem::path file;
    std::filesystem::path moved_to;  // empty when it could not be moved
  };
  std::vector<Damaged> damaged;
};

// Looks at every recovery file of results_file (NAMEari.csv.recover,
// ...recover2, ...). A file is read only when it is a regular file of at most
// kMaxRecoveryBytes (never a FIFO or a device: nothing waits); one that is
// not, or does not parse, is renamed to NAME.damaged beside it.
RecoveryFindings find_recoveries(const std::filesystem::path& results_file);

// Marks (times of the tables' rows in use) of leads 1..lead_count that
// differ between a and b, counted as marks, whatever rows they stand in: a
// mark moved is one, one removed or added is one (a removal shifts the rows
// below it, which moves no other mark).
int differing_marks(const MarkTables& a, const MarkTables& b, int lead_count);

// The same, and the first `most` of them, lead by lead: moved pairs first,
// then the marks only one side holds.
MarkDifferences mark_differences(const MarkTables& recovered, const MarkTables& in_file, int lead_count,
                                 std::size_t most = 5);

}  // namespace telmor
