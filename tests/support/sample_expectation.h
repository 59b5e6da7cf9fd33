// What the demo session must find on the bundled sample, worked out here
// with plain searches over the prepared derivative, independently of the
// detection code: the beats, and for every beat and lead the AT (first
// deepest derivative in the AT range) and the RT (first highest strict peak
// in the RT range), after the rule that of two results of a lead at most
// 50 ms apart only the one at the more extreme derivative stays.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "driver/beat_list.h"
#include "timing/beat_search.h"
#include "readers/waveform_rows.h"
#include "driver/overview.h"
#include "driver/record_preparation.h"
#include "support/record_tables.h"

namespace telmor::test {

inline const std::filesystem::path kSampleFile =
    std::filesystem::path(TELMOR_SOURCE_DIR) / "examples" / "d" / "data" / "map" / "sample.txt";
inline constexpr int kSampleLeads = 8;
// The demo's four clicks: columns 107, 137, 211 and 361 of the range window.
inline constexpr int kDemoAtFrom = 107 * 5 / 3 - 200, kDemoAtTo = 137 * 5 / 3 - 200;
inline constexpr int kDemoRtFrom = 211 * 5 / 3 - 200, kDemoRtTo = 361 * 5 / 3 - 200;

// The demo script without its snapshot lines and its final x.
inline std::string demo_steps() {
  std::ifstream demo(std::filesystem::path(TELMOR_SOURCE_DIR) / "examples" / "demo.script");
  std::string text;
  for (std::string line; std::getline(demo, line);) {
    if (line.rfind("snapshot", 0) == 0 || line == "chart x") continue;
    text += line + "\n";
  }
  return text;
}

// Recognition ranges in ms from a beat.
struct SampleRanges {
  int at_from = kDemoAtFrom, at_to = kDemoAtTo, rt_from = kDemoRtFrom, rt_to = kDemoRtTo;
};

struct SampleExpectation {
  std::unique_ptr<RunRecord> r = std::make_unique<RunRecord>();
  SampleRanges ranges;
  std::vector<int> beats;  // ascending
  // Rows 1..beats + 1 of every lead, whole ms; row 1 empty.
  std::vector<std::vector<int>> at, rt;

  float d(int lead, int s) const { return r->deriv(lead, s); }
  // The derivative RT is found on (the RT derivative of the default, centred;
  // the one derivative of legacy).
  float rt_d(int lead, int s) const { return r->rt_table()[static_cast<std::size_t>(lead - 1)][static_cast<std::size_t>(s - 1)]; }
};

namespace sample_detail {

struct Silent : ConsoleOutput {
  void console_write(std::string_view) override {}
};

inline int steepest_fall(const SampleExpectation& e, int lead, int b) {
  int best = b + e.ranges.at_from;
  for (int s = b + e.ranges.at_from; s <= b + e.ranges.at_to; ++s) {
    if (e.d(lead, s) < e.d(lead, best)) best = s;
  }
  return best;
}

inline int highest_peak(const SampleExpectation& e, int lead, int b) {
  int best = 0;
  for (int s = b + e.ranges.rt_from; s <= b + e.ranges.rt_to; ++s) {
    const bool peak = e.rt_d(lead, s) > e.rt_d(lead, s - 1) && e.rt_d(lead, s) > e.rt_d(lead, s + 1);
    if (peak && (best == 0 || e.rt_d(lead, s) > e.rt_d(lead, best))) best = s;
  }
  return best;
}

// keep_lower: AT keeps the steeper fall; otherwise RT keeps the higher peak.
inline void drop_near(const SampleExpectation& e, std::vector<std::vector<int>>& rows, bool keep_lower) {
  for (int lead = 1; lead <= kSampleLeads; ++lead) {
    for (auto& a : rows) {
      for (auto& b : rows) {
        int& ta = a[lead - 1];
        int& tb = b[lead - 1];
        if (ta == 0 || tb == 0 || std::abs(ta - tb) > 50) continue;
        const float da = keep_lower ? e.d(lead, ta) : e.rt_d(lead, ta);
        const float db = keep_lower ? e.d(lead, tb) : e.rt_d(lead, tb);
        if (da == db) continue;
        const bool a_loses = keep_lower ? da > db : da < db;
        (a_loses ? ta : tb) = 0;
      }
    }
  }
}

}  // namespace sample_detail

// The beats found with amp_ratio, and AT and RT within ranges around them.
inline SampleExpectation expect_sample(float amp_ratio = 0.1f, SampleRanges ranges = {},
                                       DerivativeKind kind = DerivativeKind::centred) {
  SampleExpectation e;
  e.ranges = ranges;
  RunRecord& r = *e.r;
  r.derivative_kind = kind;
  r.lead_count = kSampleLeads;
  r.record_seconds = 10;
  r.sample_count = 10000;
  r.smooth_points = 7;
  r.amp_ratio = amp_ratio;
  std::ifstream file(kSampleFile);
  if (parse_waveform_rows(file, kSampleLeads, r.sample_count, wave_target(r)).status != WaveReadStatus::ok) return e;
  sample_detail::Silent console;
  prepare_signals(r, console);
  if (overview_amplitude(r) == 0.0f) return e;
  search_beats(r);
  sort_beats(r);
  for (int b : r.beat_ms_list) {
    if (b != 0) e.beats.insert(e.beats.begin(), b);
  }
  e.at.assign(1, std::vector<int>(kSampleLeads, 0));
  e.rt = e.at;
  for (int b : e.beats) {
    // Beats too near either end of the recording are not searched.
    const bool searched = b >= 101 && b <= r.sample_count - 200;
    std::vector<int> at_row, rt_row;
    for (int lead = 1; lead <= kSampleLeads; ++lead) {
      at_row.push_back(searched ? sample_detail::steepest_fall(e, lead, b) : 0);
      rt_row.push_back(searched ? sample_detail::highest_peak(e, lead, b) : 0);
    }
    e.at.push_back(at_row);
    e.rt.push_back(rt_row);
  }
  sample_detail::drop_near(e, e.at, true);
  sample_detail::drop_near(e, e.rt, false);
  return e;
}

// A results file as the program must write it: count lines in 3 columns,
// 9-character fields, CR LF.
inline std::string results_text(const std::vector<std::vector<int>>& at,
                                const std::vector<std::vector<int>>& rt) {
  std::string text;
  const auto block = [&](const std::vector<std::vector<int>>& rows) {
    std::string count = std::to_string(rows.size());
    text += std::string(3 - count.size(), ' ') + count + "\r\n";
    for (const auto& row : rows) {
      for (int t : row) {
        const std::string digits = std::to_string(t);
        text += std::string(7 - digits.size(), ' ') + digits + ".,";
      }
      text += "\r\n";
    }
  };
  block(at);
  block(rt);
  return text;
}

}  // namespace telmor::test
