// Snapshots are taken when the program next blocks, or at its end.
#include "replay/replay_layer.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/png_test_reader.h"
#include "support/replay_harness.h"
#include "support/test_files.h"

namespace telmor {
namespace {

using test::ReplayHarness;

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0xFF0000;    // as RRGGBB
constexpr std::uint32_t kBlue = 0x0000F0;

test::DecodedPng snapshot(const std::filesystem::path& path) {
  return test::decode_stored_png(test::read_whole_file(path));
}

TEST(ReplaySnapshot, TakenWhenTheProgramNextBlocks) {
  test::ScratchDir dir;
  const std::string a = (dir / "a.png").string(), b = (dir / "b.png").string();
  ReplayHarness h("snapshot " + a + "\nchart go\nsnapshot " + b + "\npress left 5 5\n");
  ASSERT_EQ(h.run([&](WindowLayer& layer) {
              layer.chart_open();
              layer.set_color_rgb(0x0000FF);
              layer.move_to(0, 0);
              layer.line_to(10, 0);
              EXPECT_FALSE(std::filesystem::exists(a));  // not before the program blocks
              layer.chart_read_line();
              EXPECT_TRUE(std::filesystem::exists(a));
              EXPECT_FALSE(std::filesystem::exists(b));
              layer.set_color_rgb(0xF00000);
              layer.line_to(10, 10);
              layer.wait_mouse_event(kLeftPress);
              layer.chart_clear();
              layer.program_stop();
            }),
            0);
  const test::DecodedPng first = snapshot(a);
  EXPECT_EQ(first.pixel(5, 0), kRed);
  EXPECT_EQ(first.pixel(10, 5), kWhite);
  const test::DecodedPng second = snapshot(b);
  EXPECT_EQ(second.pixel(5, 0), kRed);
  EXPECT_EQ(second.pixel(10, 5), kBlue);
}

TEST(ReplaySnapshot, WaitsUntilBothHalvesOfADoubleClickAreUsed) {
  test::ScratchDir dir;
  const std::string s = (dir / "s.png").string();
  ReplayHarness h("double left 1 1\nsnapshot " + s + "\npress right 2 2\n");
  ASSERT_EQ(h.run([&](WindowLayer& layer) {
              EXPECT_EQ(layer.wait_mouse_event(41 + kLeftDouble).event, kLeftPress);
              layer.line_to(0, 3);
              EXPECT_EQ(layer.wait_mouse_event(41 + kLeftDouble).event, kLeftDouble);
              EXPECT_FALSE(std::filesystem::exists(s));
              layer.line_to(0, 6);
              EXPECT_EQ(layer.wait_mouse_event(41).event, kRightPress);
              layer.program_stop();
            }),
            0);
  const test::DecodedPng png = snapshot(s);
  EXPECT_EQ(png.pixel(0, 3), 0u);
  EXPECT_EQ(png.pixel(0, 6), 0u);
  EXPECT_EQ(png.pixel(0, 7), kWhite);
}

TEST(ReplaySnapshot, LeftOverSnapshotsAreTakenAtTheEnd) {
  test::ScratchDir dir;
  const std::string end = (dir / "end.png").string();
  ReplayHarness h("console x\nsnapshot " + end + "\nchart unused\npress left 1 1\n");
  ASSERT_EQ(h.run([&](WindowLayer& layer) {
              layer.console_read_line();
              layer.set_color_rgb(0x0000FF);
              layer.move_to(100, 200);
              layer.line_to(100, 200);
              layer.program_stop();
            }),
            0);
  EXPECT_EQ(snapshot(end).pixel(100, 200), kRed);
  ASSERT_EQ(h.layer.unused_directives().size(), 2u);
  EXPECT_EQ(h.layer.unused_directives()[0].line_number, 3);
  EXPECT_EQ(h.layer.unused_directives()[1].source, "press left 1 1");
}

TEST(ReplaySnapshot, SnapshotsBeforeAMismatchAreStillTaken) {
  test::ScratchDir dir;
  const std::string s = (dir / "s.png").string();
  ReplayHarness h("snapshot " + s + "\nconsole y\n");
  EXPECT_EQ(h.run([](WindowLayer& layer) { layer.wait_mouse_event(9); }), kReplayMismatch);
  EXPECT_TRUE(std::filesystem::exists(s));
}

TEST(ReplaySnapshot, UnwritableSnapshotStopsTheRun) {
  test::ScratchDir dir;
  const std::string bad = (dir / "missing" / "s.png").string();
  ReplayHarness h("snapshot " + bad + "\nconsole y\n");
  EXPECT_EQ(h.run([](WindowLayer& layer) { layer.console_read_line(); }), kReplayUsageError);
  EXPECT_EQ(h.message, "script line 1: cannot write the snapshot " + bad);
}

}  // namespace
}  // namespace telmor
