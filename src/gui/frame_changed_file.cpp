// The question of a save that finds the results file changed elsewhere
// (another desktop saved it, or it was removed or made since): keeping the
// other's file is the default, and only an explicit choice overwrites it.
#include <QMessageBox>
#include <QPushButton>

#include "gui/frame_language.h"
#include "gui/frame_window.h"

namespace telmor {
namespace {

QString what_happened(FileChange change) {
  switch (change) {
    case FileChange::removed:
      return ui("結果ファイル\n%1\nは、この画面が最後に見た後に、ほかで削除されています。");
    case FileChange::created:
      return ui("結果ファイル\n%1\nは、この画面が最後に見た時にはありませんでしたが、その後ほかで作られています"
                "（別のTELMORなど）。");
    case FileChange::changed:
    case FileChange::none:
      break;
  }
  return ui("結果ファイル\n%1\nは、この画面が最後に見た（開いた、読込んだ、保存した）後に、"
            "ほかで保存されています（別のTELMORなど）。");
}

}  // namespace

void FrameWindow::answer_changed_file_question(const ChangedFile& changed) {
  input_.answer_changed_file(ask_changed_file ? ask_changed_file(changed) : changed_file_dialog(changed));
}

ChangedFileAnswer FrameWindow::changed_file_dialog(const ChangedFile& changed) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("TELMOR"),
                  what_happened(changed.change).arg(QString::fromStdString(changed.shown_path)) +
                      ui("\n\nこの画面の表で上書きしますか？\n上書きしなければ、そのファイルはそのままで、"
                         "この画面の表は未保存のままです。"),
                  QMessageBox::NoButton, this);
  QPushButton* keep = box.addButton(ui("上書きしない（そのファイルを残す）"), QMessageBox::RejectRole);
  QPushButton* overwrite = box.addButton(ui("上書きする"), QMessageBox::DestructiveRole);
  box.setDefaultButton(keep);
  box.setEscapeButton(keep);
  box.exec();
  return box.clickedButton() == overwrite ? ChangedFileAnswer::overwrite : ChangedFileAnswer::keep;
}

}  // namespace telmor
