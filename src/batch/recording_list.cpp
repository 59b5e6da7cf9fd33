// Expanding the PATH arguments of telmor-batch into recordings.
#include "batch/recording_list.h"

#include <algorithm>
#include <system_error>

#include "record/utf8_path.h"

namespace telmor {
namespace {

bool is_recording_name(const std::string& file_name) {
  return file_name.size() > 4 && file_name.ends_with(".txt");
}

Recording recording_of(const std::filesystem::path& file) {
  const std::string name = utf8_from_path(file.filename());
  return {file, name.substr(0, name.size() - 4)};
}

void add_folder(const std::filesystem::path& folder, RecordingList& list) {
  std::vector<Recording> found;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code type_error;
    if (!it->is_regular_file(type_error)) continue;
    if (is_recording_name(utf8_from_path(it->path().filename()))) found.push_back(recording_of(it->path()));
  }
  if (error) {
    list.problems.push_back({folder, "フォルダを読めません（" + error.message() + "）。"});
    return;
  }
  if (found.empty()) {
    list.problems.push_back({folder, "フォルダに記録（*.txt）がありません。"});
    return;
  }
  std::sort(found.begin(), found.end(),
            [](const Recording& a, const Recording& b) { return utf8_from_path(a.file.filename()) < utf8_from_path(b.file.filename()); });
  list.recordings.insert(list.recordings.end(), found.begin(), found.end());
}

}  // namespace

RecordingList list_recordings(const std::vector<std::filesystem::path>& paths) {
  RecordingList list;
  for (const std::filesystem::path& path : paths) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::directory) {
      add_folder(path, list);
    } else if (status.type() == std::filesystem::file_type::not_found || error) {
      list.problems.push_back({path, "ファイルもフォルダもありません。"});
    } else if (!is_recording_name(utf8_from_path(path.filename()))) {
      list.problems.push_back({path, "記録ではありません（名前が .txt で終わりません）。"});
    } else {
      list.recordings.push_back(recording_of(path));
    }
  }
  return list;
}

std::filesystem::path results_file_for(const Recording& recording,
                                       const std::filesystem::path& folder) {
  const std::string name = recording.name + "ari.csv";
  return folder / path_from_utf8(name);
}

}  // namespace telmor
