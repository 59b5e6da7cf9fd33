// Edits that survive a crash, the frame's part: the tables handed over are
// kept in the recovery file while unsaved, and a recovery file found after a
// recording's overview is offered back; a restore goes to the program at its
// menu, so that the tables change only on the program's thread.
#include <QDateTime>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cmath>

#include "gui/frame_window.h"
#include "session/recovery_file.h"
#include "gui/recovery_keeper.h"
#include "gui/frame_language.h"
#include "base/number_text.h"

namespace telmor {

void FrameWindow::keep_tables(const std::shared_ptr<const ResultsSnapshot>& tables, bool at_once) {
  // The unsaved state comes before the tables it belongs to.
  if (unsaved_) recovery_->keep(tables, at_once);
}

void FrameWindow::keep_recovery_now() { recovery_->flush(); }

void FrameWindow::offer_recovery(const std::filesystem::path& results_file) {
  if (results_file.empty() || results_file == recovery_looked_beside_) return;
  recovery_looked_beside_ = results_file;
  const RecoveryFindings found = find_recoveries(results_file);
  const auto name = [](const std::filesystem::path& file) {
    return QString::fromStdU16String(file.filename().u16string());
  };
  for (const RecoveryFindings::Damaged& damaged : found.damaged) {
    show_note(damaged.moved_to.empty()
                  ? ui("回復ファイル %1 は読めません（壊れているか、通常のファイルではありません）")
                        .arg(name(damaged.file))
                  : ui("回復ファイル %1 は読めないので %2 に移しました")
                        .arg(name(damaged.file), name(damaged.moved_to)));
  }
  for (const std::filesystem::path& file : found.kept_elsewhere) {
    show_note(ui("この記録は別のTELMORでも開かれています。その未保存の表は %1 にあります")
                  .arg(name(file)));
  }
  for (const RecoveryOffer& offer : found.offers) {
    const RecoveryChoice choice = ask_recovery_choice ? ask_recovery_choice(offer) : recovery_dialog(offer);
    if (choice == RecoveryChoice::restore && results_ && offer.recovered.lead_count == results_->lead_count) {
      restore_ = std::make_shared<const RestoredTables>(offer.recovered.tables);
      recovery_->adopt(offer.file);
      send_restore();
      return;  // the others wait for the next start
    }
    if (choice == RecoveryChoice::discard) {
      std::error_code ignored;  // gone already is as good
      std::filesystem::remove(offer.file, ignored);
      show_note(ui("回復ファイルを破棄しました"));
    }
  }
}

RecoveryChoice FrameWindow::recovery_dialog(const RecoveryOffer& offer) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      offer.written.time_since_epoch());
  const QString when =
      QDateTime::fromMSecsSinceEpoch(ms.count()).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  const Recovered& run = offer.recovered;
  const bool fits = results_ && run.lead_count == results_->lead_count;
  QString text = ui("保存していない変更の回復ファイルがあります。\n\n") +
                 QString::fromStdU16String(offer.file.u16string()) +
                 ui("\n書き込み: ") + when +
                 ui("\n設定: 誘導 %1、平滑化 %2 点、振幅比 %3、AT範囲 %4〜%5 ms、RT範囲 %6〜%7 ms")
                     .arg(run.lead_count)
                     .arg(run.smooth_points)
                     .arg(QString::fromStdString(format_real(run.amp_ratio)))
                     .arg(run.tables.at_from)
                     .arg(run.tables.at_to)
                     .arg(run.tables.rt_from)
                     .arg(run.tables.rt_to) +
                 (run.estimator == Estimator::legacy
                      ? ui("、微分 仕様どおり（legacy）")
                      : ui("、微分 中心化3次（RT用の平滑化 前後 %1 点）").arg(run.rt_smooth_points)) +
                 ui("\n結果ファイルと異なる印: %1 個").arg(offer.differing_marks);
  // A few are named: where they are and what became of them.
  if (offer.differing_marks <= static_cast<int>(offer.differences.size())) {
    const auto time = [](double t) { return QString::fromStdString(format_fixed(t, 0)) + QStringLiteral(" ms"); };
    for (const MarkDifference& d : offer.differences) {
      text += ui("\n  誘導%1 %2 ").arg(d.lead).arg(d.rt ? QStringLiteral("RT") : QStringLiteral("AT"));
      if (std::isnan(d.recovered_ms)) text += ui("%1 を削除").arg(time(d.in_file_ms));
      else if (std::isnan(d.in_file_ms)) text += ui("%1 を追加").arg(time(d.recovered_ms));
      else text += time(d.in_file_ms) + QStringLiteral(" → ") + time(d.recovered_ms);
    }
  }
  if (offer.older_than_results)
    text += ui("\n\n注意: 結果ファイルはこの回復ファイルより後に書かれています。");
  text += fits ? ui("\n\n復元すると表は回復ファイルのものになります（未保存）。")
               : ui("\n\n誘導数が %1 で、この記録と合わないので復元できません。")
                     .arg(run.lead_count);
  QMessageBox box(QMessageBox::Question, QStringLiteral("TELMOR"), text, QMessageBox::NoButton, this);
  QPushButton* restore = box.addButton(ui("復元(&R)"), QMessageBox::AcceptRole);
  restore->setEnabled(fits);
  QPushButton* discard = box.addButton(ui("破棄"), QMessageBox::DestructiveRole);
  QPushButton* later = box.addButton(ui("後で"), QMessageBox::RejectRole);
  // A key typed for the console as the dialog appears must not change the
  // tables: only a click or a chosen button restores.
  box.setDefaultButton(later);
  box.exec();
  if (box.clickedButton() == restore) return RecoveryChoice::restore;
  if (box.clickedButton() == discard) return RecoveryChoice::discard;
  return RecoveryChoice::later;
}

void FrameWindow::send_restore() {
  if (!restore_ || !menu_waits()) return;
  MenuEdit edit;
  edit.what = MenuEdit::What::restore;
  edit.restored = restore_;
  if (input_.push_menu_edit(edit)) {
    restore_.reset();
    return;
  }
  // The program has asked for its letter but is not reading yet.
  QTimer::singleShot(10, this, [this] { send_restore(); });
}

}  // namespace telmor
