// c's search on the run record's tables.
#include "driver/find_at_rt.h"

#include <algorithm>
#include <span>
#include <vector>

#include "recognition/mark_search.h"
#include "timing/cycle_search.h"

namespace telmor {
namespace {

// The record's derivative table is 30000 samples long, zeros after the
// recording: the search reads it as it stands.
DerivativeView derivative_of(const RunRecord& r) {
  return {&r.deriv_table[0][0], kMaxSamples, kMaxSamples, kMaxSamples};
}
DerivativeView rt_derivative_of(const RunRecord& r) {
  return {&r.rt_table()[0][0], kMaxSamples, kMaxSamples, kMaxSamples};
}

MarkRows at_rows(RunRecord& r) { return {&r.marks.at_ms_table[0][0], kMaxRows}; }
MarkRows rt_rows(RunRecord& r) { return {&r.marks.rt_ms_table[0][0], kMaxRows}; }

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
  search_marks(r, n);
  note_detected(r);
}

void search_marks(RunRecord& r, int n) {
  if (r.estimator == Estimator::legacy) {
    r.detection.beat_count = 0;
    find_at_rt(r, n);
    drop_near_duplicates(r, n);
  } else {
    find_in_cycles(r, n);
  }
}

void find_in_cycles(RunRecord& r, int n) {
  std::vector<int> beats;
  for (int k = 2; k <= n; ++k) beats.push_back(r.beat_ms(n + 1 - k));
  CycleSearch search;
  search.sample_count = std::clamp(r.sample_count, 0, kMaxSamples);
  search.at_from = r.at_from;
  search.at_to = r.at_to;
  search.rt_from_at = r.rt_after_at;
  search.rt_from = r.rt_after_at ? r.rt_after_from : r.rt_from;
  search.rt_to = r.rt_after_at ? r.rt_after_to : r.rt_to;
  search.margin = r.rt_margin_ms;
  // legacy has no RT derivative of its own; centred's fits reach its half width.
  search.rt_reach = r.rt_smooth_points;
  search.earliest_beat = 101;
  search.end_margin = 200;
  DetectionNotes& notes = r.detection;
  notes = DetectionNotes{};
  notes.beat_count = static_cast<int>(beats.size());
  std::copy(beats.begin(), beats.end(), notes.beats_ms.begin());
  const auto samples = static_cast<std::size_t>(search.sample_count);
  for (int lead = 1; lead <= r.lead_count; ++lead) {
    const auto l = static_cast<std::size_t>(lead - 1);
    const LeadCycles c = search_lead_cycles(std::span<const float>(r.deriv_table[l].data(), samples),
                                            std::span<const float>(r.rt_table()[l].data(), samples), search, beats);
    for (std::size_t k = 0; k < beats.size(); ++k) {
      const int row = static_cast<int>(k) + 2;
      r.at_ms(lead, row) = static_cast<float>(c.at[k]);
      r.rt_ms(lead, row) = static_cast<float>(c.rt[k]);
      DetectionNote& note = notes.note(lead, static_cast<int>(k) + 1);
      note = {c.at_window[k].from, c.at_window[k].to, c.rt_window[k].from, c.rt_window[k].to,
              c.at_flag[k],        c.rt_flag[k],      c.polarity[k]};
    }
  }
}

void find_at_rt(RunRecord& r, int n) {
  // Row k from beat n + 1 - k of the list sorted latest first.
  std::vector<std::int32_t> row_beats;
  for (int k = 1; k <= n; ++k) row_beats.push_back(r.beat_ms(n + 1 - k));
  const MarkSearch search{r.sample_count, r.lead_count, r.at_from, r.at_to, r.rt_from, r.rt_to};
  find_marks(derivative_of(r), rt_derivative_of(r), search, row_beats, at_rows(r), rt_rows(r));
}

void drop_near_duplicates(RunRecord& r, int n) {
  drop_near_duplicate_marks(derivative_of(r), rt_derivative_of(r), r.lead_count, n, at_rows(r), rt_rows(r));
}

}  // namespace telmor
