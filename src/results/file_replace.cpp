// Whole-file replacement through a temporary beside the target.
#include "results/file_replace.h"

namespace telmor {
namespace {

std::filesystem::path folder_of(const std::filesystem::path& target) {
  return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

// A missing folder gets a reason of its own; creating the temporary would
// only say that some part of the path is missing.
std::error_code check_folder(const std::filesystem::path& folder) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(folder, ec);
  if (status.type() == std::filesystem::file_type::not_found)
    return std::make_error_code(std::errc::no_such_file_or_directory);
  if (ec) return ec;
  if (status.type() != std::filesystem::file_type::directory)
    return std::make_error_code(std::errc::not_a_directory);
  return {};
}

}  // namespace

std::filesystem::path temporary_beside(const std::filesystem::path& target) {
  std::filesystem::path temporary = target;
  temporary += ".tmp";
  return temporary;
}

std::error_code replace_file_contents(const std::filesystem::path& target,
                                      std::string_view content, const FileAccess& files) {
  const std::filesystem::path folder = folder_of(target);
  if (const std::error_code error = check_folder(folder)) return error;
  const std::filesystem::path temporary = temporary_beside(target);
  FileAccess::Handle handle = 0;
  // Not created, nothing to clear away: whatever stands under that name stays.
  if (const std::error_code error = files.create(temporary, handle)) return error;

  // The data reaches the disk before the rename, so that the name never
  // points at a file whose content is still only in memory.
  std::error_code failure = files.write(handle, content);
  if (!failure) failure = files.sync(handle);
  const std::error_code closed = files.close(handle);
  if (!failure) failure = closed;
  if (!failure) failure = files.rename(temporary, target);
  if (failure) {
    files.remove(temporary);
    return failure;
  }
  (void)files.sync_folder(folder);
  return {};
}

}  // namespace telmor
