// Whole-file replacement through a temporary beside the target.
#include "results/file_replace.h"

#include <cerrno>
#include <fstream>

namespace telmor {
namespace {

// The reason of the stream operation that just failed. Streams promise no
// errno, but the C library calls beneath them set it; io_error stands in
// when they left it at 0.
std::error_code last_error() {
  const int number = errno;
  return number != 0 ? std::error_code(number, std::generic_category())
                     : std::make_error_code(std::errc::io_error);
}

// A missing folder gets a reason of its own; opening the temporary would
// only say that some part of the path is missing.
std::error_code check_folder(const std::filesystem::path& target) {
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(folder, ec);
  if (status.type() == std::filesystem::file_type::not_found)
    return std::make_error_code(std::errc::no_such_file_or_directory);
  if (ec) return ec;
  if (status.type() != std::filesystem::file_type::directory)
    return std::make_error_code(std::errc::not_a_directory);
  return {};
}

std::error_code write_and_close(std::ofstream& out, std::string_view content) {
  errno = 0;
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.flush();
  std::error_code failure;
  if (!out) failure = last_error();
  errno = 0;
  out.close();
  // Some file systems report a full disk only when the file is closed.
  if (!failure && out.fail()) failure = last_error();
  return failure;
}

}  // namespace

std::filesystem::path temporary_beside(const std::filesystem::path& target) {
  std::filesystem::path temporary = target;
  temporary += ".tmp";
  return temporary;
}

std::error_code replace_file_contents(const std::filesystem::path& target,
                                      std::string_view content) {
  if (const std::error_code folder = check_folder(target)) return folder;
  const std::filesystem::path temporary = temporary_beside(target);
  errno = 0;
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  // Not opened, nothing created: whatever stands under that name stays.
  if (!out.is_open()) return last_error();
  std::error_code failure = write_and_close(out, content);
  if (!failure) std::filesystem::rename(temporary, target, failure);
  if (failure) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
  }
  return failure;
}

}  // namespace telmor
