// The maps dock: with the electrodes' positions, the AT, RT or ARI map of a
// chosen beat with its conduction velocity arrows, the ARI map, the
// restitution and the dispersion of the tables the program last showed at
// its menu; drawn by the same code as telmor-batch's figures, and saved as
// SVG or PNG.
#pragma once

#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "timing/beat_table.h"
#include "signal/electrode_layout.h"
#include "record/results_snapshot.h"

class QCheckBox;
class QComboBox;
class QTableWidget;
class QLabel;
class QPushButton;

namespace telmor {

class FigureCanvas;
struct FigureData;

class MapsDock : public QWidget {
 public:
  explicit MapsDock(QWidget* parent = nullptr);

  // The tables as the program last showed them at its menu.
  void show_results(std::shared_ptr<const ResultsSnapshot> results);
  // The layout file NAME.layout.csv in folder, when there is one (false: none
  // there; the dock says so).
  bool use_layout_beside(const std::filesystem::path& folder, const std::string& name);
  // A layout file; false, with the reason in the dock's line, when it cannot be read.
  bool use_layout_file(const std::filesystem::path& file);
  // Writes the figure as shown (the chosen beat and map) as SVG or PNG by the
  // file's extension; the system's reason when it cannot.
  std::error_code save_figure(const std::filesystem::path& file) const;

  QComboBox* beat_choice() const { return beat_; }
  QComboBox* map_choice() const { return map_; }
  QLabel* layout_line() const { return layout_line_; }
  QPushButton* choose_button() const { return choose_; }
  QPushButton* save_button() const { return save_; }
  const std::optional<ElectrodeLayout>& layout() const { return layout_; }
  // The figure drawn at the given size (for tests and exports).
  QImage render(int width, int height) const;
  // The velocities of the beat shown: lead, speed, direction, neighbours, flag.
  QTableWidget* velocity_table() const { return velocities_; }
  QCheckBox* absolute_choice() const { return absolute_; }

 private:
  // The figure of the beat and map chosen, in the window's words.
  FigureData figure() const;
  void refresh();
  void fill_velocities();
  void choose_layout();
  void save_dialog();

  QComboBox* beat_;
  QComboBox* map_;
  QLabel* layout_line_;
  QLabel* left_out_line_;  // the marks the maps leave out, when any
  QPushButton* choose_;
  QPushButton* save_;
  QCheckBox* absolute_;  // colour bars from the recording's start rather than after the beat
  FigureCanvas* canvas_;
  QTableWidget* velocities_;
  std::shared_ptr<const ResultsSnapshot> results_;
  BeatTable table_;
  std::optional<ElectrodeLayout> layout_;
};

}  // namespace telmor
