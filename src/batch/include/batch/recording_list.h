// The recordings a batch takes from its PATH arguments.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace telmor {

struct ListedRecording {
  std::filesystem::path file;  // the recording, NAME.txt, NAME.edf, NAME.h5... (the extension in any case)
  std::string name;            // NAME, the bytes of the file's name (UTF-8 where valid)
  std::string summary_name;    // NAME as the summary writes it: each byte that is not
                               // part of valid UTF-8 replaced by U+FFFD
};

// Why a PATH, or an entry of a folder named as PATH, gave no recording; the
// last two are notes on recordings that are taken all the same.
enum class PathFault : std::uint8_t {
  no_such_path,            // neither file nor folder
  not_a_recording_name,    // a file whose name ends in none of the recordings' extensions
  own_table,               // a table TELMOR writes (NAMEari.csv, a summary, a map table, a layout)
  same_results_file,       // another recording of the folder has the same name: one results file for two
  folder_unreadable,       // error: the system's reason
  no_recordings,           // a folder without recordings
  dangling_link,           // a link to nothing
  link_loop,               // links that lead back to themselves
  not_a_regular_file,      // type: a FIFO, a device, a socket, a folder named *.txt
  named_twice,             // the same recording again: analysed once
  name_not_utf8,           // a name that is not UTF-8: the summary shows it repaired
};

struct PathProblem {
  std::filesystem::path path{};
  PathFault fault = PathFault::no_such_path;
  std::error_code error{};  // folder_unreadable
  std::filesystem::file_type type = std::filesystem::file_type::none;  // not_a_regular_file
};

struct RecordingList {
  std::vector<ListedRecording> recordings;
  std::vector<PathProblem> problems;  // paths that gave no recording
  std::vector<PathProblem> notes;     // named_twice, name_not_utf8
};

// The extensions of recordings, in any case: .txt, .csv, .tsv, .edf, .bdf,
// .gdf, .h5, .hdf5, .mat.
bool is_recording_name(const std::string& file_name);
// A table TELMOR itself writes: NAMEari.csv, summary.csv, NAMEcv.csv,
// NAMErestitution.csv, NAMEdispersion.csv, NAME.layout.csv, a summary's notes
// NAME-notes.csv (any case).
bool is_own_table_name(const std::string& file_name);

// A file PATH is taken when it is a regular file (a link to one counts) with
// a recording's extension; a folder gives the regular files directly inside
// it with one, in name order (byte order of the names), leaving out the
// tables TELMOR writes. A PATH that does not exist, a file that is no
// recording (or one of TELMOR's tables) and a folder without recordings are
// problems; so are entries with a recording's extension, in a folder or as a
// PATH, that are links to nothing, link loops or anything but a regular file,
// none of which is ever opened. A recording named again (the same entry of
// the same folder, however reached) is taken once, with a note; two
// recordings whose results files would be one (a.txt and a.edf) are
// analysed only the first, the other a problem.
RecordingList list_recordings(const std::vector<std::filesystem::path>& paths);

// NAMEari.csv in folder: where the results file of a recording goes.
std::filesystem::path results_file_for(const ListedRecording& recording,
                                       const std::filesystem::path& folder);

// text with every byte that is not part of a valid UTF-8 sequence (stray
// continuation bytes, cut sequences, overlong forms, surrogates, beyond
// U+10FFFF) replaced by U+FFFD.
std::string repaired_utf8(std::string_view text);

}  // namespace telmor
