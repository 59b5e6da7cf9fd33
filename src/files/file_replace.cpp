// Whole-file replacement through a temporary of its own beside the target.
#include "files/file_replace.h"

namespace telmor {
namespace {

// Names drawn before a save gives up; each one taken means another writer
// (or something planted) holds it, which six random letters make rare.
constexpr int kNameAttempts = 100;

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

// Creates a temporary of target that did not exist before, under a fresh name.
std::error_code create_temporary(const std::filesystem::path& target, const FileAccess& files,
                                 std::filesystem::path& temporary, FileAccess::Handle& handle) {
  std::error_code error;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    temporary = temporary_name(target);
    error = files.create_new(temporary, handle);
    if (error != std::errc::file_exists) return error;
  }
  return error;
}

}  // namespace

std::error_code check_replaceable(const std::filesystem::path& target) {
  std::error_code ec;
  // Following links: a link to a device is a device (status never opens it).
  const std::filesystem::file_status status = std::filesystem::status(target, ec);
  switch (status.type()) {
    case std::filesystem::file_type::not_found:
    case std::filesystem::file_type::regular:
      return {};
    case std::filesystem::file_type::directory:
      return std::make_error_code(std::errc::is_a_directory);
    case std::filesystem::file_type::none:
      return ec;  // the system could not tell
    default:
      return make_error_code(FileError::not_a_regular_file);
  }
}

std::error_code replace_file_contents(const std::filesystem::path& target,
                                      std::string_view content,
                                      std::vector<LeftTemporary>& left_behind,
                                      const FileAccess& files) {
  left_behind.clear();
  const std::filesystem::path folder = folder_of(target);
  if (const std::error_code error = check_folder(folder)) return error;
  if (const std::error_code error = check_replaceable(target)) return error;
  // First, so that a disk filled by killed writers has room again.
  left_behind = remove_stale_temporaries(target, files);
  std::filesystem::path temporary;
  FileAccess::Handle handle = 0;
  // Not created, nothing to clear away: whatever stands under that name stays.
  if (const std::error_code error = create_temporary(target, files, temporary, handle))
    return error;

  // The data reaches the disk before the rename, so that the name never
  // points at a file whose content is still only in memory.
  std::error_code failure = files.write(handle, content);
  if (!failure) failure = files.sync(handle);
  const std::error_code closed = files.close(handle);
  if (!failure) failure = closed;
  if (!failure) failure = files.rename(temporary, target);
  if (failure) {
    (void)files.remove(temporary);
    return failure;
  }
  (void)files.sync_folder(folder);
  return {};
}

std::error_code replace_file_contents(const std::filesystem::path& target,
                                      std::string_view content, const FileAccess& files) {
  std::vector<LeftTemporary> left_behind;
  return replace_file_contents(target, content, left_behind, files);
}

}  // namespace telmor
