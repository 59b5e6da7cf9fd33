// Review by exception: from a flagged cell of the results view to its pass
// window, the walk along the flagged windows, the view that follows the
// pass, and the removal of a false beat's marks at the menu.
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <cmath>

#include "gui/chart_canvas.h"
#include "gui/frame_window.h"
#include "gui/results_view.h"
#include "gui/frame_language.h"
#include "session/review_list.h"

namespace telmor {
namespace {

MarkQuantity quantity_of(MarkKind kind) {
  return kind == MarkKind::rt ? MarkQuantity::rt : MarkQuantity::at;
}

// The kind of the marks the view shows; ARI's count as AT's.
MarkKind kind_shown(MarkQuantity quantity) { return quantity == MarkQuantity::rt ? MarkKind::rt : MarkKind::at; }

// The menu's letter of a kind's pass.
QString pass_letter(MarkKind kind) { return kind == MarkKind::rt ? QStringLiteral("r") : QStringLiteral("a"); }

// The event that moves a pass to the window of lead holding ms.
MouseEvent go_to(int lead, std::int32_t ms) {
  MouseEvent go;
  go.event = kPassKey;
  go.key = PassKey::go_to;
  go.to_lead = lead;
  go.to_ms = ms;
  return go;
}

QString kind_name(MarkKind kind) { return QString::fromLatin1(mark_kind_name(kind)); }

}  // namespace

void FrameWindow::build_review() {
  next_review_ = new QAction(ui("次の要確認"), this);
  next_review_->setShortcut(QKeySequence(Qt::Key_F3));
  previous_review_ = new QAction(ui("前の要確認"), this);
  previous_review_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
  connect(next_review_, &QAction::triggered, this, [this] { walk_review(true); });
  connect(previous_review_, &QAction::triggered, this, [this] { walk_review(false); });
  next_review_->setEnabled(false);
  previous_review_->setEnabled(false);
  correction_menu_->addSeparator();
  correction_menu_->addAction(previous_review_);
  correction_menu_->addAction(next_review_);
  QToolBar* tools = addToolBar(ui("要確認"));
  tools->setObjectName(QStringLiteral("review"));
  tools->addAction(previous_review_);
  tools->addAction(next_review_);
  review_label_ = new QLabel(this);
  statusBar()->addWidget(review_label_);

  results_view_->on_cell_activated = [this](int lead, int beat) { review_cell(lead, beat); };
  results_view_->on_drop_beat = [this](int beat) { drop_beat(beat); };
  results_view_->on_rebuilt = [this] { update_review_count(); };
}

void FrameWindow::update_review_count() {
  const MarkKind kind = pass_waits_ && place_.lead != 0 ? place_.kind : kind_shown(results_view_->quantity());
  const std::size_t count = review_items(results_view_->beats(), quantity_of(kind)).size();
  review_label_->setText(ui("要確認 %1件").arg(count));
}

void FrameWindow::start_review(bool forward) {
  const MarkKind kind = kind_shown(results_view_->quantity());
  const std::vector<ReviewItem> items = review_items(results_view_->beats(), quantity_of(kind));
  if (items.empty()) {
    review_label_->setText(ui("要確認 0件"));
    show_note(ui("%1に要確認の窓はありません").arg(kind_name(kind)));
    return;
  }
  const std::size_t k = forward ? 0 : items.size() - 1;
  const ReviewItem& item = items[k];
  if (!canvas_->send_reply(pass_letter(kind))) return;
  stop_asking();
  review_label_->setText(ui("要確認 %1/%2").arg(k + 1).arg(items.size()));
  input_.push_mouse_event(go_to(item.lead, item.target_ms));
}

QString FrameWindow::review_text() const { return review_label_->text(); }

bool FrameWindow::menu_waits() const {
  const QAction* exit = letter_action('x');
  return exit != nullptr && exit->isEnabled();
}

std::optional<MarkKind> FrameWindow::choose_ari_kind() {
  if (ask_ari_kind) return ask_ari_kind();
  QMessageBox box(QMessageBox::Question, QStringLiteral("TELMOR"),
                  ui("ARIのセルです。どちらを修正しますか？"), QMessageBox::NoButton, this);
  QPushButton* at = box.addButton(ui("AT修正"), QMessageBox::AcceptRole);
  QPushButton* rt = box.addButton(ui("RT修正"), QMessageBox::AcceptRole);
  box.addButton(ui("キャンセル"), QMessageBox::RejectRole);
  box.exec();
  if (box.clickedButton() == at) return MarkKind::at;
  if (box.clickedButton() == rt) return MarkKind::rt;
  return std::nullopt;
}

void FrameWindow::review_cell(int lead, int beat) {
  const BeatTable& table = results_view_->beats();
  if (lead < 1 || lead > table.leads || beat < 0 || beat > table.beat_count()) return;
  std::optional<MarkKind> kind;
  switch (results_view_->quantity()) {
    case MarkQuantity::at:
      kind = MarkKind::at;
      break;
    case MarkQuantity::rt:
      kind = MarkKind::rt;
      break;
    case MarkQuantity::ari:
      kind = pass_waits_ ? std::optional<MarkKind>(place_.kind) : choose_ari_kind();
      break;
  }
  if (!kind) return;
  const MouseEvent go = go_to(lead, cell_target_ms(table, lead, beat, quantity_of(*kind)));
  if (pass_waits_) {
    if (*kind != place_.kind) {
      show_note(ui("%1修正中です。%2のセルの窓へは移れません").arg(kind_name(place_.kind), kind_name(*kind)));
      return;
    }
    input_.push_mouse_event(go);
    return;
  }
  if (!menu_waits()) {
    show_note(ui("セルから窓へ移れるのはメニューか修正中だけです"));
    return;
  }
  // The letter starts the pass; the go-to waits in the queue for its first
  // mouse wait (the letter's read has already dropped what was queued).
  if (!canvas_->send_reply(pass_letter(*kind))) return;
  stop_asking();
  input_.push_mouse_event(go);
}

void FrameWindow::walk_review(bool forward) {
  if (!pass_waits_ && menu_waits()) {
    start_review(forward);
    return;
  }
  if (!pass_waits_ || place_.lead == 0) return;
  const std::vector<ReviewItem> items = review_items(results_view_->beats(), quantity_of(place_.kind));
  const int k = next_review(items, place_, forward);
  if (k < 0) {
    review_label_->setText(ui("要確認 %1件").arg(items.size()));
    show_note(forward ? ui("この先に要確認の窓はありません")
                      : ui("この前に要確認の窓はありません"));
    return;
  }
  const ReviewItem& item = items[static_cast<std::size_t>(k)];
  review_label_->setText(ui("要確認 %1/%2").arg(k + 1).arg(items.size()));
  input_.push_mouse_event(go_to(item.lead, item.target_ms));
}

void FrameWindow::drop_beat(int beat) {
  const BeatTable& table = results_view_->beats();
  if (beat < 1 || beat > table.beat_count()) return;
  if (!menu_waits()) {
    show_note(ui("拍の印を削除できるのはメニューの時だけです"));
    return;
  }
  MenuEdit edit;
  edit.beat_ms = table.beats[static_cast<std::size_t>(beat - 1)];
  // 元に戻す is enabled when the program reads its letter again.
  input_.push_menu_edit(edit);
}

void FrameWindow::undo() {
  if (pass_waits_) {
    input_.push_pass_key(PassKey::undo);
    return;
  }
  if (!menu_waits() || !results_ || results_->undo_steps == 0) return;
  MenuEdit edit;
  edit.what = MenuEdit::What::undo;
  // One step at a time: enabled again when the menu asks with the tables after it.
  if (input_.push_menu_edit(edit)) undo_action_->setEnabled(false);
}

void FrameWindow::show_live_results(std::shared_ptr<const ResultsSnapshot> live) {
  auto merged = std::make_shared<ResultsSnapshot>(*live);
  if (results_) {
    // The figures of the last menu stay for each lead whose column the pass
    // has not changed; a changed column shows none until the menu.
    for (std::size_t l = 0; l < kMaxLeads; ++l) {
      if (live->marks.at_ms_table[l] == results_->marks.at_ms_table[l] &&
          live->marks.at_beat_count == results_->marks.at_beat_count) {
        merged->figures.at_fine_ms[l] = results_->figures.at_fine_ms[l];
        merged->figures.at_quality[l] = results_->figures.at_quality[l];
      }
      if (live->marks.rt_ms_table[l] == results_->marks.rt_ms_table[l] &&
          live->marks.rt_beat_count == results_->marks.rt_beat_count) {
        merged->figures.rt_fine_ms[l] = results_->figures.rt_fine_ms[l];
        merged->figures.rt_quality[l] = results_->figures.rt_quality[l];
      }
    }
  }
  results_view_->show_results(std::move(merged));
}

}  // namespace telmor
