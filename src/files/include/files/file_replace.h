// Replacing the whole content of a file so that neither a failure half way
// nor a crash or power loss at any moment leaves a damaged or shortened file
// in its place: afterwards it holds the old content or the new, whole.
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "files/file_access.h"
#include "base/file_errors.h"
#include "files/temporary_files.h"

namespace telmor {

// Whether target may be replaced: nothing stands there, or a regular file (a
// link to one included). A folder is is_a_directory; a device, FIFO or socket
// not_a_regular_file (FileError): a save never puts a file in their place.
// The one rule of every writer: the results file, the recovery file, the
// summary, the map tables and figures, the exports and the snapshots.
std::error_code check_replaceable(const std::filesystem::path& target);

// Refuses a target check_replaceable refuses, untouched. Otherwise clears
// away the temporaries of target that killed writers left (see
// remove_stale_temporaries; those it could not remove go into left_behind),
// writes content to a temporary of its own beside target, created new under a
// name no other writer uses (temporary_name; never through a link that
// stands there), pushes it to the disk, closes it, renames it over target
// (target is created when missing), and pushes the folder's entries to the
// disk. The rename is the only way the content reaches target, so writers
// at the same time each put a whole file there. Returns the reason of a
// failure, the temporary removed and target as it was: no_such_file_or_directory
// when target's folder is missing, otherwise what the system reported. A
// folder that cannot be pushed to the disk after the rename is no failure:
// the new file is already in place.
std::error_code replace_file_contents(const std::filesystem::path& target,
                                      std::string_view content,
                                      std::vector<LeftTemporary>& left_behind,
                                      const FileAccess& files = system_files());

// The same, for a caller with nobody to tell about left temporaries.
std::error_code replace_file_contents(const std::filesystem::path& target,
                                      std::string_view content,
                                      const FileAccess& files = system_files());

}  // namespace telmor
