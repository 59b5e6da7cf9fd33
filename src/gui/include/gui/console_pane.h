// The console window: the lines the program wrote and the user's replies,
// and the input box, which sends a typed line to the window whose question
// waits for it (the console's own, or the chart's) and to nothing else.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "gui/input_queues.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace telmor {

class ConsolePane : public QWidget {
 public:
  // Who the input box types for.
  enum class Asker { nobody, console, chart, mouse };

  explicit ConsolePane(InputQueues& input, QWidget* parent = nullptr);

  // A line written by the program; the view shows the newest line.
  void write_line(const QString& text);
  void set_asker(Asker asker);
  Asker asker() const { return asker_; }

  // Sends a line to the chart's question; false when it went unread.
  std::function<bool(const QString&)> send_to_chart;
  // Called with what the frame should say when a typed line went unread.
  std::function<void(const QString&)> on_unread;

  QPlainTextEdit* view() const { return view_; }
  QLineEdit* editor() const { return editor_; }
  QLabel* asker_label() const { return asker_label_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void send_typed_line();
  void scroll_to_newest();

  InputQueues& input_;
  QPlainTextEdit* view_;
  QLabel* asker_label_;
  QLineEdit* editor_;
  Asker asker_ = Asker::nobody;
};

}  // namespace telmor
