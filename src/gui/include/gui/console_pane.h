// The console window: the lines the program wrote and the user's replies, and
// a line editor whose lines (on Enter) go to the program's console queue.
#pragma once

#include <QString>
#include <QWidget>

#include "gui/input_queues.h"

class QLineEdit;
class QPlainTextEdit;

namespace telmor {

class ConsolePane : public QWidget {
 public:
  explicit ConsolePane(InputQueues& input, QWidget* parent = nullptr);

  // A line written by the program.
  void write_line(const QString& text);

  QPlainTextEdit* view() const { return view_; }
  QLineEdit* editor() const { return editor_; }

 private:
  void send_typed_line();

  InputQueues& input_;
  QPlainTextEdit* view_;
  QLineEdit* editor_;
};

}  // namespace telmor
