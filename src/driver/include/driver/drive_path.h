// Maps a path built in drive-letter form (d:\data\map\abc.txt) onto the host.
#pragma once

#include <filesystem>
#include <string_view>

namespace telmor {

// Trailing blanks of the field are dropped. On Windows the built path is used
// as it stands. Elsewhere the drive letter X becomes the folder named by the
// lower-case letter under drives_root, and backslashes become '/':
// d:\data\map\abc.txt opens drives_root/d/data/map/abc.txt.
std::filesystem::path host_path(std::string_view built_path,
                                const std::filesystem::path& drives_root);

}  // namespace telmor
