// The run record: the data every command shares from start-up to exit, in
// fixed-size tables: settings, file identity, recording geometry, signals,
// beats, recognition ranges and the AT/RT tables. Drawing state and the fit's
// scratch belong to the code that uses them. Indices count from 1 in the
// logic; the accessors map them onto 0-based storage. Tables are stored lead
// by lead, so one lead's samples form one contiguous list.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "record/detection_notes.h"
#include "files/file_seen.h"
#include "record/recorded_part.h"
#include "record/table_limits.h"
#include "results/mark_tables.h"
#include "record/text_field.h"
#include "signal/mark_source.h"
#include "timing/analysis_settings.h"

namespace telmor {

// The smoothing the start-up dialogue takes: more than 499 points would make
// the fit window wider than a one-second block.
inline constexpr std::int32_t kLeastDialogueSmoothing = 0;
inline constexpr std::int32_t kMostDialogueSmoothing = 499;
// The centred RT derivative's smoothing: a cubic needs two points each side.
inline constexpr std::int32_t kLeastRtSmoothing = 2;

struct RunRecord {
  // Settings of the start-up dialogue.
  TextField drive{1};
  float amp_ratio = 0.0f;
  std::int32_t smooth_points = 0;
  // The frame's choice of derivative, and the RT derivative's half width in
  // points (centred only; legacy has one derivative for both).
  Estimator estimator = Estimator::centred;
  std::int32_t rt_smooth_points = kDefaultRtSmoothMs;
  // The centred c's windows around the ranges (the frame's choices): how far
  // before the lead's next AT an RT window ends, and RT windows counted from
  // the lead's own AT (rt_after_from..rt_after_to ms) instead of the beat;
  // and the beat search's blanking before and after a found beat.
  std::int32_t rt_margin_ms = kDefaultRtMarginMs;
  bool rt_after_at = false;
  std::int32_t rt_after_from = 0;
  std::int32_t rt_after_to = 0;
  std::int32_t blank_before_ms = kDefaultBlankBeforeMs;
  std::int32_t blank_after_ms = kDefaultBlankAfterMs;

  // File identity.
  TextField file_name{12};
  TextField data_path{30};
  TextField result_path{33};
  // Where the recording and its results file are when the fields cannot say:
  // a typed name longer than file_name holds, or a file opened from anywhere
  // (the frame's 開く, the command line). Empty: the fields' drive paths.
  // The shown paths are what the windows show for them; recording_name the
  // recording's name without its extension.
  std::filesystem::path data_file{}, results_file{};
  // The part of the file analysed, for a recording opened from a file of any
  // format (none for the dialogue's file): its results file records it.
  std::optional<RecordedPart> part;
  std::string shown_data_path{}, shown_result_path{}, recording_name{};
  // Each lead's channel label and the unit of its values, where the opened
  // file names them.
  std::array<std::string, kMaxLeads> lead_labels{};
  std::array<std::string, kMaxLeads> lead_units{};

  // Recording geometry.
  std::int32_t lead_count = 0;
  std::int32_t record_seconds = 0;
  std::int32_t sample_count = 0;

  // Signals: recording (baseline removed after preparation), its smoothed
  // derivative in amplitude units per ms, and the time axis.
  Table<kMaxLeads, kMaxSamples> wave_table{};
  Table<kMaxLeads, kMaxSamples> deriv_table{};
  // The derivative RT is found on: the centred fit with the RT smoothing
  // (legacy: not used, RT is found on deriv_table as specified).
  Table<kMaxLeads, kMaxSamples> rt_deriv_table{};
  std::array<float, kMaxSamples> time_ms_list{};

  // Beats in the order the search found them (0.0: empty), and as whole ms
  // sorted latest first, rebuilt at every redraw.
  std::array<float, kMaxRows> beat_found_list{};
  std::array<std::int32_t, kMaxRows> beat_ms_list{};

  // Results: the AT and RT tables with their counts and sources, and the
  // tables as the results file was last saved or loaded (empty before).
  MarkTables marks;
  MarkTables saved_marks;
  // The tables differ from saved_marks: see note_saved and update_unsaved.
  bool results_unsaved = false;
  // The results file as this run last saw it: when the command loop first
  // started on the recording, and at every load and save since. A save
  // checks that it is still so before it replaces the file.
  FileSeen results_seen;
  // A save found the results file changed by someone else and the user kept
  // that file: the tables count as unsaved until the next save or load.
  bool kept_others_file = false;
  // What the last centred c found besides the marks (windows, flags, T waves).
  DetectionNotes detection;

  // Recognition ranges in ms relative to a beat.
  std::int32_t at_from = 0;
  std::int32_t at_to = 0;
  std::int32_t rt_from = 0;
  std::int32_t rt_to = 0;

  // 1-based access: lead 1..20, sample 1..30000, row 1..200.
  float& wave(int lead, int sample) { return wave_table[lead - 1][sample - 1]; }
  float wave(int lead, int sample) const { return wave_table[lead - 1][sample - 1]; }
  float& deriv(int lead, int sample) { return deriv_table[lead - 1][sample - 1]; }
  float deriv(int lead, int sample) const { return deriv_table[lead - 1][sample - 1]; }
  // The table RT is found on: rt_deriv_table, or deriv_table in legacy.
  const Table<kMaxLeads, kMaxSamples>& rt_table() const {
    return estimator == Estimator::legacy ? deriv_table : rt_deriv_table;
  }
  float& time_ms(int i) { return time_ms_list[i - 1]; }
  float time_ms(int i) const { return time_ms_list[i - 1]; }
  float& beat_found(int k) { return beat_found_list[k - 1]; }
  std::int32_t& beat_ms(int k) { return beat_ms_list[k - 1]; }
  std::int32_t beat_ms(int k) const { return beat_ms_list[k - 1]; }
  float& at_ms(int lead, int row) { return marks.at_ms(lead, row); }
  float at_ms(int lead, int row) const { return marks.at_ms(lead, row); }
  float& rt_ms(int lead, int row) { return marks.rt_ms(lead, row); }
  float rt_ms(int lead, int row) const { return marks.rt_ms(lead, row); }
};

// The tables are now the results file's (saved or loaded): not unsaved.
void note_saved(RunRecord& record);
// results_unsaved from the tables: they differ from the file as last saved
// or loaded, compared as tables, or the file is another's the user kept.
// Returns it.
bool update_unsaved(RunRecord& record);

// The recording's and the results file's paths as the windows show them,
// and the recording's name without its extension.
std::string_view shown_data_path(const RunRecord& record);
std::string_view shown_result_path(const RunRecord& record);
std::string recording_name(const RunRecord& record);

}  // namespace telmor
