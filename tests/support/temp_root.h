// A drives root with d/data/map in it, emptied afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "support/test_files.h"

namespace telmor::test {

class TempRoot {
 public:
  TempRoot() { std::filesystem::create_directories(map_folder()); }

  const std::filesystem::path& path() const { return dir_.path(); }
  std::filesystem::path map_folder(char drive = 'd') const {
    return path() / std::string(1, drive) / "data" / "map";
  }

  // Writes <drive>/data/map/<name> with the given bytes.
  void write(std::string_view name, std::string_view bytes, char drive = 'd') const {
    std::filesystem::create_directories(map_folder(drive));
    test::write_whole_file(map_folder(drive) / std::string(name), std::string(bytes));
  }

 private:
  test::DrivesRoot dir_;
};

}  // namespace telmor::test
