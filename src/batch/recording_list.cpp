// Expanding the PATH arguments of telmor-batch into recordings.
#include "batch/recording_list.h"

#include <algorithm>
#include <set>

#include "base/utf8_path.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;

ListedRecording recording_of(const fs::path& file) {
  const std::string name = utf8_from_path(file.filename());
  const std::string stem = name.substr(0, name.rfind('.'));
  return {file, stem, repaired_utf8(stem)};
}

std::string lower_case(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return text;
}

bool ends_with_any(const std::string& name, std::initializer_list<std::string_view> ends) {
  return std::any_of(ends.begin(), ends.end(),
                     [&](std::string_view end) { return name.size() > end.size() && name.ends_with(end); });
}

// Why an entry named *.txt that status could not follow gives no recording:
// the link it is, or nothing at all.
PathProblem unfollowable(const fs::path& path, std::error_code status_error) {
  std::error_code error;
  if (fs::symlink_status(path, error).type() != fs::file_type::symlink) return {path};
  if (status_error == std::errc::too_many_symbolic_link_levels) return {path, PathFault::link_loop};
  return {path, PathFault::dangling_link};
}

// What an entry named *.txt is: a recording, or why not. status follows links.
void take(const fs::path& path, RecordingList& list) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || status.type() == fs::file_type::not_found) {
    list.problems.push_back(unfollowable(path, error));
  } else if (status.type() != fs::file_type::regular) {
    list.problems.push_back({path, PathFault::not_a_regular_file, {}, status.type()});
  } else {
    list.recordings.push_back(recording_of(path));
  }
}

void add_folder(const fs::path& folder, RecordingList& list) {
  std::vector<fs::path> named;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = utf8_from_path(it->path().filename());
    if (is_recording_name(name) && !is_own_table_name(name)) named.push_back(it->path());
  }
  if (error) {
    list.problems.push_back({folder, PathFault::folder_unreadable, error});
    return;
  }
  if (named.empty()) {
    list.problems.push_back({folder, PathFault::no_recordings});
    return;
  }
  std::sort(named.begin(), named.end(), [](const fs::path& a, const fs::path& b) {
    return utf8_from_path(a.filename()) < utf8_from_path(b.filename());
  });
  for (const fs::path& path : named) take(path, list);
}

// The same entry of the same folder, however the folder was reached.
fs::path entry_key(const fs::path& file) {
  std::error_code error;
  const fs::path folder = fs::absolute(file, error).lexically_normal().parent_path();
  const fs::path resolved = fs::weakly_canonical(folder, error);
  return (error ? folder : resolved) / file.filename();
}

// Each recording once, in the order first named; the others become notes.
void drop_repeats(RecordingList& list) {
  std::set<fs::path> seen;
  std::vector<ListedRecording> kept;
  for (ListedRecording& recording : list.recordings) {
    if (seen.insert(entry_key(recording.file)).second) {
      kept.push_back(std::move(recording));
    } else {
      list.notes.push_back({recording.file, PathFault::named_twice});
    }
  }
  list.recordings = std::move(kept);
}

// Two recordings of one folder with one name (a.txt, a.edf) would write one
// results file: the first named is analysed.
void drop_same_results(RecordingList& list) {
  std::set<fs::path> taken;
  std::vector<ListedRecording> kept;
  for (ListedRecording& recording : list.recordings) {
    if (taken.insert(results_file_for(recording, entry_key(recording.file).parent_path())).second) {
      kept.push_back(std::move(recording));
    } else {
      list.problems.push_back({recording.file, PathFault::same_results_file});
    }
  }
  list.recordings = std::move(kept);
}

}  // namespace

bool is_recording_name(const std::string& file_name) {
  return ends_with_any(lower_case(file_name),
                       {".txt", ".csv", ".tsv", ".edf", ".bdf", ".gdf", ".h5", ".hdf5", ".mat"});
}

bool is_own_table_name(const std::string& file_name) {
  const std::string name = lower_case(file_name);
  return name == "summary.csv" ||
         ends_with_any(name, {"ari.csv", "cv.csv", "restitution.csv", "dispersion.csv", ".layout.csv", "-notes.csv"});
}

RecordingList list_recordings(const std::vector<fs::path>& paths) {
  RecordingList list;
  for (const fs::path& path : paths) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::directory) {
      add_folder(path, list);
    } else if (!is_recording_name(utf8_from_path(path.filename()))) {
      if (error || status.type() == fs::file_type::not_found) {
        list.problems.push_back(unfollowable(path, error));
      } else {
        list.problems.push_back({path, PathFault::not_a_recording_name});
      }
    } else if (is_own_table_name(utf8_from_path(path.filename()))) {
      list.problems.push_back({path, PathFault::own_table});
    } else {
      take(path, list);
    }
  }
  drop_repeats(list);
  drop_same_results(list);
  for (const ListedRecording& recording : list.recordings) {
    if (recording.summary_name != recording.name)
      list.notes.push_back({recording.file, PathFault::name_not_utf8});
  }
  return list;
}

fs::path results_file_for(const ListedRecording& recording, const fs::path& folder) {
  const std::string name = recording.name + "ari.csv";
  return folder / path_from_utf8(name);
}

std::string repaired_utf8(std::string_view text) {
  std::string repaired;
  repaired.reserve(text.size());
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  std::size_t at = 0;
  while (at < text.size()) {
    const unsigned char lead = byte(at);
    // Length of the sequence lead starts, and the range of its second byte
    // (narrower after E0, ED, F0 and F4: no overlong forms, no surrogates,
    // nothing beyond U+10FFFF).
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead < 0x80) {
      length = 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    }
    bool valid = length > 0 && at + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const unsigned char c = byte(at + k);
      valid = k == 1 ? c >= low && c <= high : c >= 0x80 && c <= 0xBF;
    }
    if (valid) {
      repaired.append(text.substr(at, length));
      at += length;
    } else {
      repaired += "\xEF\xBF\xBD";
      ++at;
    }
  }
  return repaired;
}

}  // namespace telmor
