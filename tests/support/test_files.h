// Scratch folders and whole-file reads for the tests.
#pragma once

#include <filesystem>
#include <string>

namespace telmor::test {

// A fresh empty folder under the system's temporary folder, removed with the object.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string read_whole_file(const std::filesystem::path& path);
void write_whole_file(const std::filesystem::path& path, const std::string& content);

}  // namespace telmor::test
