// The frame's menus and the exports they offer.
#include <QDockWidget>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>

#include "analysis/summary_csv.h"
#include "gui/chart_canvas.h"
#include "gui/frame_window.h"
#include "results/file_replace.h"
#include "results/results_messages.h"

namespace telmor {

void FrameWindow::build_menus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  file->addAction(QStringLiteral("表をCSVで保存…"), this, [this] { ask_and_save_table(); });
  file->addAction(QStringLiteral("グラフを画像で保存…"), this, [this] { ask_and_save_chart(); });

  QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
  QAction* table = results_dock_->toggleViewAction();
  table->setText(QStringLiteral("結果表"));
  view->addAction(table);
}

bool FrameWindow::save_table_csv(const QString& path, QString& reason) const {
  const std::string text = results_table_csv(results_ ? *results_ : ResultsSnapshot{});
  if (const std::error_code error = replace_file_contents(path.toStdU16String(), text)) {
    reason = QString::fromStdString(write_error_reason(error));
    return false;
  }
  return true;
}

bool FrameWindow::save_chart_image(const QString& path, QString& reason) const {
  if (canvas_->snapshot().save(path, "PNG")) return true;
  reason = QStringLiteral("画像を書けません。");
  return false;
}

void FrameWindow::ask_and_save_table() {
  const QString name = results_ && !results_->recording.empty()
                           ? QString::fromStdString(results_->recording) + QStringLiteral("_table.csv")
                           : QStringLiteral("table.csv");
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("表をCSVで保存"), name,
                                                    QStringLiteral("CSV (*.csv)"));
  QString reason;
  if (!path.isEmpty() && !save_table_csv(path, reason))
    QMessageBox::warning(this, QStringLiteral("表をCSVで保存"), path + "\n" + reason);
}

void FrameWindow::ask_and_save_chart() {
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("グラフを画像で保存"),
                                                    QStringLiteral("chart.png"),
                                                    QStringLiteral("PNG (*.png)"));
  QString reason;
  if (!path.isEmpty() && !save_chart_image(path, reason))
    QMessageBox::warning(this, QStringLiteral("グラフを画像で保存"), path + "\n" + reason);
}

}  // namespace telmor
