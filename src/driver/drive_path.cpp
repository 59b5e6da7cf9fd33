// Drive-letter paths on hosts without drive letters.
#include "driver/drive_path.h"

#include <string>

#include "record/utf8_path.h"

namespace telmor {

std::filesystem::path host_path(std::string_view built_path,
                                const std::filesystem::path& drives_root) {
  const auto end = built_path.find_last_not_of(' ');
  built_path = end == std::string_view::npos ? std::string_view{} : built_path.substr(0, end + 1);
#ifdef _WIN32
  (void)drives_root;
  return path_from_utf8(built_path);
#else
  std::string rest(built_path);
  for (char& c : rest) {
    if (c == '\\') c = '/';
  }
  std::filesystem::path result = drives_root;
  const auto colon = rest.find(':');
  if (colon != std::string::npos && colon > 0) {
    std::string drive = rest.substr(0, colon);
    for (char& c : drive) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    result /= drive;
    rest.erase(0, colon + 1);
  }
  while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
  return result / rest;
#endif
}

}  // namespace telmor
