// The keys of a correction pass: stepping, leaving, and undo and redo that
// restore the table exactly, each in the window of its edit.
#include <string>
#include <vector>

#include "correction/mark_correction.h"
#include "support/correction_harness.h"

namespace telmor::test {
namespace {

using PassKeys = CorrectionPass;

// The state an edit changes: one lead's times and sources, and the row count.
struct Table {
  MarkColumn times;
  SourceColumn sources;
  std::int32_t count;
  bool operator==(const Table&) const = default;
};

Table table_of(const RunRecord& r, int lead) {
  return {r.marks.at_ms_table[static_cast<std::size_t>(lead - 1)],
          r.marks.at_source_table[static_cast<std::size_t>(lead - 1)], r.marks.at_beat_count};
}

TEST_F(PassKeys, EveryKeyMovesWhereItSays) {
  // Two leads of three seconds: six windows each.
  struct Case {
    std::vector<PassKey> keys;
    int lead, start_ms;  // the last window shown
  };
  const Case cases[] = {
      {{PassKey::right, PassKey::space}, 1, 1000},
      {{PassKey::right, PassKey::right, PassKey::left}, 1, 500},
      {{PassKey::left}, 1, 0},
      {{PassKey::right, PassKey::page_down}, 2, 0},
      {{PassKey::page_down, PassKey::right, PassKey::page_up}, 1, 0},
      {{PassKey::page_down, PassKey::right, PassKey::right, PassKey::left}, 2, 500},
  };
  for (const Case& c : cases) {
    layer = {};
    for (PassKey k : c.keys) key(k);
    EXPECT_FALSE(run());
    EXPECT_EQ(layer.place.lead, c.lead);
    EXPECT_EQ(layer.place.start_ms, c.start_ms);
    EXPECT_EQ(layer.place.end_ms, c.start_ms + 1000);
  }
}

// The frame's go-to (a strip click, a flagged cell): the window of that lead
// holding the time nearest its middle; lead 0 is the pass's own lead, and a
// lead outside the run leaves the pass where it is.
TEST_F(PassKeys, GoToShowsTheWindowHoldingTheTime) {
  struct Case {
    int to_lead, to_ms;
    int lead, start_ms;
  };
  const Case cases[] = {
      {2, 1600, 2, 1000}, {2, 1800, 2, 1500}, {1, 0, 1, 0},      {1, 2999, 1, 2500},
      {0, 1250, 1, 1000}, {2, 9000, 2, 2500}, {3, 1000, 1, 0},   {-1, 1000, 1, 0},
  };
  for (const Case& c : cases) {
    layer = {};
    layer.mouse_input.push_back({kPassKey, 0, 0, PassKey::go_to, c.to_lead, c.to_ms});
    EXPECT_FALSE(run());
    EXPECT_EQ(layer.place.lead, c.lead) << c.to_lead << ' ' << c.to_ms;
    EXPECT_EQ(layer.place.start_ms, c.start_ms) << c.to_lead << ' ' << c.to_ms;
  }
}

TEST_F(PassKeys, PageDownOnTheLastLeadAndEscapeEndThePass) {
  key(PassKey::page_down);
  key(PassKey::page_down);
  EXPECT_TRUE(run());  // past the last lead: the end
  layer = {};
  left(300);
  key(PassKey::escape);
  EXPECT_TRUE(run());
  EXPECT_EQ(layer.transcript.back(), "chart: clear");
  EXPECT_EQ(layer.place.lead, 0);
  EXPECT_EQ(record->at_ms(1, 1), 499.99997f);  // leaving keeps the edits
}

struct UndoRedo : PassKeys {
  // Lead 1 holds 100 (loaded) and 900 (detected) in rows 1 and 2 of three,
  // as the results file was last saved.
  void SetUp() override {
    PassKeys::SetUp();
    record->marks.at_beat_count = 3;
    record->at_ms(1, 1) = 100.0f;
    record->at_ms(1, 2) = 900.0f;
    record->marks.at_source_table[0][0] = MarkSource::loaded;
    record->marks.at_source_table[0][1] = MarkSource::detected;
    record->at_ms(2, 1) = 7.0f;
    note_saved(*record);
    left(300);  // adds 499.99997: four rows
    left(66);   // 110: takes 100 away, and the row its click made
  }
};

TEST_F(UndoRedo, UndoingEveryEditGivesBackTheTableThePassBeganWith) {
  const Table start = table_of(*record, 1);
  key(PassKey::undo);
  key(PassKey::undo);
  key(PassKey::undo);  // nothing left to undo
  EXPECT_FALSE(run());
  EXPECT_EQ(table_of(*record, 1), start);
  EXPECT_EQ(record->at_ms(2, 1), 7.0f);
  EXPECT_FALSE(record->results_unsaved);  // as the pass found it
  EXPECT_EQ(layer.notes, (std::vector<std::string>{
                             "誘導1 AT 500 ms を追加", "誘導1 AT 100 ms を削除",
                             "誘導1 AT 100 ms の削除を取り消しました",
                             "誘導1 AT 500 ms の追加を取り消しました", "取り消す修正がありません"}));
}

TEST_F(UndoRedo, RedoingThemGivesBackTheTableTheEditsMade) {
  key(PassKey::redo);  // nothing undone yet
  key(PassKey::undo);
  key(PassKey::undo);
  key(PassKey::redo);
  key(PassKey::redo);
  EXPECT_FALSE(run());
  EXPECT_EQ(record->marks.at_beat_count, 4);
  EXPECT_EQ(at_column(1, 4), (std::vector<float>{499.99997f, 900.0f, 0.0f, 0.0f}));
  EXPECT_EQ(record->marks.at_source_table[0][0], MarkSource::hand);
  EXPECT_EQ(record->marks.at_source_table[0][1], MarkSource::detected);
  EXPECT_TRUE(record->results_unsaved);
  EXPECT_EQ(layer.notes[2], "やり直す修正がありません");
  EXPECT_EQ(layer.notes.back(), "誘導1 AT 100 ms の削除をやり直しました");
}

TEST_F(PassKeys, UndoGoesBackToTheWindowOfTheEditFirst) {
  left(300);             // window 1 of lead 1: 500
  right(7);              // window 2 of lead 2
  key(PassKey::undo);
  EXPECT_FALSE(run());
  EXPECT_EQ(captions().back(), "誘導  1の  0.0-  1.0secを解析します。");
  EXPECT_EQ(record->marks.at_beat_count, 0);
  EXPECT_TRUE(marks(layer.screens.back()).empty());
}

TEST_F(PassKeys, ANewClickClearsWhatCouldBeRedone) {
  left(300);
  key(PassKey::undo);
  left(450);  // 750
  key(PassKey::redo);
  EXPECT_FALSE(run());
  EXPECT_EQ(at_column(1, 2), (std::vector<float>{750.0f, 0.0f}));
  EXPECT_EQ(layer.notes.back(), "やり直す修正がありません");
  EXPECT_TRUE(record->results_unsaved);
}

TEST_F(PassKeys, UndoOfARemovalFromAFullTableBringsTheTimeBack) {
  record->marks.at_beat_count = 200;
  for (int r = 1; r <= 200; ++r) {
    record->at_ms(1, r) = static_cast<float>(100 * r);
    record->marks.at_source_table[0][static_cast<std::size_t>(r - 1)] = MarkSource::detected;
  }
  const Table full = table_of(*record, 1);
  left(300);  // takes 500 away
  left(300);  // nothing near, no row: the table is full, no edit
  key(PassKey::undo);
  EXPECT_FALSE(run());
  EXPECT_EQ(table_of(*record, 1), full);
  EXPECT_EQ(layer.notes.back(), "誘導1 AT 500 ms の削除を取り消しました");
}

}  // namespace
}  // namespace telmor::test
