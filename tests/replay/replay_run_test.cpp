// The body of telmor-replay run with a stand-in program: statuses, messages, files.
#include "replay/replay_run.h"

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/png_test_reader.h"
#include "replay/replay_stopped.h"
#include "support/test_files.h"
#include "telmor_version.h"

namespace telmor {
namespace {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

RunResult replay(const std::vector<std::string_view>& arguments, const ReplayProgram& program) {
  std::ostringstream out, err;
  RunResult run;
  run.status = replay_main(arguments, program, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// A small dialogue: a console question, a chart menu, one click.
void dialogue(WindowLayer& layer, const std::filesystem::path&) {
  layer.console_write("name?");
  const std::string name = layer.console_read_line();
  layer.chart_open();
  layer.chart_write("hello " + name);
  layer.set_color_rgb(0x0000FF);
  layer.move_to(0, 0);
  layer.line_to(20, 0);
  layer.chart_read_line();
  layer.wait_mouse_event(kLeftPress + kRightPress);
  layer.chart_close();
  layer.program_stop();
}

TEST(ReplayRun, CompleteRun) {
  test::ScratchDir dir;
  const auto script = (dir / "s.txt").string();
  const auto log = (dir / "draw.txt").string();
  const auto png = (dir / "end.png").string();
  test::write_whole_file(script, "console abc\r\nchart x\r\npress right 3 4\r\nsnapshot " + png + "\r\n");
  const RunResult run = replay({"--draw-log", log, script}, dialogue);
  EXPECT_EQ(run.status, kReplayEnded);
  EXPECT_EQ(run.out,
            "console> name?\nconsole< abc\nchart: open\nchart> hello abc\nchart< x\n"
            "chart: mouse 8 3 4\nchart: close\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(test::read_whole_file(log), "line 0 0 20 0 FF0000\n");
  EXPECT_EQ(test::decode_stored_png(test::read_whole_file(png)).pixel(20, 0), 0xFF0000u);
}

// The frame's notes reach the transcript only when asked for, so that
// transcripts made before notes existed stay as they were.
TEST(ReplayRun, NotesOnlyWithTheOption) {
  const auto noting = [](WindowLayer& layer, const std::filesystem::path&) {
    layer.show_note("AT範囲が逆です");
    layer.program_stop();
  };
  test::ScratchDir dir;
  test::write_whole_file(dir / "s.txt", "");
  EXPECT_EQ(replay({"--notes", (dir / "s.txt").string()}, noting).out,
            "chart: note AT範囲が逆です\n");
  EXPECT_EQ(replay({(dir / "s.txt").string()}, noting).out, "");
}

TEST(ReplayRun, PassesTheRootToTheProgram) {
  test::ScratchDir dir;
  test::write_whole_file(dir / "s.txt", "");
  std::filesystem::path seen;
  const auto program = [&seen](WindowLayer& layer, const std::filesystem::path& root) {
    seen = root;
    layer.program_stop();
  };
  EXPECT_EQ(replay({"--root", "/some/drives", (dir / "s.txt").string()}, program).status, 0);
  EXPECT_EQ(seen, "/some/drives");
  EXPECT_EQ(replay({(dir / "s.txt").string()}, program).status, 0);
  EXPECT_EQ(seen, ".");
}

TEST(ReplayRun, ScriptRunningOutIsStatus3) {
  test::ScratchDir dir;
  test::write_whole_file(dir / "s.txt", "console abc\n");
  const RunResult run = replay({(dir / "s.txt").string()}, dialogue);
  EXPECT_EQ(run.status, kReplayRanOut);
  EXPECT_EQ(run.err,
            "telmor-replay: the script ran out while the program waited for a line typed into "
            "the chart\n");
  EXPECT_EQ(run.out, "console> name?\nconsole< abc\nchart: open\nchart> hello abc\n");
}

TEST(ReplayRun, MismatchIsStatus4) {
  test::ScratchDir dir;
  test::write_whole_file(dir / "s.txt", "console abc\npress left 1 1\n");
  const RunResult run = replay({(dir / "s.txt").string()}, dialogue);
  EXPECT_EQ(run.status, kReplayMismatch);
  EXPECT_EQ(run.err,
            "telmor-replay: script line 2 (press left 1 1) does not fit: the program waited for "
            "a line typed into the chart\n");
}

TEST(ReplayRun, MalformedScriptIsStatus2NamingTheLine) {
  test::ScratchDir dir;
  const auto script = (dir / "s.txt").string();
  test::write_whole_file(script, "console abc\npress middle 1 1\n");
  bool ran = false;
  const RunResult run = replay({script}, [&ran](WindowLayer&, const std::filesystem::path&) { ran = true; });
  EXPECT_EQ(run.status, kReplayUsageError);
  EXPECT_FALSE(ran);
  EXPECT_EQ(run.err, "telmor-replay: " + script +
                         ": line 2: unknown button 'middle', expected 'press left|right X Y'\n");
}

TEST(ReplayRun, UnreadableScriptIsStatus2) {
  test::ScratchDir dir;
  const RunResult run = replay({(dir / "none.txt").string()}, dialogue);
  EXPECT_EQ(run.status, kReplayUsageError);
  EXPECT_NE(run.err.find("cannot open the script"), std::string::npos) << run.err;
}

TEST(ReplayRun, BadArgumentsAreStatus2WithTheUsage) {
  const RunResult run = replay({"--colour", "s.txt"}, dialogue);
  EXPECT_EQ(run.status, kReplayUsageError);
  EXPECT_EQ(run.err, "telmor-replay: unknown option --colour\n" + std::string(kReplayUsage) + "\n");
}

TEST(ReplayRun, HelpListsTheOptionsAndTheScriptLines) {
  const RunResult help = replay({"--help"}, dialogue);
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_TRUE(help.out.starts_with(std::string(kReplayUsage) + "\n")) << help.out;
  for (const char* item : {"--root DIR", "--draw-log FILE", "--help", "--version", "console TEXT",
                           "chart TEXT", "press left|right X Y", "double left|right X Y",
                           "key NAME", "pagedown", "escape", "undo", "redo", "snapshot FILE",
                           "export FILE", "exit status"}) {
    EXPECT_NE(help.out.find(item), std::string::npos) << item;
  }
}

TEST(ReplayRun, VersionLikeTheOtherPrograms) {
  const RunResult version = replay({"--version"}, dialogue);
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.err, "");
  EXPECT_EQ(version.out, "telmor-replay " + std::string(kTelmorVersion) + "\n");
}

TEST(ReplayRun, UnwritableDrawLogIsStatus2) {
  test::ScratchDir dir;
  test::write_whole_file(dir / "s.txt", "");
  const RunResult run = replay({"--draw-log", (dir / "no" / "log.txt").string(), (dir / "s.txt").string()},
                         dialogue);
  EXPECT_EQ(run.status, kReplayUsageError);
  EXPECT_NE(run.err.find("cannot write the draw log"), std::string::npos) << run.err;
}

TEST(ReplayRun, UnusedDirectivesAreWarnedAbout) {
  test::ScratchDir dir;
  test::write_whole_file(dir / "s.txt", "console abc\nchart x\npress left 1 1\nchart extra\n");
  const RunResult run = replay({(dir / "s.txt").string()}, dialogue);
  EXPECT_EQ(run.status, kReplayEnded);
  EXPECT_EQ(run.err,
            "telmor-replay: warning: script line 4 (chart extra) was not used: the program had "
            "ended\n");
}

TEST(ReplayRun, ProgramThatDoesNotStopOrThrowsFails) {
  test::ScratchDir dir;
  test::write_whole_file(dir / "s.txt", "");
  const auto script = (dir / "s.txt").string();
  const RunResult returned = replay({script}, [](WindowLayer&, const std::filesystem::path&) {});
  EXPECT_EQ(returned.status, kReplayFailed);
  EXPECT_EQ(returned.err, "telmor-replay: the program returned without stopping\n");
  const RunResult threw = replay({script}, [](WindowLayer&, const std::filesystem::path&) {
    throw std::logic_error("broken");
  });
  EXPECT_EQ(threw.status, kReplayFailed);
  EXPECT_EQ(threw.err, "telmor-replay: the program failed: broken\n");
}

}  // namespace
}  // namespace telmor
