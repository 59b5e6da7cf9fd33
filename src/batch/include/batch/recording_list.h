// The recordings a batch takes from its PATH arguments.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace telmor {

struct Recording {
  std::filesystem::path file;  // the recording, NAME.txt
  std::string name;            // NAME, as the summary names it (UTF-8)
};

// A PATH that gave no recording, and why (one line, without the path).
struct PathProblem {
  std::filesystem::path path;
  std::string reason;
};

struct RecordingList {
  std::vector<Recording> recordings;
  std::vector<PathProblem> problems;
};

// A file PATH is taken when its name ends in .txt; a folder gives the regular
// files directly inside it whose names end in .txt, in name order (byte order
// of the UTF-8 names). Names ending in ari.csv never end in .txt, so results
// files and summaries are never taken. A PATH that does not exist, a file
// that is not .txt and a folder without recordings are problems.
RecordingList list_recordings(const std::vector<std::filesystem::path>& paths);

// NAMEari.csv in folder: where the results file of a recording goes.
std::filesystem::path results_file_for(const Recording& recording,
                                       const std::filesystem::path& folder);

}  // namespace telmor
