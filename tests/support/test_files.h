// Scratch folders and whole-file reads for the tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

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

// The folder that holds a test's drive folders (d/data/map/...). Elsewhere a
// fresh scratch folder that the program is given as its drives root. On
// Windows the program opens d:\data\map\... as it stands, so it is the folder
// whose subfolder d is drive D:, named by the environment variable
// TELMOR_TEST_DRIVES (scripts/test-windows.sh maps it), emptied before and
// after the test; suites that use it must not run side by side there.
class DrivesRoot {
 public:
  DrivesRoot();
  ~DrivesRoot();
  DrivesRoot(const DrivesRoot&) = delete;
  DrivesRoot& operator=(const DrivesRoot&) = delete;

  const std::filesystem::path& path() const;
  std::filesystem::path operator/(const std::string& name) const { return path() / name; }

 private:
#ifdef _WIN32
  void empty() const;
  std::filesystem::path path_;
#else
  ScratchDir dir_;
#endif
};

std::string read_whole_file(const std::filesystem::path& path);
void write_whole_file(const std::filesystem::path& path, const std::string& content);
// The names of the entries of folder, sorted.
std::vector<std::string> folder_names(const std::filesystem::path& folder);

// Makes link a symbolic link to target. False where the system has no
// symbolic links (wine), so that a test leaves out only what needs them;
// any other failure throws.
bool make_symlink(const std::filesystem::path& target, const std::filesystem::path& link);

}  // namespace telmor::test
