// The results view: every lead and beat of the AT and RT tables at a glance,
// as AT, RT or ARI (RT - AT) in whole ms on a colour scale, with the cells
// that ask for a look flagged and listed, the cells with hand marks marked,
// and per lead the beats with both marks, the mean and the standard
// deviation. It shows the copy the program handed over at its menu, never
// the live tables.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "session/results_grid.h"
#include "console/window_layer.h"
#include "record/results_snapshot.h"

class QComboBox;
class QLabel;
class QListWidget;
class QTableWidget;

namespace telmor {

class ScaleLegend;

// Item data of a grid cell: true when it asks for a look, and when one of its
// marks was made by hand.
inline constexpr int kFlaggedRole = Qt::UserRole + 1;
inline constexpr int kByHandRole = Qt::UserRole + 2;

class ResultsView : public QWidget {
 public:
  explicit ResultsView(QWidget* parent = nullptr);

  // The tables as the program last showed them at its menu.
  void show_results(std::shared_ptr<const ResultsSnapshot> results);
  void show_quantity(MarkQuantity quantity);
  MarkQuantity quantity() const;
  // Marks the cell of the pass window on show (none outside a pass).
  void show_place(const Place& place);

  // A cell double-clicked or entered (Enter), and the column menu's removal
  // of a beat's marks, by lead and beat (0: before the first beat).
  std::function<void(int lead, int beat)> on_cell_activated;
  std::function<void(int beat)> on_drop_beat;
  // Called whenever the view has been built again (new tables, another quantity).
  std::function<void()> on_rebuilt;
  // The beat of a table column, -1 for the figure columns.
  int beat_of_column(int column) const;
  int column_of(int beat) const;  // table column of beat 0..n, or -1
  const BeatTable& beats() const { return beats_; }
  const ResultsSnapshot* results() const { return results_.get(); }

  const ResultsGrid& grid() const { return grid_; }
  // "誘導N", with the lead's channel label where the recording names it.
  QString lead_name(int lead) const;
  QTableWidget* table() const { return table_; }
  QListWidget* review() const { return review_; }
  QLabel* counts_line() const { return counts_; }
  QLabel* flagged_line() const { return flagged_; }
  QComboBox* quantity_switch() const { return quantity_; }

 private:
  void rebuild();
  // The pieces of a rebuild: headers, one cell (with its review list entry),
  // a lead's figures.
  void set_headers();
  QString cell_tip(int lead, int beat) const;
  void fill_cell(int lead, int beat);
  void fill_figures(int lead);
  void mark_place();
  void column_menu(const QPoint& at);

  QComboBox* quantity_;
  QLabel* counts_;
  QLabel* flagged_;
  ScaleLegend* legend_;
  QTableWidget* table_;
  QListWidget* review_;
  std::shared_ptr<const ResultsSnapshot> results_;
  BeatTable beats_;
  ResultsGrid grid_;
  Place place_;
};

}  // namespace telmor
