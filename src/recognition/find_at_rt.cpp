// AT: the first sample of the deepest derivative minimum in the AT range.
// RT: the first sample of the highest strict local derivative maximum in the
// RT range. Both around every beat, in every lead.
#include "recognition/find_at_rt.h"

#include <cmath>

namespace telmor {
namespace {

constexpr int kEarliestBeat = 101;
constexpr int kEndMargin = 200;
constexpr float kDuplicateMs = 50.0f;

bool in_table(long s) { return s >= 1 && s <= kMaxSamples; }

float find_at(const RunRecord& r, int lead, long from, long to) {
  long found = 0;
  float lowest = 999999.0f;
  for (long s = from; s <= to; ++s) {
    if (!in_table(s)) continue;
    const float d = r.deriv_table[lead - 1][s - 1];
    if (d < lowest) {
      lowest = d;
      found = s;
    }
  }
  return static_cast<float>(found);
}

float find_rt(const RunRecord& r, int lead, long from, long to) {
  const auto& deriv = r.deriv_table[lead - 1];
  long found = 0;
  float highest = -999999.0f;
  for (long s = from; s <= to; ++s) {
    // Both neighbours must exist for a strict local maximum.
    if (!in_table(s - 1) || !in_table(s + 1)) continue;
    const float d = deriv[s - 1];
    if (d > deriv[s - 2] && d > deriv[s] && d > highest) {
      highest = d;
      found = s;
    }
  }
  return static_cast<float>(found);
}

// The derivative at the sample a stored time names.
float deriv_at(const RunRecord& r, int lead, float time) {
  const long s = static_cast<long>(std::trunc(time));
  return in_table(s) ? r.deriv_table[lead - 1][s - 1] : 0.0f;
}

enum class Keep { lower, higher };

void drop_pass(RunRecord& r, int lead, int n, Keep keep,
               float& (RunRecord::*entry)(int, int)) {
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      // Current contents: an entry cleared earlier takes no further part.
      float& ti = (r.*entry)(lead, i);
      float& tj = (r.*entry)(lead, j);
      if (ti == 0.0f || tj == 0.0f || std::fabs(ti - tj) > kDuplicateMs) continue;
      const float di = deriv_at(r, lead, ti);
      const float dj = deriv_at(r, lead, tj);
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

void clear_results(RunRecord& r) {
  for (int lead = 1; lead <= r.lead_count; ++lead) {
    for (int row = 1; row <= kMaxRows; ++row) {
      r.at_ms(lead, row) = 0.0f;
      r.rt_ms(lead, row) = 0.0f;
    }
    r.marks.at_source_table[lead - 1].fill(MarkSource::none);
    r.marks.rt_source_table[lead - 1].fill(MarkSource::none);
  }
}

void note_detected(RunRecord& r) {
  for (int lead = 1; lead <= r.lead_count; ++lead) {
    for (int row = 1; row <= kMaxRows; ++row) {
      const auto at = static_cast<std::size_t>(row - 1);
      const auto l = static_cast<std::size_t>(lead - 1);
      r.marks.at_source_table[l][at] = r.at_ms(lead, row) != 0.0f ? MarkSource::detected : MarkSource::none;
      r.marks.rt_source_table[l][at] = r.rt_ms(lead, row) != 0.0f ? MarkSource::detected : MarkSource::none;
    }
  }
}

int detection_rows(const RunRecord& r) {
  int n = 1;
  while (n < kMaxRows && r.beat_ms(n) != 0) ++n;
  return n;
}

void detect_marks(RunRecord& r) {
  clear_results(r);
  const int n = detection_rows(r);
  r.marks.at_beat_count = n;
  r.marks.rt_beat_count = n;
  find_at_rt(r, n);
  drop_near_duplicates(r, n);
  note_detected(r);
}

void find_at_rt(RunRecord& r, int n) {
  for (int p = n; p >= 1; --p) {
    const int k = n + 1 - p;
    const long b = r.beat_ms(p);
    const bool searched = b >= kEarliestBeat && b <= r.sample_count - kEndMargin;
    for (int lead = 1; lead <= r.lead_count; ++lead) {
      r.at_ms(lead, k) = searched ? find_at(r, lead, b + r.at_from, b + r.at_to) : 0.0f;
      r.rt_ms(lead, k) = searched ? find_rt(r, lead, b + r.rt_from, b + r.rt_to) : 0.0f;
    }
  }
}

void drop_near_duplicates(RunRecord& r, int n) {
  for (int lead = 1; lead <= r.lead_count; ++lead) {
    drop_pass(r, lead, n, Keep::lower, &RunRecord::at_ms);
    drop_pass(r, lead, n, Keep::higher, &RunRecord::rt_ms);
  }
}

}  // namespace telmor
