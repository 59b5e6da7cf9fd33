// A fresh drives root under the system's temporary folder, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace telmor::testing {

class TempRoot {
 public:
  TempRoot() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("telmor_test_" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_ / "d" / "data" / "map");
  }
  ~TempRoot() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path map_folder(char drive = 'd') const { return path_ / std::string(1, drive) / "data" / "map"; }

  // Writes d/data/map/<name> with the given bytes.
  void write(std::string_view name, std::string_view bytes, char drive = 'd') const {
    std::filesystem::create_directories(map_folder(drive));
    std::ofstream out(map_folder(drive) / std::string(name), std::ios::binary);
    out << bytes;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace telmor::testing
