// The bundled sample from the start-up dialogue to a saved results file: the
// demo's ranges, the detection and a save. The saved AT and RT of every beat
// and lead are checked against a plain search over the derivative, written
// here independently of the detection code.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "driver/find_beats.h"
#include "driver/overview.h"
#include "driver/prepare_signals.h"
#include "driver/run_program.h"
#include "driver/waveform_reader.h"
#include "replay/replay_run.h"
#include "test_files.h"

namespace telmor {
namespace {

const std::filesystem::path kSample =
    std::filesystem::path(TELMOR_SOURCE_DIR) / "examples" / "d" / "data" / "map" / "sample.txt";
constexpr int kLeads = 8;
// The demo's four clicks: columns 107, 137, 211 and 361 of the range window.
constexpr int kAtFrom = 107 * 5 / 3 - 200, kAtTo = 137 * 5 / 3 - 200;
constexpr int kRtFrom = 211 * 5 / 3 - 200, kRtTo = 361 * 5 / 3 - 200;

struct NoConsole : ConsoleOutput {
  void console_write(std::string_view) override {}
};

// The demo session without snapshots, saving before it exits.
std::string save_session() {
  std::ifstream demo(std::filesystem::path(TELMOR_SOURCE_DIR) / "examples" / "demo.script");
  std::string text;
  for (std::string line; std::getline(demo, line);) {
    if (line.rfind("snapshot", 0) == 0 || line == "chart x") continue;
    text += line + "\n";
  }
  return text + "chart s\nchart y\nchart x\n";
}

// Whole numbers of one block of a results file: count, then rows of leads.
std::vector<std::vector<int>> read_block(std::istream& in) {
  std::string line;
  std::getline(in, line);
  const int count = std::stoi(line);
  std::vector<std::vector<int>> rows;
  for (int k = 0; k < count && std::getline(in, line); ++k) {
    std::vector<int> row;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, ',');) {
      if (field.find_first_not_of(" \r") != std::string::npos) row.push_back(std::stoi(field));
    }
    rows.push_back(row);
  }
  return rows;
}

struct Expected {
  std::vector<int> beats;  // ascending
  std::unique_ptr<RunRecord> r = std::make_unique<RunRecord>();
  float d(int lead, int s) const { return r->deriv(lead, s); }
};

Expected prepare_sample() {
  Expected e;
  RunRecord& r = *e.r;
  r.lead_count = kLeads;
  r.record_seconds = 10;
  r.sample_count = 10000;
  r.smooth_points = 7;
  r.amp_ratio = 0.1f;
  std::ifstream file(kSample);
  EXPECT_EQ(parse_waveform_rows(file, kLeads, r.sample_count, r), WaveReadStatus::ok);
  NoConsole console;
  prepare_signals(r, console);
  EXPECT_TRUE(find_beats(r));
  sort_beats(r);
  for (int b : r.beat_ms_list) {
    if (b != 0) e.beats.insert(e.beats.begin(), b);
  }
  return e;
}

int steepest_fall(const Expected& e, int lead, int b) {
  int best = b + kAtFrom;
  for (int s = b + kAtFrom; s <= b + kAtTo; ++s) {
    if (e.d(lead, s) < e.d(lead, best)) best = s;
  }
  return best;
}

int highest_peak(const Expected& e, int lead, int b) {
  int best = 0;
  for (int s = b + kRtFrom; s <= b + kRtTo; ++s) {
    const bool peak = e.d(lead, s) > e.d(lead, s - 1) && e.d(lead, s) > e.d(lead, s + 1);
    if (peak && (best == 0 || e.d(lead, s) > e.d(lead, best))) best = s;
  }
  return best;
}

// A result missing from the file must have lost to a neighbour within 50 ms
// at a more extreme derivative.
bool dropped_for(const Expected& e, int lead, int time, const std::vector<std::vector<int>>& rows,
                 bool keep_lower) {
  for (const auto& row : rows) {
    const int other = row[lead - 1];
    if (other == 0 || std::abs(other - time) > 50) continue;
    if (keep_lower ? e.d(lead, other) < e.d(lead, time) : e.d(lead, other) > e.d(lead, time))
      return true;
  }
  return false;
}

TEST(SampleResults, SavedTablesMatchAPlainSearchOfEveryBeatAndLead) {
  test::ScratchDir root;
  std::filesystem::create_directories(root.path() / "d" / "data" / "map");
  std::filesystem::copy_file(kSample, root.path() / "d" / "data" / "map" / "sample.txt");
  const std::string script_path = (root / "save.script").string();
  test::write_whole_file(script_path, save_session());
  const std::string root_arg = root.path().string();
  const std::vector<std::string_view> args = {"--root", root_arg, script_path};
  std::ostringstream out, err;
  ASSERT_EQ(replay_main(args, run_program, out, err), 0) << err.str();

  std::ifstream saved(root.path() / "d" / "data" / "map" / "sampleari.csv", std::ios::binary);
  ASSERT_TRUE(saved.good());
  const auto at_rows = read_block(saved);
  const auto rt_rows = read_block(saved);

  const Expected e = prepare_sample();
  ASSERT_EQ(e.beats.size(), 15u);
  ASSERT_EQ(at_rows.size(), e.beats.size() + 1);
  ASSERT_EQ(rt_rows.size(), e.beats.size() + 1);
  EXPECT_EQ(at_rows[0], std::vector<int>(kLeads, 0));
  EXPECT_EQ(rt_rows[0], std::vector<int>(kLeads, 0));
  int found = 0;
  for (std::size_t k = 0; k < e.beats.size(); ++k) {
    const int b = e.beats[k];
    ASSERT_EQ(at_rows[k + 1].size(), static_cast<std::size_t>(kLeads));
    for (int lead = 1; lead <= kLeads; ++lead) {
      const int at = steepest_fall(e, lead, b), rt = highest_peak(e, lead, b);
      const int saved_at = at_rows[k + 1][lead - 1], saved_rt = rt_rows[k + 1][lead - 1];
      if (saved_at == at) {
        ++found;
      } else {
        EXPECT_EQ(saved_at, 0) << "beat " << b << " lead " << lead;
        EXPECT_TRUE(dropped_for(e, lead, at, at_rows, true)) << "beat " << b << " lead " << lead;
      }
      if (saved_rt == rt) {
        ++found;
      } else {
        EXPECT_EQ(saved_rt, 0) << "beat " << b << " lead " << lead;
        EXPECT_TRUE(dropped_for(e, lead, rt, rt_rows, false)) << "beat " << b << " lead " << lead;
      }
    }
  }
  // Almost every beat keeps both marks in every lead.
  EXPECT_GE(found, static_cast<int>(e.beats.size()) * kLeads * 2 - 8);
}

}  // namespace
}  // namespace telmor
