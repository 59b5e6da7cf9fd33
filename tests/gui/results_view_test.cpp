// The results view: its cells and flags for a small known table, its refresh
// from the copies the program hands over at the menu, and the exports.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "session/session_marks.h"
#include "gui/chart_canvas.h"
#include "gui/frame_language.h"
#include "gui/results_view.h"
#include "words/words.h"
#include "support/gui_test_support.h"
#include "support/test_files.h"

namespace telmor {
namespace {

// One lead, beats at 1000 and 2000: an AT and an RT for the first beat (the
// RT by hand), two ATs and no RT for the second.
std::shared_ptr<ResultsSnapshot> small_table() {
  auto s = std::make_shared<ResultsSnapshot>();
  s->recording = "abc";
  s->lead_count = 1;
  s->at_from = -80;
  s->beat_ms_list[0] = 2000;
  s->beat_ms_list[1] = 1000;
  s->marks.at_beat_count = 3;
  s->marks.rt_beat_count = 1;
  s->marks.at_ms_table[0][0] = 1010.0f;
  s->marks.at_ms_table[0][1] = 2030.0f;
  s->marks.at_ms_table[0][2] = 2040.0f;
  for (int row = 0; row < 3; ++row) s->marks.at_source_table[0][static_cast<std::size_t>(row)] = MarkSource::detected;
  s->marks.rt_ms_table[0][0] = 1200.0f;
  s->marks.rt_source_table[0][0] = MarkSource::hand;
  return s;
}

TEST(ResultsGridView, CellsFlagsAndLinesOfASmallTable) {
  ResultsView view;
  view.show_results(small_table());
  QTableWidget* t = view.table();
  ASSERT_EQ(t->rowCount(), 1);
  ASSERT_EQ(t->columnCount(), 2 + 3);  // two beats, then both, mean, SD
  EXPECT_EQ(t->horizontalHeaderItem(0)->text(), QStringLiteral("拍1\n1000 ms"));
  EXPECT_EQ(t->verticalHeaderItem(0)->text(), QStringLiteral("誘導1"));
  EXPECT_EQ(t->item(0, 0)->text(), QStringLiteral("1010"));
  EXPECT_EQ(t->item(0, 1)->text(), QStringLiteral("2030"));
  EXPECT_FALSE(t->item(0, 0)->data(kFlaggedRole).toBool());
  EXPECT_TRUE(t->item(0, 1)->data(kFlaggedRole).toBool());
  EXPECT_NE(t->item(0, 0)->background(), t->item(0, 1)->background());  // 10 and 30 ms after the beat
  EXPECT_EQ(t->item(0, 2)->text(), QStringLiteral("1"));
  EXPECT_EQ(t->item(0, 3)->text(), QStringLiteral("20.0"));
  EXPECT_EQ(view.flagged_line()->text(), QStringLiteral("要確認 1 セル"));
  EXPECT_EQ(view.counts_line()->text(), QStringLiteral("印: 自動 3・手 1・読込 0"));
  ASSERT_EQ(view.review()->count(), 1);
  EXPECT_EQ(view.review()->item(0)->text(), QStringLiteral("誘導1・拍2（2000 ms）: ATが複数"));
  EXPECT_TRUE(t->item(0, 0)->toolTip().contains(QStringLiteral("RT 1200 ms（手）")));

  view.show_quantity(MarkQuantity::rt);
  EXPECT_TRUE(view.table()->item(0, 0)->data(kByHandRole).toBool());
  EXPECT_TRUE(view.table()->item(0, 1)->data(kFlaggedRole).toBool());  // no RT
  view.show_quantity(MarkQuantity::ari);
  EXPECT_EQ(view.table()->item(0, 0)->text(), QStringLiteral("190"));
  EXPECT_EQ(view.review()->item(0)->text(), QStringLiteral("誘導1・拍2（2000 ms）: ATが複数、RTなし"));
}

// The same table in an English frame: the headers, lines, list and tips.
TEST(ResultsGridView, SpeaksTheFramesLanguage) {
  set_frame_language(Language::english);
  ResultsView view;
  view.show_results(small_table());
  set_frame_language(Language::japanese);
  const QTableWidget* t = view.table();
  EXPECT_EQ(t->horizontalHeaderItem(0)->text(), QStringLiteral("Beat 1\n1000 ms"));
  EXPECT_EQ(t->horizontalHeaderItem(3)->text(), QStringLiteral("Mean\nfrom beat"));
  EXPECT_EQ(t->verticalHeaderItem(0)->text(), QStringLiteral("Lead 1"));
  EXPECT_EQ(view.flagged_line()->text(), QStringLiteral("To review: 1 cells"));
  EXPECT_EQ(view.counts_line()->text(), QStringLiteral("Marks: auto 3 · hand 1 · loaded 0"));
  ASSERT_EQ(view.review()->count(), 1);
  EXPECT_EQ(view.review()->item(0)->text(), QStringLiteral("Lead 1 · Beat 2 (2000 ms): several ATs"));
  EXPECT_TRUE(t->item(0, 0)->toolTip().contains(QStringLiteral("RT 1200 ms (hand)"))) << t->item(0, 0)->toolTip().toStdString();
}

using ResultsRefresh = test::DesktopTest;

TEST_F(ResultsRefresh, TheViewFollowsEveryCopyTheProgramHandsOver) {
  std::binary_semaphore go_on(0);
  const auto first = small_table();
  auto second = small_table();
  second->marks.at_ms_table[0][2] = 0.0f;  // the second AT of beat 2 removed in a pass
  second->marks.at_beat_count = 2;
  run([&](WindowLayer& layer) {
    layer.at_menu(*first);
    go_on.acquire();
    layer.at_menu(*second);
  });
  ASSERT_TRUE(test::wait_until([&] { return frame_->results_view()->grid().flagged == 1; }));
  go_on.release();
  ASSERT_TRUE(test::wait_until([&] { return frame_->results_view()->grid().flagged == 0; }));
  ASSERT_TRUE(program().wait_finished());
}

TEST_F(ResultsRefresh, ExportsAreNamedAfterTheRecording) {
  EXPECT_EQ(frame_->export_name(QStringLiteral("_results.csv")), QStringLiteral("results.csv"));
  auto table = std::make_shared<ResultsSnapshot>(*small_table());
  table->recording = "sample";
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.at_menu(*table);
  });
  ASSERT_TRUE(program().wait_finished());
  ASSERT_TRUE(test::wait_until([&] {
    return frame_->export_name(QStringLiteral("_chart.png")) == QStringLiteral("sample_chart.png");
  }));
  EXPECT_EQ(frame_->export_name(QStringLiteral("_results.csv")), QStringLiteral("sample_results.csv"));
}

TEST_F(ResultsRefresh, ExportsTheTableAndTheChart) {
  const auto table = small_table();
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.at_menu(*table);
  });
  ASSERT_TRUE(program().wait_finished());
  ASSERT_TRUE(test::wait_until([&] { return frame_->results_view()->grid().leads == 1; }));
  test::ScratchDir dir;
  QString reason;
  const QString csv = QString::fromStdString((dir / "table.csv").string());
  ASSERT_TRUE(frame_->save_table_csv(csv, reason)) << reason.toStdString();
  EXPECT_EQ(test::read_whole_file(dir / "table.csv"), results_table_csv(*table));
  const QString png = QString::fromStdString((dir / "chart.png").string());
  ASSERT_TRUE(frame_->save_chart_image(png, reason));
  // The chart as it stands, with a caption above and the ruler below.
  const QImage saved(png);
  EXPECT_EQ(saved.width(), canvas()->snapshot().width());
  EXPECT_GT(saved.height(), canvas()->snapshot().height());
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), frame_->chart_image());
  EXPECT_FALSE(frame_->save_table_csv(QString::fromStdString((dir / "no" / "t.csv").string()), reason));
  EXPECT_EQ(reason, QStringLiteral("フォルダがありません。"));
}

}  // namespace
}  // namespace telmor
