// The console window: a read-only transcript above the input box.
#include "gui/console_pane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/text_font.h"
#include "gui/frame_language.h"

namespace telmor {
namespace {

// Made when it is said: the frame's language is chosen after static start-up.
QString not_asked() { return ui("いまは入力を待っていません。「%1」は使われませんでした。"); }

}  // namespace

ConsolePane::ConsolePane(InputQueues& input, QWidget* parent)
    : QWidget(parent),
      input_(input),
      view_(new QPlainTextEdit(this)),
      asker_label_(new QLabel(this)),
      editor_(new QLineEdit(this)) {
  const QFont font = text_font();
  view_->setReadOnly(true);
  view_->setFont(font);
  view_->setLineWrapMode(QPlainTextEdit::NoWrap);
  view_->setFocusPolicy(Qt::ClickFocus);
  editor_->setFont(font);

  auto* input_row = new QHBoxLayout;
  input_row->setContentsMargins(0, 0, 0, 0);
  input_row->addWidget(asker_label_);
  input_row->addWidget(editor_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(view_, 1);
  layout->addLayout(input_row);

  connect(editor_, &QLineEdit::returnPressed, this, [this] { send_typed_line(); });
  setFocusProxy(editor_);
  set_asker(Asker::nobody);
}

void ConsolePane::write_line(const QString& text) {
  view_->appendPlainText(text);
  scroll_to_newest();
}

void ConsolePane::scroll_to_newest() {
  view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
}

void ConsolePane::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // When the chart opens the console shrinks: its newest lines stay in view.
  QTimer::singleShot(0, this, [this] { scroll_to_newest(); });
}

void ConsolePane::set_asker(Asker asker) {
  asker_ = asker;
  switch (asker) {
    case Asker::console:
      asker_label_->setText(ui("コンソールへ:"));
      break;
    case Asker::chart:
      asker_label_->setText(ui("グラフへ:"));
      break;
    case Asker::mouse:
      asker_label_->setText(ui("マウスで操作:"));
      break;
    case Asker::nobody:
      asker_label_->setText(ui("処理中:"));
      break;
  }
  editor_->setEnabled(asker != Asker::mouse);
}

void ConsolePane::send_typed_line() {
  const QString line = editor_->text();
  bool taken = false;
  if (asker_ == Asker::console) {
    taken = input_.push_console_line(line.toStdString());
    if (taken) write_line(line);  // the reply stays in the transcript, as typed
  } else if (asker_ == Asker::chart && send_to_chart) {
    taken = send_to_chart(line);  // the chart echoes it
  }
  editor_->clear();
  if (taken) {
    set_asker(Asker::nobody);  // one line per question
  } else if (on_unread) {
    on_unread(not_asked().arg(line));
  }
}

}  // namespace telmor
