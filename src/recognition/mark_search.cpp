// AT: the first sample of the deepest derivative minimum in the AT range.
// RT: the first sample of the highest strict local derivative maximum in the
// RT range. Both around every beat, in every lead.
#include "recognition/mark_search.h"

#include <cmath>

namespace telmor {
namespace {

constexpr long kEarliestBeat = 101;
constexpr long kEndMargin = 200;
constexpr float kDuplicateMs = 50.0f;

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

void drop_pass(const DerivativeView& d, int lead, int rows, Keep keep, const MarkRows& marks) {
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= rows; ++j) {
      // Current contents: an entry cleared earlier takes no further part.
      float& ti = marks.at(lead, i);
      float& tj = marks.at(lead, j);
      if (ti == 0.0f || tj == 0.0f || std::fabs(ti - tj) > kDuplicateMs) continue;
      const float di = deriv_at(d, lead, ti);
      const float dj = deriv_at(d, lead, tj);
      // Equal derivatives (i = j among them) clear nothing.
      if (di > dj) {
        (keep == Keep::lower ? ti : tj) = 0.0f;
      } else if (di < dj) {
        (keep == Keep::lower ? tj : ti) = 0.0f;
      }
    }
  }
}

}  // namespace

void find_marks(const DerivativeView& d, const MarkSearch& search,
                std::span<const std::int32_t> row_beats, MarkRows at, MarkRows rt) {
  for (std::size_t row = 0; row < row_beats.size(); ++row) {
    const long b = row_beats[row];
    const bool searched = b >= kEarliestBeat && b <= search.sample_count - kEndMargin;
    const int k = static_cast<int>(row) + 1;
    for (int lead = 1; lead <= search.lead_count; ++lead) {
      at.at(lead, k) = searched ? find_at(d, lead, b + search.at_from, b + search.at_to) : 0.0f;
      rt.at(lead, k) = searched ? find_rt(d, lead, b + search.rt_from, b + search.rt_to) : 0.0f;
    }
  }
}

void drop_near_duplicate_marks(const DerivativeView& d, int lead_count, int rows, MarkRows at,
                               MarkRows rt) {
  for (int lead = 1; lead <= lead_count; ++lead) {
    drop_pass(d, lead, rows, Keep::lower, at);
    drop_pass(d, lead, rows, Keep::higher, rt);
  }
}

}  // namespace telmor
