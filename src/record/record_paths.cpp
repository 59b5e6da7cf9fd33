// What the windows show for the recording and its results file, and the
// recording's name: the fixed fields' unless the record says otherwise.
#include <string>
#include <string_view>

#include "record/run_record.h"

namespace telmor {

std::string_view shown_data_path(const RunRecord& record) {
  return record.shown_data_path.empty() ? record.data_path.view() : std::string_view(record.shown_data_path);
}

std::string_view shown_result_path(const RunRecord& record) {
  return record.shown_result_path.empty() ? record.result_path.view() : std::string_view(record.shown_result_path);
}

std::string recording_name(const RunRecord& record) {
  if (!record.recording_name.empty()) return record.recording_name;
  return std::string(record.file_name.trimmed());
}

}  // namespace telmor
