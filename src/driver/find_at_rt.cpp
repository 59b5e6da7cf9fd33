// c's search on the run record's tables.
#include "driver/find_at_rt.h"

#include <algorithm>
#include <span>
#include <vector>

#include "record/record_settings.h"
#include "timing/analysis_steps.h"
#include "timing/cycle_search.h"

namespace telmor {
namespace {

// The record's derivative tables are 30000 samples long, zeros after the
// recording: the search reads them as they stand.
SearchedDerivatives derivatives_of(const RunRecord& r) {
  return {&r.deriv_table[0][0], &r.rt_table()[0][0], kMaxSamples, kMaxSamples, kMaxSamples};
}

SearchRanges ranges_of(const RunRecord& r) { return {r.at_from, r.at_to, r.rt_from, r.rt_to}; }

MarkTableView marks_of(RunRecord& r) { return {&r.marks.at_ms_table[0][0], &r.marks.rt_ms_table[0][0], kMaxRows}; }

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
  const CycleSearch search = cycle_search_for(analysis_settings_of(r), ranges_of(r),
                                              std::clamp(r.sample_count, 0, kMaxSamples), kRecordRateHz);
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
  legacy_find(derivatives_of(r), ranges_of(r), r.lead_count, r.sample_count, kRecordRateHz, row_beats, marks_of(r));
}

void drop_near_duplicates(RunRecord& r, int n) {
  legacy_drop_near_duplicates(derivatives_of(r), r.lead_count, n, kRecordRateHz, marks_of(r));
}

}  // namespace telmor
