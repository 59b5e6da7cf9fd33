// Two programs on one recording: a save replaces the results file only when
// it is what this program saw last (when it started on the recording, or
// loaded or saved since), or when the user says to overwrite what the other
// made of it. Another program's save, removal or new file is played by a
// write between the menu letter and the save's check.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "driver/command_loop.h"
#include "driver/results_dialogues.h"
#include "driver/overview.h"
#include "support/results_fixture.h"
#include "support/scripted_layer.h"
#include "support/test_files.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;

// What the other program saved: a whole results file of its own.
constexpr const char* kOthers = "  1\r\n    333.,    444.,    555.,\r\n  0\r\n";

const std::string kAskSave = test::shown("chart> AT,RTデータを", "に保存します。");
const std::string kSaved = test::shown("chart> AT,RTデータ", "を保存しました。");
const std::string kNotSaved = test::shown("chart> AT,RTデータを", "に保存しませんでした。");
const std::string kLeftAsItIs = "chart> ファイルはそのままにしました。AT,RTは未保存です。";

struct ChangedResults : ::testing::Test {
  test::ScriptedLayer layer;
  std::unique_ptr<RunRecord> r = std::make_unique<RunRecord>();
  DrawingState drawing;
  test::DrivesRoot root;
  fs::path file = root.path() / "d" / "data" / "map" / "abcari.csv";

  void SetUp() override {
    fs::create_directories(file.parent_path());
    r->result_path.assign("d:\\data\\map\\abcari.csv");
    r->lead_count = 3;
    r->sample_count = 2000;
    r->record_seconds = 2;
    r->wave(1, 500) = 2.0f;
    for (int i = 1; i <= r->sample_count; ++i) r->time_ms(i) = static_cast<float>(i);
    r->amp_ratio = 1.0f;
    ASSERT_TRUE(find_beats(*r, drawing));
    // The tables of the format's example, not yet saved.
    test::fill_three_lead_example(*r);
    update_unsaved(*r);
  }
  // The command loop with these replies; true when it ended, false when it
  // waited at its menu again for a reply the test did not give.
  bool run(std::initializer_list<const char*> replies) {
    for (const char* reply : replies) layer.chart_input.emplace_back(reply);
    try {
      run_command_loop(layer, *r, drawing, root.path());
      return true;
    } catch (const InputClosed&) {
      return false;
    }
  }
  // The other program acts as this one takes its n-th menu reply s (from 1).
  void meanwhile_at_save(int n, std::function<void()> act) {
    layer.on_chart_read = [this, n, act, seen = 0](const std::string& line) mutable {
      if (line == "s" && ++seen == n) act();
    };
  }
  void others_save() { test::write_whole_file(file, kOthers); }
  int count(const std::string& line) const {
    return static_cast<int>(std::count(layer.transcript.begin(), layer.transcript.end(), line));
  }
  // The transcript from the first line equal to from.
  std::vector<std::string> transcript_from(const std::string& from, std::size_t lines) const {
    const auto at = std::find(layer.transcript.begin(), layer.transcript.end(), from);
    if (at == layer.transcript.end()) return {};
    const auto n = std::min<std::size_t>(lines, static_cast<std::size_t>(layer.transcript.end() - at));
    return {at, at + static_cast<std::ptrdiff_t>(n)};
  }
};

// Nothing changed underneath: the save asks and writes as it always did,
// over a file that was there when the program started as over none.
TEST_F(ChangedResults, UnchangedFilesAreSavedAsBefore) {
  for (const bool there_before : {false, true}) {
    SCOPED_TRACE(there_before ? "a file there at the start" : "no file at the start");
    layer = {};
    r->results_seen = {};
    if (there_before) test::write_whole_file(file, kOthers);
    else fs::remove(file);
    EXPECT_TRUE(run({"s", "y", "s", "y", "x"}));
    EXPECT_TRUE(layer.changed_files.empty());
    EXPECT_EQ(test::read_whole_file(file), test::kExampleFile);
    const std::vector<std::string> save = {kAskSave, "chart> いいですか? <y/n>", "chart< y", kSaved};
    EXPECT_EQ(transcript_from(kAskSave, 4), save);
    EXPECT_EQ(count(kSaved), 2);
    EXPECT_EQ(count(kNotSaved), 0);
    EXPECT_EQ(layer.exit_questions, 0);
    EXPECT_FALSE(layer.unsaved);
  }
}

// Another program saved between this one's start and its save, or removed
// the file this one saved, or made one where there was none: asked, and by
// default that file stays as it is, byte for byte (or stays away), and the
// tables stay unsaved, so that x asks before they are lost.
TEST_F(ChangedResults, AChangeElsewhereIsAskedAboutAndKeptByDefault) {
  struct Case {
    const char* name;
    bool there_at_start;
    int at_save;          // the other acts at this save (the first saves unhindered when 2)
    bool removes;         // the other removes the file rather than saving it
    FileChange change;
    const char* line;
  };
  const Case cases[] = {
      {"saved over the file there at the start", true, 1, false, FileChange::changed,
       "chart> このファイルは、この画面が最後に見た後に、ほかで書き換えられています。"},
      {"saved over this program's save", false, 2, false, FileChange::changed,
       "chart> このファイルは、この画面が最後に見た後に、ほかで書き換えられています。"},
      {"removed this program's save", false, 2, true, FileChange::removed,
       "chart> このファイルは、この画面が最後に見た後に、ほかで削除されています。"},
      {"made where there was none", false, 1, false, FileChange::created,
       "chart> このファイルは、この画面が最後に見た時にはなく、その後ほかで作られています。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    layer = {};
    r->results_seen = {};
    fs::remove(file);
    if (c.there_at_start) test::write_whole_file(file, "  0\r\n  0\r\n");
    meanwhile_at_save(c.at_save, [&] {
      if (c.removes) fs::remove(file);
      else others_save();
    });
    std::vector<const char*> replies = {"s", "y"};
    if (c.at_save == 2) replies = {"s", "y", "s", "y"};
    for (const char* reply : replies) layer.chart_input.emplace_back(reply);
    EXPECT_TRUE(run({"x"}));  // x asks first; the layer's answer: end without saving
    ASSERT_EQ(layer.changed_files.size(), 1u);
    EXPECT_EQ(layer.changed_files[0].change, c.change);
    EXPECT_EQ(layer.changed_files[0].shown_path, "d:\\data\\map\\abcari.csv");
    if (c.removes) {
      EXPECT_FALSE(fs::exists(file));
    } else {
      EXPECT_EQ(test::read_whole_file(file), kOthers);
    }
    const std::vector<std::string> kept = {"changed file?", kNotSaved, c.line, kLeftAsItIs};
    EXPECT_EQ(transcript_from("changed file?", 4), kept);
    EXPECT_TRUE(r->results_unsaved);
    EXPECT_TRUE(layer.unsaved);
    EXPECT_EQ(layer.exit_questions, 1);
  }
}

// Kept, a later save asks again: the file is still the other's.
TEST_F(ChangedResults, AKeptFileIsAskedAboutAgainAtTheNextSave) {
  meanwhile_at_save(1, [&] { others_save(); });
  EXPECT_FALSE(run({"s", "y", "s", "y"}));
  EXPECT_EQ(layer.changed_files.size(), 2u);
  EXPECT_EQ(test::read_whole_file(file), kOthers);
  EXPECT_EQ(count(kSaved), 0);
}

// Only an explicit answer overwrites: then the save goes on as usual, and
// the file it wrote is the one the next save compares with.
TEST_F(ChangedResults, OverwriteOnAnExplicitYes) {
  layer.changed_file_answer = ChangedFileAnswer::overwrite;
  meanwhile_at_save(1, [&] { others_save(); });
  EXPECT_TRUE(run({"s", "y", "s", "y", "x"}));
  EXPECT_EQ(layer.changed_files.size(), 1u);
  EXPECT_EQ(test::read_whole_file(file), test::kExampleFile);
  const std::vector<std::string> overwritten = {"changed file?", kSaved};
  EXPECT_EQ(transcript_from("changed file?", 2), overwritten);
  EXPECT_EQ(count(kSaved), 2);
  EXPECT_FALSE(r->results_unsaved);
  EXPECT_FALSE(layer.unsaved);
  EXPECT_EQ(layer.exit_questions, 0);
}

// The other's file loaded with o is what this program saw last: saving over
// it asks nothing.
TEST_F(ChangedResults, ALoadedFileIsThisProgramsOwn) {
  layer.on_chart_read = [&, done = false](const std::string& line) mutable {
    if (line == "o" && !done) {
      others_save();
      done = true;
    }
  };
  EXPECT_TRUE(run({"o", "y", "s", "y", "x"}));
  EXPECT_TRUE(layer.changed_files.empty());
  EXPECT_EQ(count(kSaved), 1);
}

// Closing with unsaved tables and choosing to save them first: the same
// question; kept, the program stays at its menu with the tables unsaved.
TEST_F(ChangedResults, TheSaveOfTheCloseGuardAsksToo) {
  layer.exit_choice = ExitChoice::save;
  layer.on_chart_read = [&, done = false](const std::string& line) mutable {
    if (line == "x" && !done) {
      others_save();
      done = true;
    }
  };
  EXPECT_FALSE(run({"x"}));
  EXPECT_EQ(layer.exit_questions, 1);
  EXPECT_EQ(layer.changed_files.size(), 1u);
  EXPECT_EQ(test::read_whole_file(file), kOthers);
  EXPECT_TRUE(r->results_unsaved);
  EXPECT_EQ(layer.transcript.back(), std::string("chart> ") + "保存(s),既データ読込(o),認識範囲(d),計算(c),AT修正(a),RT修正(r),終了(x)");
}

// A file that grows past what is hashed is still told apart by its size.
TEST_F(ChangedResults, AHugeFileChangedElsewhereIsToldApart) {
  test::write_whole_file(file, std::string(5u << 20, ' '));
  meanwhile_at_save(1, [&] { test::write_whole_file(file, std::string((5u << 20) + 1, ' ')); });
  EXPECT_FALSE(run({"s", "y"}));
  ASSERT_EQ(layer.changed_files.size(), 1u);
  EXPECT_EQ(layer.changed_files[0].change, FileChange::changed);
}

}  // namespace
}  // namespace telmor
