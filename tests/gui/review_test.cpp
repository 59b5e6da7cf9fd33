// Review by exception on the desktop: a flagged cell brings its window on
// show (starting the pass at the menu), F3 walks the flagged windows across
// leads, the view follows the pass's edits, and a beat's marks go at the menu.
#include <QAction>
#include <QHeaderView>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "correction/mark_correction.h"
#include "gui/results_view.h"
#include "support/gui_test_support.h"
#include "support/pass_record.h"

namespace telmor {
namespace {

using test::wait_until;

// Two leads of three seconds, beats at 200, 1200 and 2200 ms owning from
// 50 ms before them. AT: lead 1 none at 200, two at 2200; lead 2 none at
// 1200. RT: one in each lead, the other beats without.
struct Review : test::DesktopTest {
  std::unique_ptr<RunRecord> record = std::make_unique<RunRecord>();
  DrawingState drawing;
  std::atomic<int> menus = 0;

  void SetUp() override {
    test::DesktopTest::SetUp();
    test::set_up_small_pass(*record, drawing);
    record->at_from = -50;
    record->beat_ms(1) = 2200;
    record->beat_ms(2) = 1200;
    record->beat_ms(3) = 200;
    set(MarkKind::at, 1, {1210.0f, 2210.0f, 2230.0f});
    set(MarkKind::at, 2, {220.0f, 2205.0f});
    set(MarkKind::rt, 1, {1500.0f});
    set(MarkKind::rt, 2, {2500.0f});
  }
  void set(MarkKind kind, int lead, std::initializer_list<float> times) {
    int row = 0;
    for (float t : times) {
      ++row;
      const auto l = static_cast<std::size_t>(lead - 1);
      const auto r = static_cast<std::size_t>(row - 1);
      (kind == MarkKind::at ? record->marks.at_ms_table : record->marks.rt_ms_table)[l][r] = t;
      (kind == MarkKind::at ? record->marks.at_source_table : record->marks.rt_source_table)[l][r] =
          MarkSource::detected;
    }
    std::int32_t& count = kind == MarkKind::at ? record->marks.at_beat_count : record->marks.rt_beat_count;
    count = std::max(count, row);
  }
  // The program: a menu that runs a and r until anything else is typed.
  void run_menu() {
    run([this](WindowLayer& layer) {
      layer.chart_open();
      for (;;) {
        layer.at_menu(snapshot_results(*record));
        ++menus;
        const std::string letter = layer.chart_read_line();
        if (letter != "a" && letter != "r") return;
        correct_marks(layer, *record, drawing, letter == "a" ? MarkKind::at : MarkKind::rt);
      }
    });
  }
  bool at_menu(int count) {
    return wait_until([&] { return menus == count && frame_->letter_action('x')->isEnabled(); });
  }
  bool shows(const QString& place) {
    return wait_until([&] { return frame_->place_text() == place; });
  }
  ResultsView* view() const { return frame_->results_view(); }
  QRect cell_rect(int lead, int beat) const {
    return view()->table()->visualItemRect(view()->table()->item(lead - 1, view()->column_of(beat)));
  }
  void leave_pass() { frame_->pass_key_action(PassKey::escape)->trigger(); }
};

TEST_F(Review, ACellAtTheMenuStartsItsPassAtTheWindowHoldingIt) {
  struct Case {
    MarkQuantity quantity;
    int lead, beat;
    const char* place;
  };
  const Case cases[] = {
      // The earliest of lead 1's two ATs of beat 3, 2210 ms.
      {MarkQuantity::at, 1, 3, "誘導 1  1.5–2.5 s"},
      // No AT: the beat's own time.
      {MarkQuantity::at, 2, 2, "誘導 2  0.5–1.5 s"},
      {MarkQuantity::rt, 2, 3, "誘導 2  2.0–3.0 s"},
      {MarkQuantity::rt, 1, 1, "誘導 1  0.0–1.0 s"},
  };
  run_menu();
  int menu = 1;
  for (const Case& c : cases) {
    ASSERT_TRUE(at_menu(menu)) << c.place;
    view()->show_quantity(c.quantity);
    // Return on the cell is typed for the menu: only a double-click starts the pass.
    view()->table()->setCurrentCell(c.lead - 1, view()->column_of(c.beat));
    ASSERT_TRUE(view()->table()->isVisible());
    ASSERT_FALSE(cell_rect(c.lead, c.beat).isEmpty());
    test::double_click(view()->table()->viewport(), Qt::LeftButton, QPointF(cell_rect(c.lead, c.beat).center()));
    const QString place = QString::fromUtf8(c.place);
    EXPECT_TRUE(shows(place)) << c.place << " shows " << frame_->place_text().toStdString();
    EXPECT_EQ(frame_->canvas()->lead_label(), QStringLiteral("誘導 %1").arg(c.lead));
    // The view marks the cell of the window on show.
    EXPECT_EQ(view()->table()->currentRow(), c.lead - 1);
    leave_pass();
    ++menu;
  }
  ASSERT_TRUE(at_menu(menu));
  ASSERT_TRUE(frame_->canvas()->send_reply(QStringLiteral("x")));
  ASSERT_TRUE(program().wait_finished());
}

TEST_F(Review, InAPassACellMovesToItsWindowOnlyForThePasssKind) {
  run_menu();
  ASSERT_TRUE(at_menu(1));
  frame_->letter_action('a')->trigger();
  ASSERT_TRUE(shows(QStringLiteral("誘導 1  0.0–1.0 s")));
  view()->show_quantity(MarkQuantity::rt);
  frame_->review_cell(2, 3);
  EXPECT_TRUE(wait_until([&] { return frame_->note_text().contains(QStringLiteral("AT修正中")); }));
  EXPECT_EQ(frame_->place_text(), QStringLiteral("誘導 1  0.0–1.0 s"));
  view()->show_quantity(MarkQuantity::at);
  test::double_click(view()->table()->viewport(), Qt::LeftButton, QPointF(cell_rect(2, 3).center()));
  EXPECT_TRUE(shows(QStringLiteral("誘導 2  1.5–2.5 s")));  // 2205 ms
  leave_pass();
  ASSERT_TRUE(at_menu(2));
  ASSERT_TRUE(frame_->canvas()->send_reply(QStringLiteral("x")));
  ASSERT_TRUE(program().wait_finished());
}

// The flagged AT cells: lead 1 beat 1 (none), lead 1 beat 3 (two), lead 2
// beat 2 (none). F3 from the first window passes the one on show.
TEST_F(Review, F3WalksTheFlaggedWindowsAcrossLeadsAndSaysWhenNoneIsLeft) {
  run_menu();
  ASSERT_TRUE(at_menu(1));
  frame_->letter_action('a')->trigger();
  ASSERT_TRUE(shows(QStringLiteral("誘導 1  0.0–1.0 s")));
  ASSERT_TRUE(wait_until([&] { return frame_->review_action(true)->isEnabled(); }));
  frame_->review_action(true)->trigger();
  EXPECT_TRUE(shows(QStringLiteral("誘導 1  1.5–2.5 s")));
  EXPECT_EQ(frame_->review_text(), QStringLiteral("要確認 2/3"));
  ASSERT_TRUE(wait_until([&] { return frame_->review_action(true)->isEnabled(); }));
  frame_->review_action(true)->trigger();
  EXPECT_TRUE(shows(QStringLiteral("誘導 2  0.5–1.5 s")));
  EXPECT_EQ(frame_->review_text(), QStringLiteral("要確認 3/3"));
  ASSERT_TRUE(wait_until([&] { return frame_->review_action(true)->isEnabled(); }));
  frame_->review_action(true)->trigger();
  EXPECT_TRUE(frame_->note_text().contains(QStringLiteral("ありません")));
  EXPECT_EQ(frame_->place_text(), QStringLiteral("誘導 2  0.5–1.5 s"));
  frame_->review_action(false)->trigger();
  EXPECT_TRUE(shows(QStringLiteral("誘導 1  1.5–2.5 s")));
  EXPECT_EQ(frame_->review_text(), QStringLiteral("要確認 2/3"));
  leave_pass();
  ASSERT_TRUE(at_menu(2));
  ASSERT_TRUE(frame_->canvas()->send_reply(QStringLiteral("x")));
  ASSERT_TRUE(program().wait_finished());
}

// At the menu the status bar counts the flagged windows of the view's kind,
// following the view; F3 starts the pass at the first, Shift+F3 at the last.
TEST_F(Review, F3AtTheMenuStartsThePassAtAFlaggedWindow) {
  run_menu();
  ASSERT_TRUE(at_menu(1));
  EXPECT_EQ(frame_->review_text(), QStringLiteral("要確認 3件"));  // AT shown
  view()->show_quantity(MarkQuantity::rt);
  EXPECT_EQ(frame_->review_text(), QStringLiteral("要確認 4件"));  // RT: one of each lead's three
  view()->show_quantity(MarkQuantity::at);
  ASSERT_TRUE(frame_->review_action(true)->isEnabled());
  frame_->review_action(true)->trigger();
  EXPECT_TRUE(shows(QStringLiteral("誘導 1  0.0–1.0 s")));
  EXPECT_EQ(frame_->review_text(), QStringLiteral("要確認 1/3"));
  leave_pass();
  ASSERT_TRUE(at_menu(2));
  frame_->review_action(false)->trigger();
  EXPECT_TRUE(shows(QStringLiteral("誘導 2  0.5–1.5 s")));
  EXPECT_EQ(frame_->review_text(), QStringLiteral("要確認 3/3"));
  leave_pass();
  ASSERT_TRUE(at_menu(3));
  ASSERT_TRUE(frame_->canvas()->send_reply(QStringLiteral("x")));
  ASSERT_TRUE(program().wait_finished());
}

// A click of the pass changes the view at once, before the menu comes back;
// its tooltip lists every mark of a cell with several.
TEST_F(Review, TheViewFollowsEveryEditOfThePass) {
  run_menu();
  ASSERT_TRUE(at_menu(1));
  const QString tip = view()->table()->item(0, view()->column_of(3))->toolTip();
  EXPECT_TRUE(tip.contains(QStringLiteral("AT すべて: 2210 ms（自動）、2230 ms（自動）"))) << tip.toStdString();
  frame_->review_cell(2, 2);
  ASSERT_TRUE(shows(QStringLiteral("誘導 2  0.5–1.5 s")));
  QTableWidgetItem* cell = view()->table()->item(1, view()->column_of(2));
  ASSERT_NE(cell, nullptr);
  EXPECT_TRUE(cell->data(kFlaggedRole).toBool());
  // Column 420 of the window from 500 ms stores 1200 ms.
  test::click(frame_->canvas(), Qt::LeftButton, test::on_chart(*frame_->canvas(), QPoint(420, 120)));
  ASSERT_TRUE(wait_until([&] {
    const QTableWidgetItem* now = view()->table()->item(1, view()->column_of(2));
    return now != nullptr && !now->data(kFlaggedRole).toBool();
  }));
  EXPECT_EQ(menus, 1);  // still in the pass
  EXPECT_TRUE(view()->table()->item(1, view()->column_of(2))->data(kByHandRole).toBool());
  leave_pass();
  ASSERT_TRUE(at_menu(2));
  ASSERT_TRUE(frame_->canvas()->send_reply(QStringLiteral("x")));
  ASSERT_TRUE(program().wait_finished());
}

// The column menu's removal goes to the program's menu read as one edit of
// the beat's time, and 元に戻す at the menu, enabled while the program says
// there is a step to take back, asks to take it back.
TEST_F(Review, DroppingABeatAtTheMenuAsksTheProgramAndUndoFollows) {
  // Written by the program's thread, read by this one.
  std::mutex edits_mutex;
  std::optional<MenuEdit> first, second;
  const auto edit = [&](const std::optional<MenuEdit>& which) {
    const std::lock_guard lock(edits_mutex);
    return which;
  };
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.at_menu(snapshot_results(*record));
    ++menus;
    for (std::optional<MenuEdit>* got : {&first, &second}) {
      MenuRead read = layer.menu_read_line();
      if (const MenuEdit* asked = std::get_if<MenuEdit>(&read)) {
        const std::lock_guard lock(edits_mutex);
        *got = *asked;
      }
      // As the program says it: one step to take back after the drop, none after the undo.
      ResultsSnapshot tables = snapshot_results(*record);
      tables.undo_steps = got == &first ? 1 : 0;
      layer.at_menu(tables);
    }
    layer.chart_read_line();
  });
  ASSERT_TRUE(at_menu(1));
  EXPECT_FALSE(frame_->undo_action()->isEnabled());
  frame_->drop_beat(3);
  // Enabled once the program reads its menu letter again.
  ASSERT_TRUE(wait_until([&] { return frame_->undo_action()->isEnabled(); }));
  ASSERT_TRUE(edit(first).has_value());
  frame_->undo_action()->trigger();
  ASSERT_TRUE(wait_until(
      [&] { return frame_->input().awaiting() == Awaiting::chart_line && edit(second).has_value(); }));
  const std::optional<MenuEdit> dropped = edit(first), undone = edit(second);
  ASSERT_TRUE(dropped && undone);
  EXPECT_EQ(dropped->what, MenuEdit::What::drop_beat);
  EXPECT_EQ(dropped->beat_ms, 2200);
  EXPECT_EQ(undone->what, MenuEdit::What::undo);
  ASSERT_TRUE(frame_->canvas()->send_reply(QStringLiteral("x")));
  ASSERT_TRUE(program().wait_finished());
}

}  // namespace
}  // namespace telmor
