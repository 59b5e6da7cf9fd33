// The frame's 解析 menu around d and c, as a part of its own: the
// derivative, the analysis settings and ranges suggested from the recording.
// It owns its actions and the choice the program reads from its own thread.
#pragma once

#include <QObject>

#include <functional>
#include <mutex>

#include "console/window_layer.h"
#include "gui/input_queues.h"

class QAction;
class QMenu;
class QWidget;

namespace telmor {

class AnalysisMenu : public QObject {
 public:
  // Adds the actions to menu; dialogs open over parent. menu_waits says
  // whether the program waits at its menu, where a choice is taken at once.
  AnalysisMenu(QWidget* parent, QMenu* menu, InputQueues& input, std::function<bool()> menu_waits);

  // The choice as it stands; read from the program's thread.
  AnalysisChoice choice() const;
  void set_choice(const AnalysisChoice& choice);
  // The program waits for a line, at its menu or not: 範囲を提案 is enabled
  // at the menu only, and a choice made away from it is handed over there.
  void line_asked(bool at_menu);
  // The program waits for nothing it can take from this menu.
  void stop_asking();
  // The question asked with ranges suggested from the recording, answered
  // through the input queues.
  void answer_ranges_question(const RangeBounds& suggested);

  QAction* derivative_action(Estimator kind) const { return kind == Estimator::legacy ? legacy_ : centred_; }
  QAction* suggest_action() const { return suggest_; }
  // Tests answer the ranges question without a dialog by setting it.
  std::function<RangeAnswer(const RangeBounds&)> ask_range_answer;

 private:
  void show_choice();
  void send_choice();
  void suggest_ranges();
  RangeAnswer ranges_dialog(const RangeBounds& suggested);

  QWidget* parent_;
  InputQueues& input_;
  std::function<bool()> menu_waits_;
  mutable std::mutex mutex_;
  AnalysisChoice choice_;
  bool pending_ = false;  // chosen away from the menu: sent at the next
  QAction* centred_ = nullptr;
  QAction* legacy_ = nullptr;
  QAction* settings_ = nullptr;
  QAction* suggest_ = nullptr;
};

}  // namespace telmor
