// UTF-8 paths and program arguments.
#include "base/utf8_path.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace telmor {

std::filesystem::path path_from_utf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string utf8_from_path(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

#ifdef _WIN32
std::vector<std::string> utf8_arguments(int, char**) {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(utf8_from_path(std::filesystem::path(wide[i])));
  LocalFree(wide);
  return arguments;
}
#else
std::vector<std::string> utf8_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}
#endif

}  // namespace telmor
