// Scratch folders and whole-file reads for the tests.
#include <algorithm>

#include "support/test_files.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

namespace telmor::test {

ScratchDir::ScratchDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = "telmor_test_";
  if (info != nullptr) name += std::string(info->test_suite_name()) + "_" + info->name() + "_";
  std::replace(name.begin(), name.end(), '/', '_');  // parameterised tests name themselves a/b/0
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto candidate =
        std::filesystem::temp_directory_path() / (name + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot make a scratch folder");
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

#ifdef _WIN32
DrivesRoot::DrivesRoot() {
  const char* root = std::getenv("TELMOR_TEST_DRIVES");
  if (root == nullptr || *root == '\0')
    throw std::runtime_error("TELMOR_TEST_DRIVES must name the folder whose subfolder d is drive D:");
  path_ = std::filesystem::path(root);
  if (!std::filesystem::is_directory(path_ / "d") || !std::filesystem::exists("d:\\"))
    throw std::runtime_error("drive D: must be the folder d of TELMOR_TEST_DRIVES");
  empty();
}

DrivesRoot::~DrivesRoot() { empty(); }

const std::filesystem::path& DrivesRoot::path() const { return path_; }

// Everything but the folder d itself, which drive D: points at.
void DrivesRoot::empty() const {
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    if (entry.path().filename() == "d") {
      for (const auto& inner : std::filesystem::directory_iterator(entry.path()))
        std::filesystem::remove_all(inner.path());
    } else {
      std::filesystem::remove_all(entry.path());
    }
  }
}
#else
DrivesRoot::DrivesRoot() = default;
DrivesRoot::~DrivesRoot() = default;

const std::filesystem::path& DrivesRoot::path() const { return dir_.path(); }
#endif

std::string read_whole_file(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot open " + path.string());
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

void write_whole_file(const std::filesystem::path& path, const std::string& content) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << content;
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

bool make_symlink(const std::filesystem::path& target, const std::filesystem::path& link) {
  std::error_code error;
  std::filesystem::create_symlink(target, link, error);
  if (!error) return true;
  if (error == std::errc::function_not_supported || error == std::errc::operation_not_supported ||
      error == std::errc::not_supported)
    return false;
  throw std::filesystem::filesystem_error("cannot make the link", target, link, error);
}

std::vector<std::string> folder_names(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace telmor::test
