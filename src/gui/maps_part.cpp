// The frame's maps dock.
#include "gui/maps_part.h"

#include <QPushButton>
#include <QScrollArea>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>

#include <filesystem>

#include "gui/dock_content.h"
#include "gui/frame_language.h"
#include "gui/maps_dock.h"

namespace telmor {
namespace {

class MapsDockPart final : public MapsPart {
 public:
  explicit MapsDockPart(QMainWindow* frame) : view_(new MapsDock), dock_(new QDockWidget(ui("マップ"), frame)) {
    dock_->setObjectName(QStringLiteral("maps"));
    dock_->setWidget(yielding(view_));  // takes ownership
  }
  QDockWidget* dock() const override { return dock_; }
  QWidget* view() const override { return view_; }

  void add_view_actions(QMenu* view) override {
    QAction* maps = dock_->toggleViewAction();
    maps->setText(ui("マップ"));
    view->addAction(maps);
    view->addAction(ui("電極の配置を開く…"), dock_, [this] {
      dock_->show();
      dock_->raise();
      view_->choose_button()->click();
    });
  }

  void show_results(const std::shared_ptr<const ResultsSnapshot>& results) override {
    view_->show_results(results);
    if (results->results_file.empty() || results->results_file == layout_looked_beside_) return;
    layout_looked_beside_ = results->results_file;
    view_->use_layout_beside(results->results_file.parent_path(), results->recording);
  }

 private:
  MapsDock* view_;
  QDockWidget* dock_;
  std::filesystem::path layout_looked_beside_;  // the results file whose folder was looked in
};

}  // namespace

std::unique_ptr<MapsPart> make_maps_part(QMainWindow* frame) { return std::make_unique<MapsDockPart>(frame); }

}  // namespace telmor
