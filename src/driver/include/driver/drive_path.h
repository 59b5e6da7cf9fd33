// Maps a path built in drive-letter form (d:\data\map\abc.txt) onto the host.
#pragma once

#include <filesystem>
#include <string_view>

#include "record/run_record.h"

namespace telmor {

// Trailing blanks of the field are dropped. On Windows the built path is used
// as it stands. Elsewhere the drive letter X becomes the folder named by the
// lower-case letter under drives_root, and backslashes become '/':
// d:\data\map\abc.txt opens drives_root/d/data/map/abc.txt.
std::filesystem::path host_path(std::string_view built_path,
                                const std::filesystem::path& drives_root);

// Whether host_path would lead out of its drive's folder, and so perhaps out
// of the drives root: a typed name that climbs above the drive
// (d:\data\map\..\..\..\x), or a drive that is no folder name ('\' would
// start from the top of the host's tree). Such a path is not opened. Never
// on Windows, where the paths are the real drives, used as they stand (and a
// climb stops at the top of the drive).
bool leaves_its_drive(std::string_view built_path);

// The recording's file and its results file on this computer: the ones an
// opened file names, or those of the shown drive paths.
std::filesystem::path data_file_of(const RunRecord& record, const std::filesystem::path& drives_root);
std::filesystem::path results_file_of(const RunRecord& record, const std::filesystem::path& drives_root);

// The status bar's words for a path that leaves_its_drive refuses.
inline constexpr std::string_view kOutsideDrivesNote =
    "ドライブのフォルダの外を指す名前なので、開きません。";

}  // namespace telmor
