// The frame's smaller duties: undo and redo enabled by the pass's history,
// exports offered in the recording's folder, the chart image with caption
// and ruler, Qt's texts in Japanese, one path separator in the help, and the
// chart's share of a small window.
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QRegularExpression>
#include <QTranslator>
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <optional>
#include <semaphore>
#include <vector>

#include "correction/mark_correction.h"
#include "gui/chart_canvas.h"
#include "gui/chart_ruler.h"
#include "gui/lead_strip_view.h"
#include "gui/results_view.h"
#include "gui/analysis_menu.h"
#include "gui/help_text.h"
#include "gui/qt_translations.h"
#include "support/gui_test_support.h"
#include "support/pass_record.h"
#include "support/sample_expectation.h"
#include "support/test_files.h"
#include "driver/command_loop.h"
#include "driver/overview.h"
#include "console/curve_drawing.h"
#include "console/drawing_state.h"

namespace telmor {
namespace {

using test::wait_until;

struct Extras : test::DesktopTest {
  std::unique_ptr<RunRecord> record = std::make_unique<RunRecord>();
  DrawingState drawing;
  void SetUp() override {
    test::DesktopTest::SetUp();
    test::set_up_small_pass(*record, drawing);
  }
  bool enabled(bool undo, bool redo) {
    return wait_until([&] {
      return frame_->undo_action()->isEnabled() == undo && frame_->redo_action()->isEnabled() == redo &&
             frame_->pass_key_action(PassKey::right)->isEnabled();
    });
  }
  // Dark pixels in rows [top, bottom) of image.
  static int dark_pixels(const QImage& image, int top, int bottom) {
    int dark = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return dark;
  }
};

TEST_F(Extras, UndoAndRedoAreEnabledOnlyWithAnEditToTakeBackOrBringAgain) {
  run([this](WindowLayer& layer) {
    layer.chart_open();
    correct_marks(layer, *record, drawing, MarkKind::at);
  });
  ASSERT_TRUE(enabled(false, false));
  test::click(canvas(), Qt::LeftButton, test::on_chart(*canvas(), QPoint(300, 120)));
  ASSERT_TRUE(enabled(true, false));
  frame_->undo_action()->trigger();
  ASSERT_TRUE(enabled(false, true));
  frame_->redo_action()->trigger();
  ASSERT_TRUE(enabled(true, false));
  frame_->pass_key_action(PassKey::escape)->trigger();
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ(record->at_ms(1, 1), pass_click_ms(300, 0));
}

TEST_F(Extras, ExportsStartInTheRecordingsFolderAndTheImageHasCaptionAndRuler) {
  std::atomic<bool> shown = false;
  run([&](WindowLayer& layer) {
    layer.chart_open();
    ResultsSnapshot tables;
    tables.recording = "small";
    tables.results_file = std::filesystem::path("/data/map") / "smallari.csv";
    layer.at_menu(tables);
    layer.show_time_axis({TimeAxis::Kind::pass_window, 1000, 0.0f, 0.0f, 2000, 0.25f});
    layer.show_place(Place{2, 1000, 2000, MarkKind::at});
    shown = true;
  });
  ASSERT_TRUE(wait_until([&] { return shown && frame_->place_text().startsWith(QStringLiteral("誘導 2")); }));
  EXPECT_EQ(frame_->export_path(QStringLiteral("_chart.png")), QStringLiteral("/data/map/small_chart.png"));
  EXPECT_EQ(frame_->chart_caption(), QStringLiteral("small  誘導 2  1.0–2.0 s"));
  const QImage image = frame_->chart_image();
  ASSERT_EQ(image.width(), ChartCanvas::kWidth);
  ASSERT_GT(image.height(), ChartCanvas::kHeight);
  const int caption = (image.height() - ChartCanvas::kHeight) / 2;  // caption and ruler bands
  EXPECT_GT(dark_pixels(image, 0, caption - 2), 50);  // the caption's text
  // The ruler: 11 ticks from 1000 to 2000 ms, labels under every 500 ms.
  EXPECT_GT(dark_pixels(image, image.height() - caption, image.height()), 11 * 4);
}

TEST(QtTexts, JapaneseButtonsWhereTheSystemIsJapanese) {
  QTranslator japanese;
  ASSERT_TRUE(install_qt_translations(japanese, QLocale(QLocale::Japanese, QLocale::Japan)));
  QDialogButtonBox buttons(QDialogButtonBox::Close | QDialogButtonBox::Cancel);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Close)->text(), QStringLiteral("閉じる"));
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
  QCoreApplication::removeTranslator(&japanese);
  QTranslator none;
  EXPECT_FALSE(install_qt_translations(none, QLocale(QLocale::Zulu, QLocale::SouthAfrica)));
}

// Every feature of the frame has its words in the help.
TEST(HelpText, CoversEveryFeatureOfTheFrame) {
  const QString help = help_html();
  for (const char* feature : {"記録を開く", "結果表", "要確認", "ダブルクリック", "F3", "拍N（… ms）を削除", "元に戻す",
                              "電極の配置を開く", "マップ", "解析の設定", "範囲を提案", "回復ファイル", "--help",
                              "表を CSV に", "Ctrl+Z", "Page Down"}) {
    EXPECT_TRUE(help.contains(QString::fromUtf8(feature))) << feature;
  }
}

TEST(HelpText, PathExamplesUseOneSeparator) {
  const QString help = help_html();
  const QRegularExpression code(QStringLiteral("<code>([^<]*)</code>"));
  int paths = 0;
  for (auto match = code.globalMatch(help); match.hasNext();) {
    const QString path = match.next().captured(1);
    EXPECT_FALSE(path.contains(QLatin1Char('/'))) << path.toStdString();
    paths += path.contains(QLatin1Char('\\')) ? 1 : 0;
  }
  EXPECT_GE(paths, 3);
}

// Columns of image right of column that hold a pixel of colour.
int columns_with(const QImage& image, QRgb colour, int right_of) {
  int found = 0;
  for (int x = right_of + 1; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      if (image.pixel(x, y) == colour) {
        ++found;
        break;
      }
    }
  }
  return found;
}

// The overview's curve ends at 4000 ms (column 600); markers of later beats
// would stand on blank paper. A marker the user's click draws once the
// program asks is shown wherever it lies.
TEST_F(Extras, NoBeatMarkersPastTheOverviewsCurve) {
  record->record_seconds = 10;
  record->sample_count = 10000;
  for (const int ms : {1000, 3000, 5000, 7000}) record->beat_found(ms / 2000 + 1) = static_cast<float>(ms);
  set_frame(drawing);
  std::binary_semaphore asked(0);
  run([&](WindowLayer& layer) {
    layer.chart_open();
    draw_overview(layer, *record, drawing);
    layer.chart_write("menu");
    layer.chart_read_line();
    // d's pick, clicked right of the curve.
    drawing.mark_x = {0.8f, 0.8f};
    gpl2(layer, drawing.mark_n, drawing.mark_x.data(), drawing.mark_y.data());
    asked.release();
    layer.chart_read_line();
  });
  const QRgb cyan = qRgb(0, 255, 255);
  ASSERT_TRUE(wait_until([&] { return canvas()->asking(); }));
  test::apply_posted();
  const QImage overview = canvas()->image();
  EXPECT_EQ(columns_with(overview, cyan, 0), 2);    // the beats at 1000 and 3000 ms
  EXPECT_EQ(columns_with(overview, cyan, 601), 0);  // none at 5000 and 7000 ms
  ASSERT_TRUE(canvas()->send_reply(QStringLiteral("d")));
  asked.acquire();
  ASSERT_TRUE(wait_until([&] { return columns_with(canvas()->image(), cyan, 601) == 1; }));
  ASSERT_TRUE(canvas()->send_reply(QStringLiteral("n")));
  EXPECT_TRUE(program().wait_finished());
}

// The amplitude bar names the unit the leads' values share; a recording
// that names none (a text file) says so in the bar's tooltip.
TEST_F(Extras, TheAmplitudeBarNamesTheUnitTheLeadsShare) {
  ResultsSnapshot opened;
  opened.lead_count = 2;
  opened.units = {"mV", "mV"};
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.at_menu(opened);
    layer.chart_read_line();
    ResultsSnapshot mixed = opened;
    mixed.units = {"mV", "uV"};
    layer.at_menu(mixed);
    layer.chart_read_line();
  });
  const AmplitudeBar* bar = frame_->amplitude_bar();
  ASSERT_TRUE(wait_until([&] { return bar->toolTip() == QStringLiteral("振幅（mV）"); })) << bar->toolTip().toStdString();
  ASSERT_TRUE(frame_->canvas()->send_reply(QStringLiteral("y")));
  ASSERT_TRUE(wait_until([&] { return bar->toolTip().contains(QStringLiteral("テキストの記録は単位を記しません")); }));
  ASSERT_TRUE(frame_->canvas()->send_reply(QStringLiteral("y")));
  ASSERT_TRUE(program().wait_finished());
}

TEST_F(Extras, AtASmallWindowTheChartKeepsHalfTheHeight) {
  run([](WindowLayer& layer) {
    layer.chart_open();
    layer.at_menu(ResultsSnapshot{});
    layer.chart_read_line();
  });
  frame_->resize(800, 700);
  QWidget* chart = canvas()->parentWidget();
  EXPECT_TRUE(wait_until([&] {
    return frame_->chart_is_open() && frame_->height() == 700 && chart->height() >= 350;
  })) << chart->height() << " of " << frame_->height();
  EXPECT_TRUE(frame_->results_dock()->isVisible());
  EXPECT_GT(frame_->results_dock()->height(), 0);
}

TEST_F(Extras, AtTheStartSizeTheResultsViewShowsSeveralLeadsBelowTheWholeChart) {
  ResultsSnapshot eight;
  eight.lead_count = 8;
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.at_menu(eight);
    layer.chart_read_line();
  });
  QTableWidget* table = frame_->results_view()->table();
  ASSERT_TRUE(wait_until([&] { return frame_->chart_is_open() && table->rowCount() == 8; }));
  QWidget* chart = canvas()->parentWidget();
  const int natural = ChartCanvas::kHeight + frame_->strip()->height() + frame_->ruler()->height();
  EXPECT_TRUE(wait_until([&] {
    return chart->height() >= natural && table->viewport()->height() >= 5 * table->rowHeight(0);
  })) << "chart " << chart->height() << ", table " << table->viewport()->height() << " for rows of "
      << table->rowHeight(0) << " in a frame of " << frame_->height();
}

// The 解析 menu's derivative: read by the program whenever it prepares, and
// at the menu handed over at once so that the next c uses it.
TEST_F(Extras, TheDerivativeChosenInTheMenuReachesTheProgramAtTheMenu) {
  std::mutex seen_mutex;
  std::vector<AnalysisChoice> seen;
  std::optional<MenuEdit> edit;
  run([&](WindowLayer& layer) {
    layer.chart_open();
    layer.at_menu(ResultsSnapshot{});
    MenuRead read = layer.menu_read_line();
    if (const MenuEdit* asked = std::get_if<MenuEdit>(&read)) {
      const std::lock_guard lock(seen_mutex);
      edit = *asked;
      seen.push_back(layer.analysis_choice());
    }
  });
  EXPECT_TRUE(frame_->analysis_menu()->derivative_action(Estimator::centred)->isChecked());
  ASSERT_TRUE(wait_until([&] { return frame_->input().awaiting() == Awaiting::chart_line; }));
  frame_->analysis_menu()->derivative_action(Estimator::legacy)->trigger();
  ASSERT_TRUE(program().wait_finished());
  const std::lock_guard lock(seen_mutex);
  ASSERT_TRUE(edit.has_value());
  EXPECT_EQ(edit->what, MenuEdit::What::analysis);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].kind, Estimator::legacy);
  EXPECT_TRUE(frame_->analysis_menu()->derivative_action(Estimator::legacy)->isChecked());
}

// 範囲を提案 at the menu: the program draws d's window with the suggested
// bounds and asks; taken, they are the program's ranges.
TEST_F(Extras, RangesSuggestedInTheAnalysisMenuAreTakenByTheProgram) {
  test::SampleExpectation e = test::expect_sample();
  DrawingState sample_drawing;
  ASSERT_TRUE(find_beats(*e.r, sample_drawing));
  std::optional<RangeBounds> asked;
  frame_->analysis_menu()->ask_range_answer = [&](const RangeBounds& b) {
    asked = b;
    return RangeAnswer::accept;
  };
  test::DrivesRoot drives;
  run([&](WindowLayer& layer) { run_command_loop(layer, *e.r, sample_drawing, drives.path()); });
  ASSERT_TRUE(wait_until([&] { return frame_->analysis_menu()->suggest_action()->isEnabled(); }));
  frame_->analysis_menu()->suggest_action()->trigger();
  ASSERT_TRUE(wait_until([&] { return asked.has_value(); }));
  ASSERT_TRUE(wait_until([&] { return frame_->input().awaiting() == Awaiting::chart_line; }));
  ASSERT_TRUE(wait_until([&] { return canvas()->send_reply(QStringLiteral("x")); }));
  ASSERT_TRUE(program().wait_finished());
  EXPECT_EQ((RangeBounds{e.r->at_from, e.r->at_to, e.r->rt_from, e.r->rt_to}), *asked);
}

}  // namespace
}  // namespace telmor
