// The frame's 解析 menu around d and c: the derivative, the analysis
// settings, and ranges suggested from the recording.
#include <QActionGroup>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "analysis_settings_dialog.h"
#include "gui/frame_window.h"
#include "gui/frame_language.h"

namespace telmor {

// The derivative: the centred cubic with RT on a smoothing of its own (the
// default), or the specified arithmetic (to reproduce earlier results); the
// settings of the centred search and of the beat search; the ranges the
// recording suggests. Chosen before a recording is read, the choices
// prepare it; chosen at the menu (or during a pass: at the next menu), the
// program takes them for the next c.
void FrameWindow::build_analysis_menu(QMenu* analysis) {
  analysis->addSeparator();
  suggest_action_ = analysis->addAction(ui("範囲を提案…"), this, [this] { suggest_ranges(); });
  suggest_action_->setEnabled(false);
  analysis->addSeparator();
  auto* group = new QActionGroup(this);
  centred_action_ = analysis->addAction(ui("微分: 中心化3次（既定）"));
  legacy_action_ = analysis->addAction(ui("微分: 仕様どおり（legacy、以前の結果の再現）"));
  for (QAction* action : {centred_action_, legacy_action_}) {
    action->setCheckable(true);
    group->addAction(action);
  }
  centred_action_->setChecked(true);
  const auto choose = [this](Estimator kind) {
    AnalysisChoice choice = analysis_choice();
    choice.kind = kind;
    set_analysis_choice(choice);
  };
  connect(centred_action_, &QAction::triggered, this, [choose] { choose(Estimator::centred); });
  connect(legacy_action_, &QAction::triggered, this, [choose] { choose(Estimator::legacy); });
  settings_action_ = analysis->addAction(ui("解析の設定…"), this, [this] {
    if (const std::optional<AnalysisChoice> choice = ask_analysis_settings(this, analysis_choice()))
      set_analysis_choice(*choice);
  });
  show_analysis_choice();
}

void FrameWindow::show_analysis_choice() {
  const AnalysisChoice choice = analysis_choice();
  centred_action_->setChecked(choice.kind == Estimator::centred);
  legacy_action_->setChecked(choice.kind == Estimator::legacy);
  settings_action_->setToolTip(ui("RT用の平滑化 前後 %1 ms、拍の前後の除外 %2 / %3 ms")
                                   .arg(choice.rt_smooth_points)
                                   .arg(choice.blank_before_ms)
                                   .arg(choice.blank_after_ms));
}

AnalysisChoice FrameWindow::analysis_choice() const {
  const std::lock_guard lock(analysis_mutex_);
  return analysis_;
}

void FrameWindow::set_analysis_choice(const AnalysisChoice& choice) {
  {
    const std::lock_guard lock(analysis_mutex_);
    if (choice == analysis_) return;
    analysis_ = choice;
  }
  show_analysis_choice();
  analysis_pending_ = true;
  send_analysis_choice();
}

// At the menu the program takes the choices at once; otherwise they wait
// for the next menu.
void FrameWindow::send_analysis_choice() {
  if (!analysis_pending_ || !menu_waits()) return;
  MenuEdit edit;
  edit.what = MenuEdit::What::analysis;
  if (input_.push_menu_edit(edit)) analysis_pending_ = false;
}

void FrameWindow::suggest_ranges() {
  if (!menu_waits()) return;
  MenuEdit edit;
  edit.what = MenuEdit::What::suggest_ranges;
  input_.push_menu_edit(edit);
}

void FrameWindow::answer_ranges_question(const RangeBounds& suggested) {
  input_.answer_ranges(ask_range_answer ? ask_range_answer(suggested) : ranges_dialog(suggested));
}

RangeAnswer FrameWindow::ranges_dialog(const RangeBounds& b) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("TELMOR"),
                  ui("記録から提案された認識範囲（グラフに線で示しています）:\n\n"
                                 "AT %1〜%2 ms、RT %3〜%4 ms（拍から）\n\n"
                                 "この範囲にしますか？")
                      .arg(b.at_from)
                      .arg(b.at_to)
                      .arg(b.rt_from)
                      .arg(b.rt_to),
                  QMessageBox::NoButton, this);
  QPushButton* accept = box.addButton(ui("この範囲にする"), QMessageBox::AcceptRole);
  QPushButton* click = box.addButton(ui("クリックで指定する"), QMessageBox::ActionRole);
  box.addButton(ui("変えない"), QMessageBox::RejectRole);
  box.setDefaultButton(accept);
  box.exec();
  if (box.clickedButton() == accept) return RangeAnswer::accept;
  if (box.clickedButton() == click) return RangeAnswer::click;
  return RangeAnswer::cancel;
}

}  // namespace telmor
