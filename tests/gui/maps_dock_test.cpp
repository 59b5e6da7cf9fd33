// The maps dock: the layout beside the recording, the beats to choose, the
// figure drawn and saved, and the frame handing it the tables at the menu.
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "gui/maps_dock.h"
#include "support/gui_test_support.h"
#include "support/test_files.h"

namespace telmor {
namespace {

// Six leads on a 2 × 3 grid of 1 mm, three beats; the wave runs along +x
// at 0.5 m/s, so lead n activates 2 ms per column after its beat.
std::shared_ptr<ResultsSnapshot> grid_tables(const std::filesystem::path& results_file) {
  auto s = std::make_shared<ResultsSnapshot>();
  s->recording = "grid";
  s->results_file = results_file;
  s->lead_count = 6;
  s->at_from = -80;
  const int beats[] = {3000, 2000, 1000};  // as the list holds them, latest first
  for (int k = 0; k < 3; ++k) s->beat_ms_list[static_cast<std::size_t>(k)] = beats[k];
  s->marks.at_beat_count = s->marks.rt_beat_count = 4;  // row 1 empty, as c leaves it
  for (int lead = 1; lead <= 6; ++lead) {
    for (int row = 2; row <= 4; ++row) {
      const float beat = static_cast<float>(1000 * (row - 1));
      s->marks.at_ms(lead, row) = beat + static_cast<float>(2 * ((lead - 1) % 3));
      s->marks.rt_ms(lead, row) = beat + 200.0f + static_cast<float>(lead);
    }
  }
  return s;
}

constexpr const char* kGridLayout = "lead,x_mm,y_mm\n1,0,0\n2,1,0\n3,2,0\n4,0,1\n5,1,1\n6,2,1\n";

bool all_white(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
    }
  }
  return true;
}

TEST(MapsDock, LayoutBesideTheRecordingGivesTheFigureOfTheChosenBeat) {
  test::ScratchDir dir;
  MapsDock dock;
  dock.show_results(grid_tables(dir / "gridari.csv"));
  ASSERT_EQ(dock.beat_choice()->count(), 3);
  EXPECT_EQ(dock.beat_choice()->currentIndex(), 1);  // the middle beat
  EXPECT_TRUE(all_white(dock.render(400, 300)));     // no layout yet
  EXPECT_FALSE(dock.save_button()->isEnabled());

  EXPECT_FALSE(dock.use_layout_beside(dir.path(), "grid"));
  EXPECT_TRUE(dock.layout_line()->text().contains(QStringLiteral("grid.layout.csv がありません")));
  test::write_whole_file(dir / "grid.layout.csv", kGridLayout);
  ASSERT_TRUE(dock.use_layout_beside(dir.path(), "grid"));
  EXPECT_TRUE(dock.layout_line()->text().contains(QStringLiteral("電極 6 個")));
  EXPECT_TRUE(dock.save_button()->isEnabled());

  const QImage at = dock.render(600, 450);
  EXPECT_FALSE(all_white(at));
  dock.map_choice()->setCurrentIndex(1);  // RT: another map
  EXPECT_NE(dock.render(600, 450), at);

  ASSERT_FALSE(dock.save_figure(dir / "grid.svg"));
  ASSERT_FALSE(dock.save_figure(dir / "grid.png"));
  EXPECT_TRUE(test::read_whole_file(dir / "grid.svg").starts_with("<?xml"));
  EXPECT_TRUE(test::read_whole_file(dir / "grid.png").starts_with("\x89PNG"));
}

TEST(MapsDock, LayoutFileWithAFaultNamesItsLineAndKeepsNoLayout) {
  test::ScratchDir dir;
  test::write_whole_file(dir / "bad.csv", "lead,x_mm,y_mm\n1,0,0\n1,2,0\n");
  MapsDock dock;
  dock.show_results(grid_tables(dir / "gridari.csv"));
  EXPECT_FALSE(dock.use_layout_file(dir / "bad.csv"));
  EXPECT_TRUE(dock.layout_line()->text().contains(QStringLiteral("の3行目")));
  EXPECT_FALSE(dock.layout().has_value());
}

struct FrameMaps : test::DesktopTest {};

TEST_F(FrameMaps, TheMenuHandsTheDockTheTablesAndItsLayout) {
  test::ScratchDir dir;
  test::write_whole_file(dir / "grid.layout.csv", kGridLayout);
  const auto tables = grid_tables(dir / "gridari.csv");
  run([&](WindowLayer& layer) {
    layer.at_menu(*tables);
    layer.chart_open();
    (void)layer.chart_read_line();
  });
  const auto* maps = static_cast<MapsDock*>(frame_->maps()->view());
  ASSERT_TRUE(test::wait_until([&] { return maps->layout().has_value(); }));
  EXPECT_EQ(maps->beat_choice()->count(), 3);
  EXPECT_EQ(frame_->maps()->dock()->windowTitle(), QStringLiteral("マップ"));
}

}  // namespace
}  // namespace telmor
