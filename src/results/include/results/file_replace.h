// Replacing the whole content of a file so that a failure half way never
// leaves a damaged or shortened file in its place.
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace telmor {

// The temporary that replace_file_contents writes beside target: target's
// name with ".tmp" appended, in the same folder so that the rename stays on
// one file system.
std::filesystem::path temporary_beside(const std::filesystem::path& target);

// Writes content to the temporary beside target, closes it, and renames it
// over target (target is created when missing). Returns the reason of a
// failure, the temporary removed and target as it was: no_such_file_or_directory
// when target's folder is missing, otherwise what the system reported.
std::error_code replace_file_contents(const std::filesystem::path& target,
                                      std::string_view content);

}  // namespace telmor
