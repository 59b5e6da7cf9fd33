// The recovery file: a copy of unsaved tables beside their results file,
// written so that edits survive a crash, and read back at the next start.
// Plain C++: the frame decides when; this says what the file holds.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "console/window_layer.h"
#include "record/results_snapshot.h"

namespace telmor {

// NAMEari.csv.recover beside NAMEari.csv.
std::filesystem::path recovery_path(const std::filesystem::path& results_file);

// The results file's text as s writes it (format_results of the snapshot's
// tables for its leads), then the line "# TELMOR recovery" and one line per
// setting: lead_count, amp_ratio, smooth_points, at_range and rt_range
// (from,to), each NAME=VALUE, numbers written without the locale, every line
// ending CR LF. Empty when the tables cannot be written as a results file.
std::string recovery_text(const ResultsSnapshot& tables);

// A recovery file as read: its tables (every time's source: loaded) and
// ranges, and the settings it was written with.
struct Recovered {
  RestoredTables tables;
  std::int32_t lead_count = 0;
  float amp_ratio = 0.0f;
  std::int32_t smooth_points = 0;
};

// Reads what recovery_text wrote; nullopt when any of it is missing or bad.
std::optional<Recovered> parse_recovery(std::string_view text);

// What the start-up offers: when the file was written, and how many entries
// of the AT and RT tables differ from the results file (all that are set,
// without a results file).
struct RecoveryOffer {
  std::filesystem::path file;
  std::chrono::system_clock::time_point written;
  int differing_marks = 0;
  Recovered recovered;
};

// The recovery file of results_file when there is one to offer: it reads
// whole and is newer than the results file, or there is no results file.
std::optional<RecoveryOffer> find_recovery(const std::filesystem::path& results_file);

// Entries of rows 1..200 of leads 1..lead_count that differ between a and b.
int differing_marks(const MarkTables& a, const MarkTables& b, int lead_count);

}  // namespace telmor
