// The console window: a read-only transcript above a line editor.
#include "gui/console_pane.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace telmor {

ConsolePane::ConsolePane(InputQueues& input, QWidget* parent)
    : QWidget(parent), input_(input), view_(new QPlainTextEdit(this)), editor_(new QLineEdit(this)) {
  // Fixed-pitch so that the columns of formatted lines stay aligned; Japanese
  // comes from the fallback fonts.
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  view_->setReadOnly(true);
  view_->setFont(fixed);
  view_->setLineWrapMode(QPlainTextEdit::NoWrap);
  view_->setFocusPolicy(Qt::ClickFocus);
  editor_->setFont(fixed);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(view_, 1);
  layout->addWidget(editor_);

  connect(editor_, &QLineEdit::returnPressed, this, [this] { send_typed_line(); });
  setFocusProxy(editor_);
}

void ConsolePane::write_line(const QString& text) {
  view_->appendPlainText(text);
  view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
}

void ConsolePane::send_typed_line() {
  const QString line = editor_->text();
  editor_->clear();
  write_line(line);  // the reply stays in the transcript, as typed
  input_.push_console_line(line.toStdString());
}

}  // namespace telmor
