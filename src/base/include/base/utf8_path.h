// Paths and program arguments as the UTF-8 text the program works in. A
// narrow std::string path means the ANSI code page on Windows, which garbles
// Japanese names; these conversions mean UTF-8 everywhere.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace telmor {

std::filesystem::path path_from_utf8(std::string_view text);
std::string utf8_from_path(const std::filesystem::path& path);

// The arguments after the program's name, as UTF-8: on Windows taken from the
// wide command line (argv holds them in the ANSI code page), elsewhere argv.
std::vector<std::string> utf8_arguments(int argc, char** argv);

}  // namespace telmor
