// A build without the maps (no Qhull, no Cairo): the options that ask for
// the maps' files are refused before a recording is read, so nothing asks
// for them.
#include "map_files.h"

namespace telmor {

MapFilesFailure write_map_files(const ListedRecording&, const BeatTable&, const ElectrodeLayout&, bool, const std::vector<std::string>&,
                                const std::filesystem::path&, std::vector<LeftTemporary>&, BatchStep&) {
  return {};
}

}  // namespace telmor
