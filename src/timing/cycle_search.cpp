// Windows that follow each lead's cycle, the extremum in each, and the T
// wave's polarity around an RT mark.
#include "timing/cycle_search.h"

#include <algorithm>

namespace telmor {
namespace {

// The first sample of the lowest (at) or highest value of d in w, and the
// flag: flat when every value is the same, edge when the extremum lies at an
// end, near_edge within 1 % of the window's length (one sample at least) of one.
struct Extremum {
  int sample = 0;
  MarkFlag flag = MarkFlag::none;
};

Extremum extremum_in(std::span<const float> d, SampleWindow w, bool lowest) {
  if (w.empty()) return {0, MarkFlag::no_window};
  int found = w.from;
  float best = d[static_cast<std::size_t>(w.from - 1)];
  float other = best;
  for (int s = w.from + 1; s <= w.to; ++s) {
    const float v = d[static_cast<std::size_t>(s - 1)];
    if (lowest ? v < best : v > best) {
      best = v;
      found = s;
    }
    other = lowest ? std::max(other, v) : std::min(other, v);
  }
  if (!(best != other)) return {0, MarkFlag::flat};  // NaN counts as flat: no extremum is known
  if (found == w.from || found == w.to) return {0, MarkFlag::edge};
  const int length = w.to - w.from + 1;
  const int near = std::max(1, length / 100);
  const bool near_end = found - w.from <= near || w.to - found <= near;
  return {found, near_end ? MarkFlag::near_edge : MarkFlag::none};
}

SampleWindow cut(SampleWindow w, int sample_count) {
  return {std::max(w.from, 1), std::min(w.to, sample_count)};
}

// The deepest fall (as a positive number; 0 for none) of d over from..to.
float deepest_fall(std::span<const float> d, int from, int to) {
  float deepest = 0.0f;
  for (int s = std::max(from, 1); s <= std::min(to, static_cast<int>(d.size())); ++s)
    deepest = std::max(deepest, -d[static_cast<std::size_t>(s - 1)]);
  return deepest;
}

}  // namespace

TPolarity t_polarity(std::span<const float> rt_deriv, int rt, int from, int until) {
  const int h = std::max(1, (rt - from) / 2);
  const float before = deepest_fall(rt_deriv, rt - h, rt - 1);
  const float after = deepest_fall(rt_deriv, rt + 1, std::min(rt + h, until));
  const float larger = std::max(before, after);
  if (!(larger > 0.0f)) return TPolarity::none;
  if (std::min(before, after) >= 0.4f * larger) return TPolarity::biphasic;
  return after > before ? TPolarity::positive : TPolarity::negative;
}

LeadCycles search_lead_cycles(std::span<const float> at_deriv, std::span<const float> rt_deriv,
                              const CycleSearch& s, std::span<const int> beats) {
  const std::size_t n = beats.size();
  LeadCycles c;
  c.at.assign(n, 0);
  c.rt.assign(n, 0);
  c.at_window.assign(n, {});
  c.rt_window.assign(n, {});
  c.at_flag.assign(n, MarkFlag::none);
  c.rt_flag.assign(n, MarkFlag::none);
  c.polarity.assign(n, TPolarity::none);
  const auto searched = [&](std::size_t k) {
    return beats[k] >= s.earliest_beat && beats[k] <= s.sample_count - s.end_margin;
  };
  // ATs first: the RT windows end before the next beat's.
  int previous_end = 0;
  for (std::size_t k = 0; k < n; ++k) {
    SampleWindow w = cut({beats[k] + s.at_from, beats[k] + s.at_to}, s.sample_count);
    w.from = std::max(w.from, previous_end + 1);
    previous_end = std::max(previous_end, w.to);
    if (!searched(k)) continue;
    c.at_window[k] = w;
    const Extremum e = extremum_in(at_deriv, w, true);
    c.at[k] = e.sample;
    c.at_flag[k] = e.flag;
  }
  previous_end = 0;
  for (std::size_t k = 0; k < n; ++k) {
    // Where the lead's next beat begins: its AT, or the beat itself.
    int last = s.sample_count;
    if (k + 1 < n) last = (c.at[k + 1] != 0 ? c.at[k + 1] : beats[k + 1]) - s.margin - s.rt_reach;
    const int base = s.rt_from_at ? c.at[k] : beats[k];
    SampleWindow w;
    if (base != 0) {
      w = cut({base + s.rt_from, std::min(base + s.rt_to, last)}, s.sample_count);
      w.from = std::max({w.from, c.at[k] + 1, previous_end + 1});
    }
    if (!w.empty()) previous_end = w.to;
    if (!searched(k)) continue;
    c.rt_window[k] = w;
    const Extremum e = extremum_in(rt_deriv, w, false);
    c.rt[k] = e.sample;
    c.rt_flag[k] = e.flag;
    if (e.sample != 0) c.polarity[k] = t_polarity(rt_deriv, e.sample, c.at[k] != 0 ? c.at[k] : w.from, w.to);
  }
  return c;
}

}  // namespace telmor
