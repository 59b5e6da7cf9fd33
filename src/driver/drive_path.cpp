// Drive-letter paths on hosts without drive letters.
#include "driver/drive_path.h"

#include <string>

#include "base/utf8_path.h"

namespace telmor {
namespace {

std::string_view without_trailing_blanks(std::string_view built_path) {
  const auto end = built_path.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view{} : built_path.substr(0, end + 1);
}

#ifndef _WIN32
// A built path taken apart below the drives root: the drive's folder (the
// lower-case drive; empty without a drive), then the folders and name with
// '/' for '\'.
struct BelowRoot {
  std::filesystem::path drive;
  std::filesystem::path rest;
};

BelowRoot below_drives_root(std::string_view built_path) {
  std::string rest(without_trailing_blanks(built_path));
  for (char& c : rest) {
    if (c == '\\') c = '/';
  }
  BelowRoot below;
  const auto colon = rest.find(':');
  if (colon != std::string::npos && colon > 0) {
    std::string drive = rest.substr(0, colon);
    for (char& c : drive) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    below.drive = path_from_utf8(drive);
    rest.erase(0, colon + 1);
  }
  while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
  below.rest = path_from_utf8(rest);
  return below;
}
#endif

}  // namespace

std::filesystem::path host_path(std::string_view built_path,
                                const std::filesystem::path& drives_root) {
#ifdef _WIN32
  (void)drives_root;
  return path_from_utf8(without_trailing_blanks(built_path));
#else
  const BelowRoot below = below_drives_root(built_path);
  return drives_root / below.drive / below.rest;
#endif
}

bool leaves_its_drive(std::string_view built_path) {
#ifdef _WIN32
  (void)built_path;
  return false;
#else
  const BelowRoot below = below_drives_root(built_path);
  const std::filesystem::path drive = below.drive.lexically_normal();
  if (drive.has_root_path() || drive == "." || drive == "..") return true;
  // The rest, taken lexically, must stay within the drive's folder.
  const std::filesystem::path rest = below.rest.lexically_normal();
  return !rest.empty() && *rest.begin() == "..";
#endif
}

std::filesystem::path data_file_of(const RunRecord& record, const std::filesystem::path& drives_root) {
  return record.data_file.empty() ? host_path(shown_data_path(record), drives_root) : record.data_file;
}

std::filesystem::path results_file_of(const RunRecord& record, const std::filesystem::path& drives_root) {
  return record.results_file.empty() ? host_path(shown_result_path(record), drives_root) : record.results_file;
}

}  // namespace telmor
