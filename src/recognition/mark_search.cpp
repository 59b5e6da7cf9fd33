// AT: the first sample of the deepest derivative minimum in the AT range.
// RT: the first sample of the highest strict local derivative maximum in the
// RT range. Both around every beat, in every lead.
#include "recognition/mark_search.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace telmor {
namespace {


float find_at(const DerivativeView& d, int lead, long from, long to) {
  long found = 0;
  float lowest = 999999.0f;
  for (long s = from; s <= to; ++s) {
    if (!d.holds(s)) continue;
    const float v = d.at(lead, s);
    if (v < lowest) {
      lowest = v;
      found = s;
    }
  }
  return static_cast<float>(found);
}

float find_rt(const DerivativeView& d, int lead, long from, long to) {
  long found = 0;
  float highest = -999999.0f;
  for (long s = from; s <= to; ++s) {
    // Both neighbours must exist for a strict local maximum.
    if (!d.holds(s - 1) || !d.holds(s + 1)) continue;
    const float v = d.at(lead, s);
    if (v > d.at(lead, s - 1) && v > d.at(lead, s + 1) && v > highest) {
      highest = v;
      found = s;
    }
  }
  return static_cast<float>(found);
}

// The derivative at the sample a stored time names.
float deriv_at(const DerivativeView& d, int lead, float time) {
  const long s = static_cast<long>(std::trunc(time));
  return d.holds(s) ? d.at(lead, s) : 0.0f;
}

enum class Keep { lower, higher };

// Of the pair (i, j), clears the one a pass does not keep.
void settle_pair(const DerivativeView& d, int lead, Keep keep, float& ti, float& tj) {
  const float di = deriv_at(d, lead, ti);
  const float dj = deriv_at(d, lead, tj);
  // Equal derivatives (i = j among them) clear nothing.
  if (di > dj) {
    (keep == Keep::lower ? ti : tj) = 0.0f;
  } else if (di < dj) {
    (keep == Keep::lower ? tj : ti) = 0.0f;
  }
}

bool near(float ti, float tj, float within) {
  return ti != 0.0f && tj != 0.0f && !(std::fabs(ti - tj) > within);
}

// Every pair of rows in row order, as the rule is stated.
void drop_pass_by_pairs(const DerivativeView& d, int lead, int rows, Keep keep, const MarkRows& marks,
                        float within) {
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= rows; ++j) {
      // Current contents: an entry cleared earlier takes no further part.
      float& ti = marks.at(lead, i);
      float& tj = marks.at(lead, j);
      if (near(ti, tj, within)) settle_pair(d, lead, keep, ti, tj);
    }
  }
}

// The same pairs in the same order, looking only at the rows whose times lie
// near row i's: entries only ever become empty, so the rows near row i are
// among those whose first times were, and once row i is cleared no later
// pair of it counts. A recording of thousands of beats needs no millions of
// comparisons per lead.
void drop_pass(const DerivativeView& d, int lead, int rows, Keep keep, const MarkRows& marks, float within,
               std::vector<int>& by_time, std::vector<int>& nearby) {
  by_time.clear();
  for (int row = 1; row <= rows; ++row) {
    if (marks.at(lead, row) != 0.0f) by_time.push_back(row);
  }
  const auto time_of = [&](int row) { return marks.at(lead, row); };
  std::vector<float> times;
  times.reserve(by_time.size());
  std::sort(by_time.begin(), by_time.end(), [&](int a, int b) { return time_of(a) < time_of(b); });
  for (const int row : by_time) times.push_back(time_of(row));
  for (int i = 1; i <= rows; ++i) {
    const float first = marks.at(lead, i);
    if (first == 0.0f) continue;
    // A margin beyond the distance that the float test cannot reach.
    const auto from = std::lower_bound(times.begin(), times.end(), first - 2.0f * within);
    const auto to = std::upper_bound(times.begin(), times.end(), first + 2.0f * within);
    nearby.assign(by_time.begin() + (from - times.begin()), by_time.begin() + (to - times.begin()));
    std::sort(nearby.begin(), nearby.end());
    for (const int j : nearby) {
      float& ti = marks.at(lead, i);
      if (ti == 0.0f) break;
      float& tj = marks.at(lead, j);
      if (near(ti, tj, within)) settle_pair(d, lead, keep, ti, tj);
    }
  }
}

}  // namespace

void find_marks(const DerivativeView& at_deriv, const DerivativeView& rt_deriv, const MarkSearch& search,
                std::span<const std::int32_t> row_beats, MarkRows at, MarkRows rt) {
  for (std::size_t row = 0; row < row_beats.size(); ++row) {
    const long b = row_beats[row];
    const bool searched = b >= search.earliest_beat && b <= search.sample_count - search.end_margin;
    const int k = static_cast<int>(row) + 1;
    for (int lead = 1; lead <= search.lead_count; ++lead) {
      at.at(lead, k) = searched ? find_at(at_deriv, lead, b + search.at_from, b + search.at_to) : 0.0f;
      rt.at(lead, k) = searched ? find_rt(rt_deriv, lead, b + search.rt_from, b + search.rt_to) : 0.0f;
    }
  }
}

void drop_near_duplicate_marks(const DerivativeView& at_deriv, const DerivativeView& rt_deriv, int lead_count,
                               int rows, MarkRows at, MarkRows rt, float near) {
  std::vector<int> by_time, nearby;
  for (int lead = 1; lead <= lead_count; ++lead) {
    drop_pass(at_deriv, lead, rows, Keep::lower, at, near, by_time, nearby);
    drop_pass(rt_deriv, lead, rows, Keep::higher, rt, near, by_time, nearby);
  }
}

void drop_near_duplicate_marks_by_pairs(const DerivativeView& at_deriv, const DerivativeView& rt_deriv,
                                        int lead_count, int rows, MarkRows at, MarkRows rt, float near) {
  for (int lead = 1; lead <= lead_count; ++lead) {
    drop_pass_by_pairs(at_deriv, lead, rows, Keep::lower, at, near);
    drop_pass_by_pairs(rt_deriv, lead, rows, Keep::higher, rt, near);
  }
}

}  // namespace telmor
