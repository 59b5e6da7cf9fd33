// The maps dock as an optional part of the frame: a build without the maps
// has none (make_maps_part gives null), and the frame asks nothing of it.
#pragma once

#include <memory>

#include "record/results_snapshot.h"

class QDockWidget;
class QMainWindow;
class QMenu;
class QWidget;

namespace telmor {

class MapsPart {
 public:
  virtual ~MapsPart() = default;
  // The dock, parented to the frame, and the view inside it.
  virtual QDockWidget* dock() const = 0;
  virtual QWidget* view() const = 0;
  // Its entries of the View menu: the dock's toggle and 電極の配置を開く….
  virtual void add_view_actions(QMenu* view) = 0;
  // The maps follow the tables; the layout beside a recording's results file
  // is looked for once per file, unless one was chosen.
  virtual void show_results(const std::shared_ptr<const ResultsSnapshot>& results) = 0;
};

// The frame's maps dock, or null in a build without the maps.
std::unique_ptr<MapsPart> make_maps_part(QMainWindow* frame);

}  // namespace telmor
