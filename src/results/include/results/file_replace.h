// Replacing the whole content of a file so that neither a failure half way
// nor a crash or power loss at any moment leaves a damaged or shortened file
// in its place: afterwards it holds the old content or the new, whole.
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

#include "results/file_access.h"

namespace telmor {

// The temporary that replace_file_contents writes beside target: target's
// name with ".tmp" appended, in the same folder so that the rename stays on
// one file system.
std::filesystem::path temporary_beside(const std::filesystem::path& target);

// Writes content to the temporary beside target, pushes it to the disk,
// closes it, renames it over target (target is created when missing), and
// pushes the folder's entries to the disk. Returns the reason of a failure,
// the temporary removed and target as it was: no_such_file_or_directory when
// target's folder is missing, otherwise what the system reported. A folder
// that cannot be pushed to the disk after the rename is no failure: the new
// file is already in place.
std::error_code replace_file_contents(const std::filesystem::path& target,
                                      std::string_view content,
                                      const FileAccess& files = system_files());

}  // namespace telmor
