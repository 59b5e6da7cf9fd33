// The frame's menus, the keys of a correction pass, and what they open.
#include <QAction>
#include <QActionGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QInputDialog>
#include <QKeySequence>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <vector>

#include "console/menu_letters.h"
#include "gui/chart_canvas.h"
#include "gui/console_pane.h"
#include "gui/frame_window.h"

#include "gui/maps_dock.h"
#include "gui/help_text.h"
#include "telmor_version.h"

namespace telmor {
namespace {

// The one-letter menu's items of one group of the menu bar, in the menu's order.
std::vector<MenuLetter> letters_of(MenuGroup group, bool exit) {
  std::vector<MenuLetter> letters;
  for (const MenuLetter& item : kMenuLetters) {
    if (item.group == group && (item.action == MenuAction::exit) == exit) letters.push_back(item);
  }
  return letters;
}

}  // namespace

void FrameWindow::add_letter_action(QMenu* menu, const MenuLetter& command) {
  // Each item types its letter.
  QAction* action = menu->addAction(
      QString::fromUtf8(command.label.data(), static_cast<qsizetype>(command.label.size())) +
      QStringLiteral(" (") + QChar(command.letter) + QStringLiteral(")"));
  const char letter = command.letter;
  connect(action, &QAction::triggered, this, [this, letter] {
    if (canvas_->send_reply(QString(QChar(letter)))) {
      stop_asking();
      menu_drops_ = 0;
    }
  });
  letter_actions_.emplace_back(letter, action);
}

void FrameWindow::add_pass_key_action(QMenu* menu, const QString& text, PassKey key,
                                      const QList<QKeySequence>& keys) {
  auto* action = new QAction(text, this);
  action->setShortcuts(keys);
  // Undo also takes back a beat's marks dropped at the menu.
  if (key == PassKey::undo) {
    undo_action_ = action;
    connect(action, &QAction::triggered, this, [this] { undo(); });
  } else {
    connect(action, &QAction::triggered, this, [this, key] { input_.push_pass_key(key); });
  }
  if (menu != nullptr) {
    menu->addAction(action);
  } else {
    addAction(action);  // a key of the frame, in no menu
  }
  pass_key_actions_.emplace_back(key, action);
}

void FrameWindow::build_menus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  for (const MenuLetter& command : letters_of(MenuGroup::file, false)) add_letter_action(file, command);
  file->addSeparator();
  file->addAction(QStringLiteral("表をCSVで保存…"), this, [this] { ask_and_save_table(); });
  file->addAction(QStringLiteral("グラフを画像で保存…"), this, [this] { ask_and_save_chart(); });
  file->addSeparator();
  for (const MenuLetter& command : letters_of(MenuGroup::file, true)) add_letter_action(file, command);

  QMenu* analysis = menuBar()->addMenu(QStringLiteral("解析(&A)"));
  for (const MenuLetter& command : letters_of(MenuGroup::analysis, false))
    add_letter_action(analysis, command);
  build_derivative_menu(analysis);

  build_correction_menu();
  build_view_menu();

  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  QAction* usage = help->addAction(QStringLiteral("使い方"), this, [this] { show_help(); });
  usage->setShortcut(QKeySequence::HelpContents);
  help->addAction(QStringLiteral("バージョン情報"), this, [this] { show_version(); });
}

// The derivative: the centred cubic with RT on a smoothing of its own (the
// default), or the specified arithmetic (to reproduce earlier results).
// Chosen before a recording is read it prepares it; chosen at the menu the
// signals are differentiated again for the next c.
void FrameWindow::build_derivative_menu(QMenu* analysis) {
  analysis->addSeparator();
  auto* group = new QActionGroup(this);
  centred_action_ = analysis->addAction(QStringLiteral("微分: 中心化3次（既定）"));
  legacy_action_ = analysis->addAction(QStringLiteral("微分: 仕様どおり（legacy、以前の結果の再現）"));
  for (QAction* action : {centred_action_, legacy_action_}) {
    action->setCheckable(true);
    group->addAction(action);
  }
  centred_action_->setChecked(true);
  rt_smooth_action_ = analysis->addAction(QString());
  const auto choose = [this](DerivativeKind kind) {
    AnalysisChoice choice = analysis_choice();
    choice.kind = kind;
    set_analysis_choice(choice);
  };
  connect(centred_action_, &QAction::triggered, this, [choose] { choose(DerivativeKind::centred); });
  connect(legacy_action_, &QAction::triggered, this, [choose] { choose(DerivativeKind::legacy); });
  connect(rt_smooth_action_, &QAction::triggered, this, [this] {
    AnalysisChoice choice = analysis_choice();
    bool ok = false;
    const int ms = QInputDialog::getInt(this, QStringLiteral("RT用の平滑化"),
                                        QStringLiteral("RT用の微分の窓（前後 ms、%1〜%2）:")
                                            .arg(kLeastRtSmoothing)
                                            .arg(kMostDialogueSmoothing),
                                        choice.rt_smooth_points, kLeastRtSmoothing, kMostDialogueSmoothing, 1,
                                        &ok);
    if (!ok) return;
    choice.rt_smooth_points = ms;
    set_analysis_choice(choice);
  });
  show_analysis_choice();
}

void FrameWindow::show_analysis_choice() {
  const AnalysisChoice choice = analysis_choice();
  centred_action_->setChecked(choice.kind == DerivativeKind::centred);
  legacy_action_->setChecked(choice.kind == DerivativeKind::legacy);
  rt_smooth_action_->setText(QStringLiteral("RT用の平滑化（前後 %1 ms）…").arg(choice.rt_smooth_points));
  rt_smooth_action_->setEnabled(choice.kind == DerivativeKind::centred);
}

AnalysisChoice FrameWindow::analysis_choice() const {
  const std::lock_guard lock(derivative_mutex_);
  return derivative_;
}

void FrameWindow::set_analysis_choice(const AnalysisChoice& choice) {
  {
    const std::lock_guard lock(derivative_mutex_);
    if (choice == derivative_) return;
    derivative_ = choice;
  }
  show_analysis_choice();
  // A recording on show is differentiated again at once, for the next c.
  if (menu_waits()) {
    MenuEdit edit;
    edit.what = MenuEdit::What::analysis;
    input_.push_menu_edit(edit);
  }
}

void FrameWindow::build_correction_menu() {
  QMenu* correction = menuBar()->addMenu(QStringLiteral("修正(&C)"));
  for (const MenuLetter& command : letters_of(MenuGroup::correction, false))
    add_letter_action(correction, command);
  correction->addSeparator();
  add_pass_key_action(correction, QStringLiteral("元に戻す"), PassKey::undo, {QKeySequence::Undo});
  add_pass_key_action(correction, QStringLiteral("やり直し"), PassKey::redo,
                      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  add_pass_key_action(nullptr, QStringLiteral("次の窓"), PassKey::right, {QKeySequence(Qt::Key_Right)});
  add_pass_key_action(nullptr, QStringLiteral("次の窓"), PassKey::space, {QKeySequence(Qt::Key_Space)});
  add_pass_key_action(nullptr, QStringLiteral("前の窓"), PassKey::left, {QKeySequence(Qt::Key_Left)});
  add_pass_key_action(nullptr, QStringLiteral("次の誘導"), PassKey::page_down,
                      {QKeySequence(Qt::Key_PageDown)});
  add_pass_key_action(nullptr, QStringLiteral("前の誘導"), PassKey::page_up, {QKeySequence(Qt::Key_PageUp)});
  add_pass_key_action(nullptr, QStringLiteral("修正を終える"), PassKey::escape,
                      {QKeySequence(Qt::Key_Escape)});
}

void FrameWindow::build_view_menu() {
  QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
  QAction* table = results_dock_->toggleViewAction();
  table->setText(QStringLiteral("結果表"));
  view->addAction(table);
#if TELMOR_MAPS
  QAction* maps = maps_dock_->toggleViewAction();
  maps->setText(QStringLiteral("マップ"));
  view->addAction(maps);
  view->addAction(QStringLiteral("電極の配置を開く…"), this, [this] {
    maps_dock_->show();
    maps_dock_->raise();
    maps_view_->choose_button()->click();
  });
#endif
}

ExitChoice FrameWindow::exit_dialog() {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("TELMOR"),
                  QStringLiteral("AT,RTの表に保存していない変更があります。\n終了する前に保存しますか？"),
                  QMessageBox::NoButton, this);
  QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(QStringLiteral("保存しない"), QMessageBox::DestructiveRole);
  box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
  box.setDefaultButton(save);
  box.exec();
  if (box.clickedButton() == save) return ExitChoice::save;
  if (box.clickedButton() == discard) return ExitChoice::discard;
  return ExitChoice::cancel;
}

void FrameWindow::show_help() {
  auto* dialog = new QDialog(this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QStringLiteral("TELMOR の使い方"));
  auto* text = new QTextBrowser(dialog);
  text->setHtml(help_html());
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
  connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(text);
  layout->addWidget(buttons);
  dialog->resize(640, 720);
  dialog->show();
}

void FrameWindow::show_version() {
  QMessageBox::about(this, QStringLiteral("バージョン情報"),
                     QStringLiteral("TELMOR ") + QString::fromLatin1(kTelmorVersion) +
                         QStringLiteral("\n多誘導心電図のAT・RT解析\nQt ") +
                         QString::fromLatin1(qVersion()));
}

}  // namespace telmor
