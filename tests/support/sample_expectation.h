// What the demo session must find on the bundled sample, worked out here
// with plain searches over the prepared derivative, independently of the
// detection code: the beats, and for every beat and lead
// - legacy: the AT (first deepest derivative in the AT range) and the RT
//   (first highest strict peak in the RT range), after the rule that of two
//   results of a lead at most 50 ms apart only the one at the more extreme
//   derivative stays;
// - centred: the AT and RT (first deepest, first highest) in windows that
//   follow the lead's cycle: an AT window starts after the previous beat's,
//   an RT window after the lead's AT and the previous RT window and ends
//   30 ms before the lead's next AT (its beat without one; the recording's
//   end after the last beat); an extremum at a window's end, or a window of
//   one value, is no mark.
#pragma once

#include <algorithm>
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

// The first sample of the lowest (or highest) value over from..to of one
// lead's derivative, 0 when it lies at an end or the values are all equal.
template <class Value>
int interior_extreme(int from, int to, bool lowest, Value value) {
  if (to < from) return 0;
  int best = from;
  bool all_equal = true;
  for (int s = from; s <= to; ++s) {
    if (value(s) != value(from)) all_equal = false;
    if (lowest ? value(s) < value(best) : value(s) > value(best)) best = s;
  }
  return all_equal || best == from || best == to ? 0 : best;
}

// The centred search of one lead over the beats, into at_row / rt_row
// (index k for beat k + 1).
inline void cycle_search(const SampleExpectation& e, int lead, std::vector<int>& at, std::vector<int>& rt) {
  const int n = e.r->sample_count;
  const auto searched = [&](int b) { return b >= 101 && b <= n - 200; };
  const std::size_t beats = e.beats.size();
  at.assign(beats, 0);
  rt.assign(beats, 0);
  int end = 0;
  for (std::size_t k = 0; k < beats; ++k) {
    const int b = e.beats[k];
    const int from = std::max({b + e.ranges.at_from, end + 1, 1}), to = std::min(b + e.ranges.at_to, n);
    end = std::max(end, to);
    if (searched(b)) at[k] = interior_extreme(from, to, true, [&](int s) { return e.d(lead, s); });
  }
  end = 0;
  for (std::size_t k = 0; k < beats; ++k) {
    const int b = e.beats[k];
    const int reach = 20 + e.r->rt_smooth_points;
    const int next = k + 1 < beats ? (at[k + 1] != 0 ? at[k + 1] : e.beats[k + 1]) : n + reach;
    const int from = std::max({b + e.ranges.rt_from, at[k] + 1, end + 1, 1});
    const int to = std::min({b + e.ranges.rt_to, next - reach, n});
    if (to >= from) end = to;
    if (searched(b)) rt[k] = interior_extreme(from, to, false, [&](int s) { return e.rt_d(lead, s); });
  }
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
                                       Estimator kind = Estimator::centred) {
  SampleExpectation e;
  e.ranges = ranges;
  RunRecord& r = *e.r;
  r.estimator = kind;
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
  if (kind == Estimator::centred) {
    e.at.resize(e.beats.size() + 1, std::vector<int>(kSampleLeads, 0));
    e.rt.resize(e.at.size(), std::vector<int>(kSampleLeads, 0));
    for (int lead = 1; lead <= kSampleLeads; ++lead) {
      std::vector<int> at, rt;
      sample_detail::cycle_search(e, lead, at, rt);
      for (std::size_t k = 0; k < at.size(); ++k) {
        e.at[k + 1][static_cast<std::size_t>(lead - 1)] = at[k];
        e.rt[k + 1][static_cast<std::size_t>(lead - 1)] = rt[k];
      }
    }
    return e;
  }
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
