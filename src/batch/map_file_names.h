// The names of a recording's map files, known to every build: the summary
// must not take one of them even where the maps are not written.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "batch/recording_list.h"
#include "base/utf8_path.h"

namespace telmor {

// The tables' suffixes, in the order they are written (the figure's files
// follow them, and are no CSV).
inline constexpr std::string_view kMapTableSuffixes[] = {"cv.csv", "restitution.csv",
                                                         "dispersion.csv"};

// NAME + suffix in folder ("cv.csv": NAMEcv.csv).
inline std::filesystem::path map_file_for(const ListedRecording& recording,
                                          const std::filesystem::path& folder,
                                          std::string_view suffix) {
  return folder / path_from_utf8(recording.name + std::string(suffix));
}

}  // namespace telmor
