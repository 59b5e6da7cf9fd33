// Shared set-up of the results dialogue tests: a run record whose results
// file lies in a scratch folder, and the lines the dialogues write.
#pragma once

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "record/run_record.h"
#include "support/scripted_layer.h"
#include "support/test_files.h"

namespace telmor::test {

// A results file of three leads: two AT rows, one RT row, an empty entry.
inline constexpr const char* kExampleFile =
    "  2\r\n"
    "    120.,    118.,    131.,\r\n"
    "    950.,    948.,      0.,\r\n"
    "  1\r\n"
    "    400.,    395.,    410.,\r\n";

// result_path as the dialogues show it: all 33 columns.
inline const std::string kShownPath = std::string("d:\\data\\map\\abcari.csv") + std::string(11, ' ');

inline std::string shown(std::string_view before, std::string_view after) {
  return std::string(before) + kShownPath + std::string(after);
}

// The three-lead example of the format: two AT rows (the second without a
// time in lead 3) and one RT row.
inline void fill_three_lead_example(RunRecord& r) {
  r.marks.at_beat_count = 2;
  r.marks.rt_beat_count = 1;
  r.at_ms(1, 1) = 120.0f;
  r.at_ms(2, 1) = 118.0f;
  r.at_ms(3, 1) = 131.0f;
  r.at_ms(1, 2) = 950.0f;
  r.at_ms(2, 2) = 948.0f;
  r.rt_ms(1, 1) = 400.0f;
  r.rt_ms(2, 1) = 395.0f;
  r.rt_ms(3, 1) = 410.0f;
}

// The tables and counts a dialogue may change, for before/after comparisons.
struct TablesSnapshot {
  Table<kMaxLeads, kMaxRows> at_ms;
  Table<kMaxLeads, kMaxRows> rt_ms;
  std::int32_t at_count;
  std::int32_t rt_count;
  bool operator==(const TablesSnapshot&) const = default;
  // The counts only: the tables are too large to print.
  friend void PrintTo(const TablesSnapshot& s, std::ostream* out) {
    *out << "AT count " << s.at_count << ", RT count " << s.rt_count;
  }
};

struct ResultsDialogue : ::testing::Test {
  ScriptedLayer layer;
  std::unique_ptr<RunRecord> record = std::make_unique<RunRecord>();
  test::ScratchDir dir;
  std::filesystem::path file = dir.path() / "abcari.csv";

  void SetUp() override {
    record->result_path.assign("d:\\data\\map\\abcari.csv");
    record->lead_count = 3;
  }

  // Every entry of both tables distinct and non-zero, counts 2 and 1.
  void fill_tables() {
    for (int lead = 1; lead <= kMaxLeads; ++lead) {
      for (int row = 1; row <= kMaxRows; ++row) {
        record->at_ms(lead, row) = static_cast<float>(lead * 1000 + row);
        record->rt_ms(lead, row) = static_cast<float>(-(lead * 1000 + row));
      }
    }
    record->marks.at_beat_count = 2;
    record->marks.rt_beat_count = 1;
  }
  TablesSnapshot snapshot() const {
    return {record->marks.at_ms_table, record->marks.rt_ms_table, record->marks.at_beat_count, record->marks.rt_beat_count};
  }
};

}  // namespace telmor::test
