// The frame's 解析 menu around d and c.
#include "gui/analysis_menu.h"

#include <QActionGroup>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include "analysis_settings_dialog.h"
#include "gui/frame_language.h"

namespace telmor {

// The derivative: the centred cubic with RT on a smoothing of its own (the
// default), or the specified arithmetic (to reproduce earlier results); the
// settings of the centred search and of the beat search; the ranges the
// recording suggests. Chosen before a recording is read, the choices
// prepare it; chosen at the menu (or during a pass: at the next menu), the
// program takes them for the next c.
AnalysisMenu::AnalysisMenu(QWidget* parent, QMenu* menu, InputQueues& input, std::function<bool()> menu_waits)
    : QObject(parent), parent_(parent), input_(input), menu_waits_(std::move(menu_waits)) {
  menu->addSeparator();
  suggest_ = menu->addAction(ui("範囲を提案…"), this, [this] { suggest_ranges(); });
  suggest_->setEnabled(false);
  menu->addSeparator();
  auto* group = new QActionGroup(this);
  centred_ = menu->addAction(ui("微分: 中心化3次（既定）"));
  legacy_ = menu->addAction(ui("微分: 仕様どおり（legacy、以前の結果の再現）"));
  for (QAction* action : {centred_, legacy_}) {
    action->setCheckable(true);
    group->addAction(action);
  }
  centred_->setChecked(true);
  const auto choose = [this](Estimator kind) {
    AnalysisChoice now = choice();
    now.kind = kind;
    set_choice(now);
  };
  connect(centred_, &QAction::triggered, this, [choose] { choose(Estimator::centred); });
  connect(legacy_, &QAction::triggered, this, [choose] { choose(Estimator::legacy); });
  settings_ = menu->addAction(ui("解析の設定…"), this, [this] {
    if (const std::optional<AnalysisChoice> chosen = ask_analysis_settings(parent_, choice())) set_choice(*chosen);
  });
  show_choice();
}

AnalysisChoice AnalysisMenu::choice() const {
  const std::lock_guard lock(mutex_);
  return choice_;
}

void AnalysisMenu::set_choice(const AnalysisChoice& chosen) {
  {
    const std::lock_guard lock(mutex_);
    if (chosen == choice_) return;
    choice_ = chosen;
  }
  show_choice();
  pending_ = true;
  send_choice();
}

void AnalysisMenu::line_asked(bool at_menu) {
  suggest_->setEnabled(at_menu);
  if (at_menu) send_choice();
}

void AnalysisMenu::stop_asking() { suggest_->setEnabled(false); }

void AnalysisMenu::show_choice() {
  const AnalysisChoice now = choice();
  centred_->setChecked(now.kind == Estimator::centred);
  legacy_->setChecked(now.kind == Estimator::legacy);
  settings_->setToolTip(ui("RT用の平滑化 前後 %1 ms、拍の前後の除外 %2 / %3 ms")
                            .arg(now.rt_smooth_points)
                            .arg(now.blank_before_ms)
                            .arg(now.blank_after_ms));
}

// At the menu the program takes the choices at once; otherwise they wait
// for the next menu.
void AnalysisMenu::send_choice() {
  if (!pending_ || !menu_waits_()) return;
  MenuEdit edit;
  edit.what = MenuEdit::What::analysis;
  if (input_.push_menu_edit(edit)) pending_ = false;
}

void AnalysisMenu::suggest_ranges() {
  if (!menu_waits_()) return;
  MenuEdit edit;
  edit.what = MenuEdit::What::suggest_ranges;
  input_.push_menu_edit(edit);
}

void AnalysisMenu::answer_ranges_question(const RangeBounds& suggested) {
  input_.answer_ranges(ask_range_answer ? ask_range_answer(suggested) : ranges_dialog(suggested));
}

RangeAnswer AnalysisMenu::ranges_dialog(const RangeBounds& b) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("TELMOR"),
                  ui("記録から提案された認識範囲（グラフに線で示しています）:\n\n"
                                 "AT %1〜%2 ms、RT %3〜%4 ms（拍から）\n\n"
                                 "この範囲にしますか？")
                      .arg(b.at_from)
                      .arg(b.at_to)
                      .arg(b.rt_from)
                      .arg(b.rt_to),
                  QMessageBox::NoButton, parent_);
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
