// The frame around the program's windows: input only for the question asked,
// guards before unsaved tables are lost, the keys and menus of a session,
// undo in a real pass, the status bar, and clicks on a scaled chart.
#include "gui/frame_window.h"

#include <QAction>
#include <QComboBox>
#include <QTableWidget>
#include <QLineEdit>
#include <QMessageBox>
#include <QAbstractButton>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "correction/mark_correction.h"
#include "gui/chart_canvas.h"
#include "gui/console_pane.h"
#include "gui/results_view.h"
#include "support/gui_test_support.h"
#include "support/pass_record.h"

namespace telmor {
namespace {

using test::click;
using test::DesktopTest;
using test::on_chart;
using test::type_line;
using test::wait_until;

constexpr int kPassMask = kLeftPress + kRightPress + kRightDouble + kPassKey;

struct FrameTest : DesktopTest {
  bool asking(ConsolePane::Asker asker) {
    return wait_until([&] { return frame_->console()->asker() == asker; });
  }
  // Keys as the keyboard gives them, to the focused widget of the active frame.
  void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
  }
  void open_active_chart() {
    ASSERT_TRUE(wait_until([&] { return frame_->chart_is_open(); }));
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
    canvas()->setFocus();
  }
};

TEST_F(FrameTest, ALineTypedDuringAMouseWaitIsDroppedNotReadLater) {
  std::string reply;
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.wait_mouse_event(kPassMask);
    reply = layer.chart_read_line();
  });
  ASSERT_TRUE(asking(ConsolePane::Asker::mouse));
  EXPECT_FALSE(frame_->console()->editor()->isEnabled());
  type_line(canvas(), QStringLiteral("q"));
  EXPECT_FALSE(frame_->note_text().isEmpty());
  click(canvas(), Qt::RightButton, on_chart(*canvas(), QPoint(10, 10)));
  // The q answered nothing: the click did, and the program now asks for a line.
  ASSERT_TRUE(wait_until([&] { return frame_->input().awaiting() == Awaiting::chart_line; }));
  EXPECT_FALSE(program().finished());
  // The input box types for the chart now.
  EXPECT_TRUE(frame_->console()->editor()->isEnabled());
  type_line(frame_->console()->editor(), QStringLiteral("n"));
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ(reply, "n");
  EXPECT_EQ(canvas()->rows().back(), QStringLiteral("n"));
}

// Closing the frame: whether it asks, and what each answer does.
struct CloseCase {
  bool unsaved;
  ExitChoice choice;
  int questions;
  bool input_closed;  // the program was ended without saving
  bool saved;         // the program was told to save and close
};

class CloseGuard : public DesktopTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseGuard, ClosingAsksOnlyWhenTablesAreUnsaved) {
  const CloseCase c = GetParam();
  int questions = 0;
  frame_->ask_exit_choice = [&] {
    ++questions;
    return c.choice;
  };
  std::atomic<bool> saved = false;
  run([&](WindowLayer& layer) {
    layer.show_unsaved(c.unsaved);
    try {
      layer.wait_mouse_event(kLeftPress);
    } catch (const SaveAndClose&) {
      saved = true;
      layer.show_unsaved(false);
      layer.program_stop();
    }
  });
  ASSERT_TRUE(wait_until([&] { return frame_->unsaved() == c.unsaved; }));
  ASSERT_TRUE(wait_until([&] { return frame_->input().awaiting() == Awaiting::mouse; }));
  frame_->close();
  if (c.input_closed || c.saved) {
    ASSERT_TRUE(program().wait_finished());
  } else {
    // Cancelled: the program still waits for its click, its input open.
    EXPECT_FALSE(frame_->input().is_closed());
    EXPECT_EQ(frame_->input().awaiting(), Awaiting::mouse);
  }
  EXPECT_EQ(questions, c.questions);
  EXPECT_EQ(program().input_closed(), c.input_closed);
  EXPECT_EQ(saved.load(), c.saved);
  // Cancel keeps everything as it was; a save closes the frame once done.
  EXPECT_EQ(frame_->isVisible(), !c.input_closed && !c.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Frame, CloseGuard,
    ::testing::Values(CloseCase{false, ExitChoice::cancel, 0, true, false},
                      CloseCase{true, ExitChoice::cancel, 1, false, false},
                      CloseCase{true, ExitChoice::discard, 1, true, false},
                      CloseCase{true, ExitChoice::save, 1, false, true}));

TEST_F(FrameTest, TheExitQuestionOfXIsAnsweredByTheFrame) {
  const std::vector<ExitChoice> answers = {ExitChoice::save, ExitChoice::discard,
                                           ExitChoice::cancel};
  std::size_t next = 0;
  frame_->ask_exit_choice = [&] { return answers.at(next++); };
  std::vector<ExitChoice> got;
  run([&](WindowLayer& layer) {
    for (std::size_t i = 0; i < answers.size(); ++i) got.push_back(layer.confirm_exit());
  });
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ(got, answers);
}

TEST_F(FrameTest, TheChangedFileQuestionIsAnsweredByTheFrame) {
  const std::vector<ChangedFileAnswer> answers = {ChangedFileAnswer::overwrite, ChangedFileAnswer::keep};
  std::vector<ChangedFile> asked;
  frame_->ask_changed_file = [&](const ChangedFile& changed) {
    asked.push_back(changed);
    return answers.at(asked.size() - 1);
  };
  std::vector<ChangedFileAnswer> got;
  run([&](WindowLayer& layer) {
    got.push_back(layer.ask_changed_file({FileChange::changed, "/data/abcari.csv"}));
    got.push_back(layer.ask_changed_file({FileChange::removed, "/data/abcari.csv"}));
  });
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ(got, answers);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1].change, FileChange::removed);
  EXPECT_EQ(asked[1].shown_path, "/data/abcari.csv");
}

// The frame's own dialog: Return and Esc both keep the other's file; only
// the overwrite button overwrites.
TEST_F(FrameTest, TheChangedFileDialogKeepsTheOthersFileByDefault) {
  struct Case {
    int key;  // pressed on the dialog; 0: its overwrite button clicked
    ChangedFileAnswer answer;
  };
  for (const Case& c : {Case{Qt::Key_Return, ChangedFileAnswer::keep}, Case{Qt::Key_Escape, ChangedFileAnswer::keep},
                        Case{0, ChangedFileAnswer::overwrite}}) {
    QString text;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      text = box->text();
      answer.stop();
      if (c.key != 0) {
        QTest::keyClick(box, static_cast<Qt::Key>(c.key));
        return;
      }
      for (QAbstractButton* button : box->buttons()) {
        if (button->text() == QString::fromUtf8("上書きする")) button->click();
      }
    });
    answer.start(5);
    ChangedFileAnswer got = c.answer == ChangedFileAnswer::keep ? ChangedFileAnswer::overwrite : ChangedFileAnswer::keep;
    run([&](WindowLayer& layer) { got = layer.ask_changed_file({FileChange::created, "/data/abcari.csv"}); });
    ASSERT_TRUE(program().wait_finished());
    program_.reset();
    EXPECT_EQ(got, c.answer) << c.key;
    EXPECT_TRUE(text.contains(QStringLiteral("/data/abcari.csv"))) << text.toStdString();
  }
}

TEST_F(FrameTest, EachKeyOfAPassReachesItsWaitAndNoOtherWait) {
  struct Key {
    int key;
    Qt::KeyboardModifiers modifiers;
    PassKey pass_key;
  };
  const std::vector<Key> keys = {
      {Qt::Key_Right, Qt::NoModifier, PassKey::right},
      {Qt::Key_Space, Qt::NoModifier, PassKey::space},
      {Qt::Key_Left, Qt::NoModifier, PassKey::left},
      {Qt::Key_PageDown, Qt::NoModifier, PassKey::page_down},
      {Qt::Key_PageUp, Qt::NoModifier, PassKey::page_up},
      {Qt::Key_Escape, Qt::NoModifier, PassKey::escape},
      {Qt::Key_Z, Qt::ControlModifier, PassKey::undo},
      {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, PassKey::redo},
      {Qt::Key_Y, Qt::ControlModifier, PassKey::redo},
  };
  std::vector<PassKey> got;  // read once the program has ended
  std::atomic<std::size_t> waits_answered = 0;
  std::string reply;
  run([&](WindowLayer& layer) {
    layer.chart_open();
    reply = layer.chart_read_line();
    // A pass with edits to undo and redo: their keys are enabled.
    layer.show_place(Place{1, 0, 1000, MarkKind::at, true, true});
    for (std::size_t i = 0; i < keys.size(); ++i) {
      got.push_back(layer.wait_mouse_event(kPassMask).key);
      ++waits_answered;
    }
    // A mouse wait outside a pass takes no keys.
    got.push_back(layer.wait_mouse_event(kLeftPress).key);
  });
  open_active_chart();
  ASSERT_TRUE(wait_until([&] { return canvas()->asking(); }));
  press(Qt::Key_Right);  // not in a pass: the key types nothing and waits for nothing
  EXPECT_FALSE(frame_->pass_key_action(PassKey::right)->isEnabled());
  type_line(canvas(), QStringLiteral("a"));
  ASSERT_TRUE(wait_until([&] { return frame_->pass_key_action(PassKey::right)->isEnabled(); }));
  for (const Key& k : keys) press(k.key, k.modifiers);
  ASSERT_TRUE(wait_until([&] { return waits_answered == keys.size(); }));
  ASSERT_TRUE(asking(ConsolePane::Asker::mouse));
  EXPECT_FALSE(frame_->pass_key_action(PassKey::right)->isEnabled());
  press(Qt::Key_Right);
  click(canvas(), Qt::LeftButton, on_chart(*canvas(), QPoint(5, 5)));
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ(reply, "a");
  std::vector<PassKey> expected;
  for (const Key& k : keys) expected.push_back(k.pass_key);
  expected.push_back(PassKey::none);  // the click, not the key
  EXPECT_EQ(got, expected);
}

TEST_F(FrameTest, MenuCommandsTypeTheirLetterOnlyAtTheMenu) {
  const std::string letters = "sodcarx";
  std::string replies;
  std::atomic<std::size_t> reads = 0;
  run([&](WindowLayer& layer) {
    layer.chart_open();
    for (std::size_t i = 0; i < letters.size(); ++i) {
      layer.at_menu(ResultsSnapshot{});
      replies += layer.chart_read_line();
    }
    reads = letters.size();
    replies += layer.chart_read_line();  // a question that is not the menu
  });
  for (const char letter : letters) {
    ASSERT_TRUE(wait_until([&] { return frame_->letter_action(letter)->isEnabled(); })) << letter;
    frame_->letter_action(letter)->trigger();
    EXPECT_FALSE(frame_->letter_action(letter)->isEnabled());  // one letter per question
    EXPECT_EQ(canvas()->rows().back(), QString(QChar(letter)));
  }
  // The last letter's read has ended (its wait is over) and the next one waits.
  ASSERT_TRUE(wait_until(
      [&] { return reads == letters.size() && frame_->input().awaiting() == Awaiting::chart_line; }));
  test::apply_posted();
  for (const char letter : letters) EXPECT_FALSE(frame_->letter_action(letter)->isEnabled());
  type_line(canvas(), QStringLiteral("y"));
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ(replies, letters + "y");
}

// After a click in the results table or its view choice, what is typed
// answers the menu: letters and Return go to the input box, not the view;
// the command clears the status bar's note of the last one.
TEST_F(FrameTest, TypedKeysInTheResultsViewReachTheMenu) {
  std::string replies;
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.show_note("探したフォルダ: /somewhere");
    layer.at_menu(ResultsSnapshot{});
    replies += layer.chart_read_line();
    replies += "|" + layer.chart_read_line();
  });
  ASSERT_TRUE(wait_until([&] { return frame_->input().awaiting() == Awaiting::chart_line; }));
  frame_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
  ASSERT_TRUE(wait_until([&] { return frame_->note_text() == QStringLiteral("探したフォルダ: /somewhere"); }));
  QTableWidget* table = frame_->results_view()->table();
  table->setFocus();
  QTest::keyClicks(table, "c");
  QTest::keyClick(table, Qt::Key_Return);
  ASSERT_TRUE(wait_until([&] { return replies == "c"; }));
  EXPECT_EQ(frame_->note_text(), QString());  // a new command: the last one's note goes
  auto* choice = frame_->results_view()->findChild<QComboBox*>();
  choice->setFocus();
  QTest::keyClicks(choice, "y");
  QTest::keyClick(choice, Qt::Key_Enter);
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ(replies, "c|y");
  EXPECT_EQ(choice->currentIndex(), 0);  // the view's choice stays as it was
}

// A real AT pass over two leads whose lead 1 holds a full table of 200 rows.
struct FramePass : FrameTest {
  std::unique_ptr<RunRecord> record = std::make_unique<RunRecord>();
  DrawingState drawing;

  void SetUp() override {
    FrameTest::SetUp();
    test::set_up_small_pass(*record, drawing);
    record->marks.at_beat_count = kMaxRows;
    for (int r = 1; r <= kMaxRows; ++r) {
      record->at_ms(1, r) = static_cast<float>(100 * r);
      record->marks.at_source_table[0][static_cast<std::size_t>(r - 1)] = MarkSource::detected;
    }
  }
  void left_click(int x) {
    click(canvas(), Qt::LeftButton, on_chart(*canvas(), QPoint(x, 120)));
  }
  bool shows(const QString& place) {
    return wait_until([&] { return frame_->place_text() == place; });
  }
};

TEST_F(FramePass, UndoAndRedoAcrossWindowsRestoreTheFullTableExactly) {
  const RunRecord before = *record;
  run([&](WindowLayer& layer) {
    layer.chart_open();
    correct_marks(layer, *record, drawing, MarkKind::at);
  });
  open_active_chart();
  ASSERT_TRUE(shows(QStringLiteral("誘導 1  0.0–1.0 s")));
  EXPECT_EQ(canvas()->lead_label(), QStringLiteral("誘導 1"));
  left_click(300);  // takes 500 away
  ASSERT_TRUE(wait_until([&] { return frame_->note_text().contains(QStringLiteral("削除")); }));
  press(Qt::Key_Right);
  ASSERT_TRUE(shows(QStringLiteral("誘導 1  0.5–1.5 s")));
  left_click(450);  // 1250: nothing near, and no free row
  ASSERT_TRUE(wait_until([&] { return canvas()->rows().size() == 3; }));  // caption, instruction, full
  press(Qt::Key_Z, Qt::ControlModifier);  // back to the window of the removal, and undone
  ASSERT_TRUE(shows(QStringLiteral("誘導 1  0.0–1.0 s")));
  ASSERT_TRUE(wait_until(
      [&] { return frame_->note_text() == QStringLiteral("誘導1 AT 500 ms の削除を取り消しました"); }));
  ASSERT_TRUE(wait_until([&] { return frame_->redo_action()->isEnabled(); }));
  press(Qt::Key_Y, Qt::ControlModifier);
  ASSERT_TRUE(wait_until([&] { return frame_->note_text().contains(QStringLiteral("やり直しました")); }));
  ASSERT_TRUE(wait_until([&] { return frame_->undo_action()->isEnabled(); }));
  press(Qt::Key_Z, Qt::ControlModifier);
  ASSERT_TRUE(wait_until([&] { return frame_->note_text().contains(QStringLiteral("取り消しました")); }));
  press(Qt::Key_Escape);
  ASSERT_TRUE(program().wait_finished());
  ASSERT_FALSE(program().failed());
  EXPECT_EQ(record->marks.at_beat_count, before.marks.at_beat_count);
  EXPECT_EQ(record->marks.at_ms_table, before.marks.at_ms_table);
  EXPECT_EQ(record->marks.at_source_table, before.marks.at_source_table);
  EXPECT_EQ(frame_->place_text(), QString());
}

TEST_F(FrameTest, ClicksMapToLogicalPixelsAtAnyFrameSizeAndTheStatusBarTellsTheTime) {
  std::vector<MouseEvent> got;
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.show_time_axis({TimeAxis::Kind::pass_window, 500});
    got.push_back(layer.wait_mouse_event(kLeftPress));
    got.push_back(layer.wait_mouse_event(kLeftPress));
  });
  open_active_chart();
  // Smaller than the chart, then larger: a screen pixel is then more, then
  // less, than a logical pixel.
  const QSize sizes[] = {{700, 600}, {1900, 1300}};
  std::vector<double> scales;
  for (const QSize& size : sizes) {
    const double width_before = canvas()->surface_rect().width();
    frame_->resize(size);
    ASSERT_TRUE(wait_until([&] { return canvas()->surface_rect().width() != width_before; }));
    test::apply_posted();
    scales.push_back(canvas()->surface_rect().width() / ChartCanvas::kWidth);
    // Through the window system, as a real pointer: Qt finds the canvas under it.
    const QPoint in_frame =
        canvas()->mapTo(frame_.get(), on_chart(*canvas(), QPoint(300, 120)).toPoint());
    QTest::mouseMove(frame_->windowHandle(), in_frame);
    ASSERT_TRUE(wait_until([&] { return !frame_->pointer_time_text().isEmpty(); }));
    QTest::mouseClick(frame_->windowHandle(), Qt::LeftButton, Qt::NoModifier, in_frame);
  }
  ASSERT_TRUE(program().wait_finished());
  ASSERT_EQ(got.size(), 2u);
  ASSERT_LT(scales[0], 1.0);
  ASSERT_GT(scales[1], 1.0);
  // Within one logical pixel where a screen pixel spans more than one.
  EXPECT_NEAR(got[0].x, 300, 1);
  EXPECT_NEAR(got[0].y, 120, 1);
  EXPECT_EQ(got[1].x, 300);
  EXPECT_EQ(got[1].y, 120);
  // Column 300 of a pass window starting at 500 ms: 500 + 300 / 0.6 ms.
  EXPECT_EQ(frame_->pointer_time_text(), QStringLiteral("1000 ms"));
}

}  // namespace
}  // namespace telmor
