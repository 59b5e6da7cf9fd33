// The summary's place: a file no one loses by its being rewritten.
#include "summary_target.h"

#include <chrono>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>

#include "tables/summary_csv.h"
#include "notes_table.h"
#include "map_file_names.h"
#include "base/utf8_path.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;

// The columns every summary of this program starts with; later columns may
// be added at the end, so an older summary is still one.
constexpr std::string_view kSummaryStart = "recording,lead,beat,beat_ms,";
static_assert(kSummaryHeader.starts_with(kSummaryStart));

bool ends_in_csv(const fs::path& path) {
  std::string name = utf8_from_path(path.filename());
  if (name.size() < 4) return false;
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name.ends_with(".csv");
}

// The same file: the same path once links and dots are resolved, or, when
// both exist, the same file under two names.
bool same_file(const fs::path& a, const fs::path& b) {
  std::error_code error;
  if (fs::equivalent(a, b, error)) return true;
  const fs::path resolved_a = fs::weakly_canonical(fs::absolute(a, error), error);
  if (error) return false;
  const fs::path resolved_b = fs::weakly_canonical(fs::absolute(b, error), error);
  return !error && resolved_a == resolved_b;
}

bool starts_with(const fs::path& file, std::string_view start) {
  std::ifstream in(file, std::ios::binary);
  // Another run renaming its summary over this one leaves Windows refusing to
  // open the name for a moment: a file that cannot be opened is tried again
  // for up to half a second before it counts as no summary.
  for (int attempt = 0; !in.is_open() && attempt < 50; ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    in.open(file, std::ios::binary);
  }
  std::string first(start.size(), '\0');
  in.read(first.data(), static_cast<std::streamsize>(first.size()));
  return in.gcount() == static_cast<std::streamsize>(first.size()) && first == start;
}

// The rules of both tables; start: what an existing table there begins with.
SummaryFault table_refusal(const fs::path& summary, const RecordingList& list, const BatchOptions& options,
                           std::string_view start) {
  if (!ends_in_csv(summary)) return SummaryFault::not_csv;
  for (const ListedRecording& recording : list.recordings) {
    if (same_file(summary, recording.file)) return SummaryFault::is_recording;
    const fs::path folder = options.out ? *options.out : recording.file.parent_path();
    if (same_file(summary, results_file_for(recording, folder))) return SummaryFault::is_results_file;
    if (options.layout_file || options.grid) {
      for (const std::string_view suffix : kMapTableSuffixes) {
        if (same_file(summary, map_file_for(recording, folder, suffix))) return SummaryFault::is_map_table;
      }
    }
  }
  std::error_code error;
  const fs::file_status status = fs::status(summary, error);
  if (status.type() == fs::file_type::not_found) return SummaryFault::none;
  // Only a regular file is opened to look at its first line: a FIFO there
  // would keep the open waiting.
  if (error || status.type() != fs::file_type::regular) return SummaryFault::not_a_file;
  return starts_with(summary, start) ? SummaryFault::none : SummaryFault::not_a_summary;
}

}  // namespace

SummaryFault summary_refusal(const fs::path& summary, const RecordingList& list, const BatchOptions& options) {
  return table_refusal(summary, list, options, kSummaryStart);
}

SummaryFault notes_refusal(const fs::path& notes, const RecordingList& list, const BatchOptions& options) {
  return table_refusal(notes, list, options, kNotesHeader);
}

fs::path summary_file(const BatchOptions& options) {
  if (options.summary) return *options.summary;
  if (options.out) return *options.out / "summary.csv";
  const fs::path& first = options.paths.front();
  std::error_code error;
  if (fs::is_directory(first, error)) return first / "summary.csv";
  return first.parent_path() / "summary.csv";
}


}  // namespace telmor
