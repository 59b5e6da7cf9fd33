// ファイル → 記録を開く…: a recording of any format from any folder, its part
// chosen, handed to the program, which starts over with it.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "base/utf8_path.h"
#include "gui/frame_window.h"
#include "gui/open_recording_dialog.h"
#include "gui/frame_language.h"

namespace telmor {

std::shared_ptr<const OpenRequest> FrameWindow::ask_recording_part(const QString& file) {
  OpenRecordingDialog dialog(file, this);
  if (dialog.exec() != QDialog::Accepted) return nullptr;
  return dialog.request();
}

void FrameWindow::ask_and_open_recording(QString file) {
  if (file.isEmpty()) {
    const QString start = results_ && !results_->results_file.empty()
                              ? QString::fromStdString(utf8_from_path(results_->results_file.parent_path()))
                              : QDir::currentPath();
    file = QFileDialog::getOpenFileName(
        this, ui("記録を開く"), start,
        ui("記録 (*.txt *.csv *.tsv *.edf *.bdf *.gdf *.h5 *.hdf5 *.mat);;すべてのファイル (*)"));
    if (file.isEmpty()) return;
  }
  std::shared_ptr<const OpenRequest> request = ask_recording_part(file);
  if (!request) return;
  if (unsaved_) {
    QMessageBox ask(QMessageBox::Warning, ui("記録を開く"),
                    ui("保存していない AT と RT の変更があります。別の記録を開くと失われます。\n"
                                   "残すには、キャンセルして s で保存してください。"),
                    QMessageBox::NoButton, this);
    QPushButton* discard = ask.addButton(ui("破棄して開く"), QMessageBox::DestructiveRole);
    ask.addButton(QMessageBox::Cancel);
    ask.exec();
    if (ask.clickedButton() != discard) return;
    show_unsaved(false);  // the edits are given up: no recovery file of them either
  }
  input_.request_open(std::move(request));
}

}  // namespace telmor
