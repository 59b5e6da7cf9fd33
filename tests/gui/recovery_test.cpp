// Edits that survive a crash: the recovery file's text, its writing at most
// once a second, its life beside the results file (written after an edit,
// removed by a save, a load or 保存しない), and the restore after a kill.
#include <QProcess>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "correction/mark_table.h"
#include "driver/command_loop.h"
#include "session/recovery_file.h"
#include "gui/recovery_keeper.h"
#include "recovery_walk.h"
#include "results/results_format.h"
#include "support/gui_test_support.h"
#include "support/test_files.h"

namespace telmor {
namespace {

using test::wait_until;

// The settings lines of the small session, written out by hand.
constexpr const char* kSettingsLines =
    "# TELMOR recovery\r\nlead_count=2\r\namp_ratio=0.5\r\nsmooth_points=7\r\n"
    "at_range=-50,100\r\nrt_range=150,400\r\nestimator=centred\r\nrt_smooth_points=35\r\n";

std::string results_text(const MarkTables& marks, int leads) {
  std::string text;
  EXPECT_EQ(format_results(marks, leads, text).fault, FormatFault::none);
  return text;
}

// The kill test's edits as the mark table makes them: lead 1's AT at 500 ms,
// then lead 2's at 200 ms (in row 2, sorted to row 1, under the shared count).
MarkTables walk_tables() {
  MarkTables marks;
  edit_at_click(marks.at_ms_table[0], marks.at_source_table[0], marks.at_beat_count,
                test::kLead1Ms);
  edit_at_click(marks.at_ms_table[1], marks.at_source_table[1], marks.at_beat_count,
                test::kLead2Ms);
  return marks;
}

TEST(RecoveryText, IsTheResultsFileThenTheSettingsAndReadsBack) {
  ResultsSnapshot tables;
  tables.lead_count = 2;
  tables.marks.at_ms(1, 1) = test::kLead1Ms;
  tables.marks.at_ms(2, 1) = test::kLead2Ms;
  tables.marks.at_beat_count = 1;
  tables.marks.rt_ms(2, 3) = 812.0f;
  tables.marks.rt_beat_count = 3;
  tables.amp_ratio = 0.5f;
  tables.smooth_points = 7;
  tables.at_from = -50;
  tables.at_to = 100;
  tables.rt_from = 150;
  tables.rt_to = 400;
  const std::string text = recovery_text(tables);
  EXPECT_EQ(text, results_text(tables.marks, 2) + kSettingsLines);
  const std::optional<Recovered> back = parse_recovery(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(differing_marks(back->tables.marks, tables.marks, 2), 0);
  EXPECT_EQ(back->tables.marks.rt_beat_count, 3);
  EXPECT_EQ(back->tables.marks.at_source_table[0][0], MarkSource::loaded);
  EXPECT_EQ(back->lead_count, 2);
  EXPECT_EQ(back->amp_ratio, 0.5f);
  EXPECT_EQ(back->smooth_points, 7);
  EXPECT_EQ(back->tables.at_from, -50);
  EXPECT_EQ(back->tables.rt_to, 400);
}

TEST(RecoveryText, AnythingMissingOrBadReadsNothing) {
  ResultsSnapshot tables;
  tables.lead_count = 2;
  const std::string good = recovery_text(tables);
  const auto without = [&](const std::string& part, const std::string& by = "") {
    std::string text = good;
    text.replace(text.find(part), part.size(), by);
    return text;
  };
  for (const std::string& text :
       {without("# TELMOR recovery\r\n"), without("smooth_points=0\r\n"),
        without("lead_count=2", "lead_count=21"), without("amp_ratio=0", "amp_ratio=0,5"),
        without("at_range=0,0", "at_range=0"), without("estimator=centred\r\n"),
        without("rt_smooth_points=35\r\n"), without("estimator=centred", "estimator=legacy"),
        without("rt_smooth_points=35", "rt_smooth_points=1"),
        without("estimator=centred", "estimator=centred\r\nestimator=centred"), good.substr(0, 20)}) {
    EXPECT_FALSE(parse_recovery(text)) << text;
  }
}

// A file written before the choice of derivative names none: it was legacy.
TEST(RecoveryText, NamesTheDerivativeAndReadsOlderFilesAsLegacy) {
  ResultsSnapshot tables;
  tables.lead_count = 2;
  tables.rt_smooth_points = 33;
  const std::string centred = recovery_text(tables);
  tables.estimator = Estimator::legacy;
  const std::string legacy = recovery_text(tables);
  EXPECT_EQ(legacy.find("rt_smooth_points"), std::string::npos);
  std::string older = legacy;
  older.erase(older.find("estimator=legacy\r\n"));
  struct Case {
    const std::string& text;
    Estimator kind;
    std::int32_t rt_smooth_points;
  };
  for (const Case& c : {Case{centred, Estimator::centred, 33}, Case{legacy, Estimator::legacy, 0},
                        Case{older, Estimator::legacy, 0}}) {
    const std::optional<Recovered> back = parse_recovery(c.text);
    ASSERT_TRUE(back) << c.text;
    EXPECT_EQ(back->estimator, c.kind);
    EXPECT_EQ(back->rt_smooth_points, c.rt_smooth_points);
  }
}

TEST(RecoveryKeeperTiming, WritesAtOnceThenAtMostOnceASecond) {
  test::ScratchDir dir;
  RecoveryKeeper keeper;
  keeper.set_results_file(dir / "aari.csv");
  auto tables = std::make_shared<ResultsSnapshot>();
  tables->lead_count = 1;
  tables->marks.at_ms(1, 1) = 100.0f;
  tables->marks.at_beat_count = 1;
  keeper.keep(tables, false);
  const auto holds = [&](float ms) {
    const std::optional<Recovered> run = parse_recovery(test::read_whole_file(keeper.file()));
    return run && run->tables.marks.at_ms(1, 1) == ms;
  };
  ASSERT_TRUE(holds(100.0f));
  auto later = std::make_shared<ResultsSnapshot>(*tables);
  later->marks.at_ms(1, 1) = 300.0f;
  keeper.keep(later, false);
  EXPECT_TRUE(holds(100.0f));  // within the second
  EXPECT_FALSE(wait_until([&] { return holds(300.0f); }, std::chrono::milliseconds(600)));
  EXPECT_TRUE(wait_until([&] { return holds(300.0f); }, std::chrono::milliseconds(1500)));
  keeper.drop();
  EXPECT_FALSE(std::filesystem::exists(keeper.file()));
}

// The frame over the real command loop on the small session.
struct Recovery : test::DesktopTest {
  test::DrivesRoot drives;
  std::unique_ptr<RunRecord> record = std::make_unique<RunRecord>();
  DrawingState drawing;
  std::optional<RecoveryOffer> offered;

  void SetUp() override {
    test::DesktopTest::SetUp();
    test::set_up_small_session(*record, drawing);
    std::filesystem::create_directories(results_file().parent_path());
    frame_->ask_recovery_choice = [this](const RecoveryOffer& offer) {
      offered = offer;
      return RecoveryChoice::restore;
    };
  }
  std::filesystem::path results_file() const { return test::small_results_file(drives.path()); }
  std::filesystem::path recovery() const { return recovery_path(results_file()); }
  void start() {
    run([this](WindowLayer& layer) { run_command_loop(layer, *record, drawing, drives.path()); });
  }
  // A reply in the chart once the program reads one.
  bool reply(const char* text) {
    return wait_until([&] { return canvas()->send_reply(QString::fromUtf8(text)); });
  }
  bool at_menu() {
    return wait_until([&] { return frame_->letter_action('x')->isEnabled(); });
  }
  bool shows(const char* place) {
    return wait_until([&] { return frame_->place_text() == QString::fromUtf8(place); });
  }
  // An AT pass adding lead 1's mark, ended with Esc and n to its save question.
  bool edit_in_a_pass() {
    if (!at_menu()) return false;
    frame_->letter_action('a')->trigger();
    if (!shows("誘導 1  0.0–1.0 s")) return false;
    test::click(canvas(), Qt::LeftButton, test::on_chart(*canvas(), test::kLead1Click));
    if (!wait_until([&] { return std::filesystem::exists(recovery()); })) return false;
    frame_->pass_key_action(PassKey::escape)->trigger();
    return reply("n") && at_menu();
  }
};

TEST_F(Recovery, WrittenAfterAnEditAndRemovedBySaveLoadAndDiscard) {
  start();
  ASSERT_TRUE(edit_in_a_pass());
  MarkTables edited;
  edited.at_ms(1, 1) = test::kLead1Ms;
  edited.at_beat_count = 1;
  EXPECT_EQ(test::read_whole_file(recovery()), results_text(edited, 2) + kSettingsLines);
  // s: saved, the recovery file goes.
  ASSERT_TRUE(reply("s") && reply("y"));
  EXPECT_TRUE(wait_until([&] { return !std::filesystem::exists(recovery()); }));
  EXPECT_EQ(test::read_whole_file(results_file()), results_text(edited, 2));
  // o: loaded, it goes again.
  ASSERT_TRUE(edit_in_a_pass());  // takes lead 1's mark away again
  ASSERT_TRUE(reply("o") && reply("y"));
  EXPECT_TRUE(wait_until([&] { return !std::filesystem::exists(recovery()); }));
  // x with 保存しない: it goes too.
  ASSERT_TRUE(edit_in_a_pass());
  frame_->ask_exit_choice = [] { return ExitChoice::discard; };
  ASSERT_TRUE(reply("x"));
  ASSERT_TRUE(program().wait_finished());
  EXPECT_FALSE(std::filesystem::exists(recovery()));
  EXPECT_FALSE(offered);  // none was there at the start
}

// The kill test's child, started in the middle of its pass ("ready" read).
void start_child_in_pass(QProcess& child, const std::filesystem::path& root,
                         QStringList more = {}) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  child.setProcessEnvironment(env);
  child.start(QStringLiteral(TELMOR_RECOVERY_CHILD),
              QStringList{QString::fromStdU16String(root.u16string())} + more);
  ASSERT_TRUE(child.waitForStarted());
  ASSERT_TRUE(wait_until([&] { return child.canReadLine() || child.state() == QProcess::NotRunning; },
                         std::chrono::seconds(20)));
  ASSERT_EQ(child.readLine().trimmed(), QByteArray("ready"));
}

// SIGTERM within the second that lead 2's mark waits for: the file is
// written before the signal ends the process, which still dies by it.
TEST_F(Recovery, ATerminatingSignalWritesWhatWaitsThenEnds) {
  QProcess child;
  ASSERT_NO_FATAL_FAILURE(start_child_in_pass(child, drives.path(), {QStringLiteral("term")}));
  child.terminate();
  ASSERT_TRUE(child.waitForFinished());
  EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
  const std::optional<Recovered> run = parse_recovery(test::read_whole_file(recovery()));
  ASSERT_TRUE(run);
  EXPECT_EQ(differing_marks(run->tables.marks, walk_tables(), 2), 0);
}

TEST_F(Recovery, AfterAKillInAPassRestoreBringsTheEditsBackForS) {
  QProcess child;
  ASSERT_NO_FATAL_FAILURE(start_child_in_pass(child, drives.path()));
  child.kill();  // SIGKILL: no handler, no exit, in the middle of the pass
  ASSERT_TRUE(child.waitForFinished());
  EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
  ASSERT_TRUE(std::filesystem::exists(recovery()));
  ASSERT_FALSE(std::filesystem::exists(results_file()));

  start();
  ASSERT_TRUE(wait_until([&] { return offered.has_value() && frame_->unsaved(); }));
  EXPECT_EQ(offered->differing_marks, 2);  // against no results file at all
  ASSERT_TRUE(at_menu());
  ASSERT_TRUE(reply("s") && reply("y"));
  ASSERT_TRUE(wait_until([&] { return std::filesystem::exists(results_file()); }));
  EXPECT_EQ(test::read_whole_file(results_file()), results_text(walk_tables(), 2));
  EXPECT_TRUE(wait_until([&] { return !std::filesystem::exists(recovery()); }));
  ASSERT_TRUE(reply("x"));
  ASSERT_TRUE(program().wait_finished());
}

// Two desktops on one recording: B (the child, killed in its pass) keeps its
// own recovery file, which A does not offer, overwrite or remove; A's edits go
// to a file of A's own, removed by A's save. At the next start B's file is
// offered, with the note that the results file (A's) is newer.
TEST_F(Recovery, TwoDesktopsOnOneRecordingKeepEachOthersEdits) {
  QProcess other;
  ASSERT_NO_FATAL_FAILURE(start_child_in_pass(other, drives.path()));
  const std::string others = test::read_whole_file(recovery());
  start();
  ASSERT_TRUE(at_menu());
  EXPECT_FALSE(offered);  // a running desktop's file is not offered
  frame_->letter_action('a')->trigger();
  ASSERT_TRUE(shows("誘導 1  0.0–1.0 s"));
  test::click(canvas(), Qt::LeftButton, test::on_chart(*canvas(), test::kLead1Click));
  const std::filesystem::path own = recovery_path(results_file(), 2);
  ASSERT_TRUE(wait_until([&] { return std::filesystem::exists(own); }));
  frame_->pass_key_action(PassKey::escape)->trigger();
  ASSERT_TRUE(reply("y"));  // A saves at the end of its pass
  ASSERT_TRUE(wait_until([&] { return !std::filesystem::exists(own); }));
  MarkTables a_edits;
  a_edits.at_ms(1, 1) = test::kLead1Ms;
  a_edits.at_beat_count = 1;
  EXPECT_EQ(test::read_whole_file(results_file()), results_text(a_edits, 2));
  EXPECT_EQ(test::read_whole_file(recovery()), others);  // B's, untouched

  other.kill();
  ASSERT_TRUE(other.waitForFinished());
  const RecoveryFindings next_start = find_recoveries(results_file());
  ASSERT_EQ(next_start.offers.size(), 1u);
  EXPECT_EQ(next_start.offers[0].file, recovery());
  EXPECT_TRUE(next_start.offers[0].older_than_results);
  EXPECT_EQ(differing_marks(next_start.offers[0].recovered.tables.marks, walk_tables(), 2), 0);
  ASSERT_TRUE(at_menu());
  ASSERT_TRUE(reply("x"));
  ASSERT_TRUE(program().wait_finished());
}

}  // namespace
}  // namespace telmor
