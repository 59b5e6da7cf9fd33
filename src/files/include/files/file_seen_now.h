// How a file stands now, as FileSeen records it: what a save compares with
// what the program saw when it last read or wrote the file.
#pragma once

#include <filesystem>
#include <string_view>

#include "files/file_seen.h"
#include "files/file_access.h"

namespace telmor {

// At most this much of a file is read and hashed: a results file is a small
// part of it (200 rows of 20 leads), and a huge file at the name is never
// what the program wrote.
inline constexpr std::uint64_t kSeenBytes = std::uint64_t{4} << 20;

// The file at path now: missing, a regular file (its size and the FNV-1a hash
// of its first kSeenBytes bytes), one that cannot be read, or something
// else (a folder, a device, a FIFO: never opened, so that nothing waits).
FileSeen see_file(const std::filesystem::path& path, const FileAccess& files = system_files());

// A file holding exactly content, as a save that wrote it leaves it.
FileSeen seen_content(std::string_view content);

}  // namespace telmor
