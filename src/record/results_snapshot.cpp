// Copying the results part of the run record.
#include "record/results_snapshot.h"

#include <algorithm>
#include <limits>

namespace telmor {

MarkFigures::MarkFigures() {
  for (Figures* figures : {&at_fine_ms, &rt_fine_ms, &at_quality, &rt_quality}) {
    for (Column& column : *figures) column.fill(std::numeric_limits<double>::quiet_NaN());
  }
}

ResultsSnapshot snapshot_results(const RunRecord& r) {
  ResultsSnapshot s;
  s.recording = recording_name(r);
  for (int lead = 1; lead <= std::min<std::int32_t>(r.lead_count, kMaxLeads); ++lead)
  {
    s.labels.push_back(r.lead_labels[static_cast<std::size_t>(lead - 1)]);
    s.units.push_back(r.lead_units[static_cast<std::size_t>(lead - 1)]);
  }
  s.lead_count = r.lead_count;
  s.at_from = r.at_from;
  s.at_to = r.at_to;
  s.rt_from = r.rt_from;
  s.rt_to = r.rt_to;
  s.amp_ratio = r.amp_ratio;
  s.smooth_points = r.smooth_points;
  s.estimator = r.estimator;
  s.rt_smooth_points = r.rt_smooth_points;
  s.beat_ms_list = r.beat_ms_list;
  s.marks = r.marks;
  s.detection = r.detection;
  return s;
}

namespace {

// The entries' owners once beat k (1..n) has left the notes: the later beats
// are one lower, and an entry the dropped beat still owns (a mark added in its
// window since) belongs to no window, so the views place it by time.
void renumber_owners(MarkFigures::Entries<std::int16_t>& owners, int k) {
  for (auto& lead : owners) {
    for (std::int16_t& owner : lead) {
      if (owner == k) {
        owner = 0;
      } else if (owner > k) {
        --owner;
      }
    }
  }
}

}  // namespace

ResultsSnapshot without_dropped_beats(const ResultsSnapshot& results) {
  ResultsSnapshot view = results;
  for (const std::int32_t beat_ms : results.dropped_beats) {
    if (beat_ms == 0) continue;
    auto& list = view.beat_ms_list;
    if (const auto at = std::find(list.begin(), list.end(), beat_ms); at != list.end()) {
      std::move(at + 1, list.end(), at);
      list.back() = 0;
    }
    DetectionNotes& notes = view.detection;
    const auto end = notes.beats_ms.begin() + std::clamp(notes.beat_count, 0, kMaxRows);
    const auto noted = std::find(notes.beats_ms.begin(), end, beat_ms);
    if (noted == end) continue;
    const auto k = noted - notes.beats_ms.begin();
    std::move(noted + 1, end, noted);
    *(end - 1) = 0;
    for (auto& lead : notes.cells) {
      std::move(lead.begin() + k + 1, lead.begin() + notes.beat_count, lead.begin() + k);
      lead[static_cast<std::size_t>(notes.beat_count - 1)] = DetectionNote{};
    }
    --notes.beat_count;
    renumber_owners(view.figures.at_owner, static_cast<int>(k) + 1);
    renumber_owners(view.figures.rt_owner, static_cast<int>(k) + 1);
  }
  return view;
}

void note_saved(RunRecord& record) {
  record.saved_marks = record.marks;
  record.results_unsaved = false;
  record.kept_others_file = false;
}

bool update_unsaved(RunRecord& record) {
  record.results_unsaved =
      record.kept_others_file || !same_tables(record.marks, record.saved_marks, record.lead_count);
  return record.results_unsaved;
}

}  // namespace telmor
