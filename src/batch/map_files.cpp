// Writing the maps' tables and figure of one recording.
#include "map_files.h"

#include <algorithm>
#include <string>

#include "tissue/beat_maps.h"
#include "tissue/dispersion.h"
#include "tables/maps_csv.h"
#include "tissue/restitution.h"
#include "figures/recording_figure.h"
#include "base/utf8_path.h"
#include "files/file_replace.h"

namespace telmor {

MapFilesFailure write_map_files(const ListedRecording& recording, const BeatTable& marks,
                                const ElectrodeLayout& layout, bool figures, const std::vector<std::string>& labels,
                                const std::filesystem::path& folder,
                                std::vector<LeftTemporary>& left_temporaries, BatchStep& step) {
  const std::string& name = recording.summary_name;
  struct File {
    std::string_view suffix;
    std::string content;
  };
  std::vector<File> files;
  const std::vector<CvVector> velocities = all_velocities(marks, layout);
  const auto without_value = static_cast<int>(std::count_if(
      velocities.begin(), velocities.end(), [](const CvVector& v) { return v.flag == CvFlag::no_value; }));
  files.push_back({kMapTableSuffixes[0], cv_csv(name, velocities)});
  files.push_back({kMapTableSuffixes[1], restitution_csv(name, restitution(marks))});
  files.push_back({kMapTableSuffixes[2], dispersion_csv(name, dispersion(marks))});
  if (figures) {
    step = BatchStep::figures;
    FigureData figure = figure_data(name, marks, layout);
    figure.labels = labels;
    files.push_back({"figure.svg", figure_svg(figure)});
    files.push_back({"figure.png", figure_png(figure)});
  }
  for (const File& file : files) {
    const std::filesystem::path target = map_file_for(recording, folder, file.suffix);
    // An empty figure is cairo's failure to draw it: nothing worth a file.
    if (file.content.empty()) return {target, std::make_error_code(std::errc::io_error)};
    if (const std::error_code error = replace_file_contents(target, file.content, left_temporaries))
      return {target, error};
  }
  MapFilesFailure written;
  written.velocities_without_value = without_value;
  const LeftOut out = left_out(marks);
  written.left_dead = out.dead_lead;
  written.left_flagged = out.flagged;
  return written;
}

}  // namespace telmor
