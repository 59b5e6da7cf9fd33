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

#include "gui/analysis_menu.h"
#include "console/menu_letters.h"
#include "gui/chart_canvas.h"
#include "gui/console_pane.h"
#include "gui/frame_window.h"

#include "gui/help_text.h"
#include "gui/frame_language.h"
#include "words/words.h"
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
      ui(command.label) +
      QStringLiteral(" (") + QChar(command.letter) + QStringLiteral(")"));
  const char letter = command.letter;
  connect(action, &QAction::triggered, this, [this, letter] {
    if (canvas_->send_reply(QString(QChar(letter)))) stop_asking();
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

AnalysisChoice FrameWindow::analysis_choice() const { return analysis_menu_->choice(); }

void FrameWindow::build_menus() {
  QMenu* file = menuBar()->addMenu(ui("ファイル(&F)"));
  QAction* open = file->addAction(ui("記録を開く…"), this, [this] { ask_and_open_recording(); });
  open->setShortcut(QKeySequence::Open);
  file->addSeparator();
  for (const MenuLetter& command : letters_of(MenuGroup::file, false)) add_letter_action(file, command);
  file->addSeparator();
  file->addAction(ui("表をCSVで保存…"), this, [this] { ask_and_save_table(); });
  file->addAction(ui("グラフを画像で保存…"), this, [this] { ask_and_save_chart(); });
  file->addSeparator();
  for (const MenuLetter& command : letters_of(MenuGroup::file, true)) add_letter_action(file, command);

  QMenu* analysis = menuBar()->addMenu(ui("解析(&A)"));
  for (const MenuLetter& command : letters_of(MenuGroup::analysis, false))
    add_letter_action(analysis, command);
  analysis_menu_ = new AnalysisMenu(this, analysis, input_, [this] { return menu_waits(); });

  build_correction_menu();
  build_view_menu();

  QMenu* help = menuBar()->addMenu(ui("ヘルプ(&H)"));
  QAction* usage = help->addAction(ui("使い方"), this, [this] { show_help(); });
  usage->setShortcut(QKeySequence::HelpContents);
  help->addAction(ui("バージョン情報"), this, [this] { show_version(); });
}

void FrameWindow::build_correction_menu() {
  QMenu* correction = menuBar()->addMenu(ui("修正(&C)"));
  correction_menu_ = correction;
  for (const MenuLetter& command : letters_of(MenuGroup::correction, false))
    add_letter_action(correction, command);
  correction->addSeparator();
  add_pass_key_action(correction, ui("元に戻す"), PassKey::undo, {QKeySequence::Undo});
  add_pass_key_action(correction, ui("やり直し"), PassKey::redo,
                      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  add_pass_key_action(nullptr, ui("次の窓"), PassKey::right, {QKeySequence(Qt::Key_Right)});
  add_pass_key_action(nullptr, ui("次の窓"), PassKey::space, {QKeySequence(Qt::Key_Space)});
  add_pass_key_action(nullptr, ui("前の窓"), PassKey::left, {QKeySequence(Qt::Key_Left)});
  add_pass_key_action(nullptr, ui("次の誘導"), PassKey::page_down,
                      {QKeySequence(Qt::Key_PageDown)});
  add_pass_key_action(nullptr, ui("前の誘導"), PassKey::page_up, {QKeySequence(Qt::Key_PageUp)});
  add_pass_key_action(nullptr, ui("修正を終える"), PassKey::escape,
                      {QKeySequence(Qt::Key_Escape)});
}

void FrameWindow::build_view_menu() {
  QMenu* view = menuBar()->addMenu(ui("表示(&V)"));
  QAction* table = results_dock_->toggleViewAction();
  table->setText(ui("結果表"));
  view->addAction(table);
  if (maps_) maps_->add_view_actions(view);
  build_language_menu(view);
}

void FrameWindow::build_language_menu(QMenu* view) {
  view->addSeparator();
  // Each language under its own name, so that either reader finds the other.
  QMenu* menu = view->addMenu(ui("言語 (Language)"));
  auto* group = new QActionGroup(menu);
  const auto add = [this, menu, group](Language language, const QString& name, const QString& next_start) {
    QAction* action = menu->addAction(name);
    action->setCheckable(true);
    action->setChecked(frame_language() == language);
    action->setData(QString::fromLatin1(language_code(language).data()));
    group->addAction(action);
    // The frame's texts are made once; the choice shows from the next start.
    connect(action, &QAction::triggered, this, [this, language, next_start] {
      remember_language(language);
      show_note(next_start);
    });
  };
  add(Language::japanese, QString::fromUtf8("日本語"), QString::fromUtf8("次に起動したときから日本語で表示します。"));
  add(Language::english, QStringLiteral("English"), QStringLiteral("TELMOR shows English from its next start."));
}

ExitChoice FrameWindow::exit_dialog() {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("TELMOR"),
                  ui("AT,RTの表に保存していない変更があります。\n終了する前に保存しますか？"),
                  QMessageBox::NoButton, this);
  QPushButton* save = box.addButton(ui("保存"), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(ui("保存しない"), QMessageBox::DestructiveRole);
  box.addButton(ui("キャンセル"), QMessageBox::RejectRole);
  box.setDefaultButton(save);
  box.exec();
  if (box.clickedButton() == save) return ExitChoice::save;
  if (box.clickedButton() == discard) return ExitChoice::discard;
  return ExitChoice::cancel;
}

void FrameWindow::show_help() {
  auto* dialog = new QDialog(this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(ui("TELMOR の使い方"));
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
  QMessageBox::about(this, ui("バージョン情報"),
                     QStringLiteral("TELMOR ") + QString::fromLatin1(kTelmorVersion) +
                         ui("\n多誘導心電図のAT・RT解析\nQt ") +
                         QString::fromLatin1(qVersion()));
}

}  // namespace telmor
