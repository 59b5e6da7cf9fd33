// The part file beside a results file of an opened part: which recording
// file, channels, span and rate the results belong to (the results file
// itself keeps its fixed format). NAMEari.csv.part beside NAMEari.csv, text
// lines "key=value" after the line "# TELMOR part", CR LF, numbers without
// the locale:
//   source=grid12.edf
//   channels=2,3,4
//   start_s=2.5
//   seconds=10
//   rate_hz=500
//   dataset=NAME                      (only when the reader was told one)
//   orientation=samples-by-leads|leads-by-samples   (only when told)
// Bytes below 0x20, 0x7F and % in a name are written as %XX.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "record/recorded_part.h"
#include "files/file_access.h"

namespace telmor {

// Only a regular file of at most this size is read as a part file.
inline constexpr std::uintmax_t kMaxPartFileBytes = 64 * 1024;

std::filesystem::path part_file_of(const std::filesystem::path& results_file);

std::string part_file_text(const RecordedPart& part);

enum class PartFileFault { none, missing, not_regular, too_large, unreadable, damaged };

// The part the file at path records; part is changed only on none.
PartFileFault read_part_file(const std::filesystem::path& path, RecordedPart& part,
                             const FileAccess& files = system_files());
// The same on text already read.
bool parse_part_file(std::string_view text, RecordedPart& part);

// The channels as a list with runs: 1-4,7,9-12 (a run only where they rise by one).
std::string channel_list_text(const std::vector<int>& channels);
// Seconds in the shortest form that reads back the same: 2.5, 10, 0.125.
std::string seconds_text(double seconds);

// What a part adds to the results file's name NAMEari.csv, before ".csv":
// "_ch2-13_2.5-12.5s" (channels, then start and end in seconds), so that
// the parts of one file have results files of their own.
std::string part_name_suffix(const RecordedPart& part);

}  // namespace telmor
