// The run record: everything the commands share, from start-up to exit, in
// fixed-size tables. Indices count from 1 in the logic; the accessors map
// them onto 0-based storage. Tables are stored lead by lead, so one lead's
// samples form one contiguous list.
#pragma once

#include <array>
#include <cstdint>

#include "console/text_field.h"

namespace telmor {

inline constexpr int kMaxLeads = 20;
inline constexpr int kMaxSamples = 30000;
inline constexpr int kMaxRows = 200;          // beats, and rows of the AT/RT tables
inline constexpr int kOverviewPoints = 4000;
inline constexpr int kExcerptPoints = 1000;
inline constexpr int kBlockSamples = 1000;    // one second

template <int Rows, int Cols>
using Table = std::array<std::array<float, Cols>, Rows>;

struct RunRecord {
  // Settings of the start-up dialogue.
  TextField drive{1};
  float amp_ratio = 0.0f;
  std::int32_t smooth_points = 0;

  // File identity.
  TextField file_name{12};
  TextField data_path{30};
  TextField result_path{33};
  TextField reply{10};

  // Recording geometry.
  std::int32_t lead_count = 0;
  std::int32_t record_seconds = 0;
  std::int32_t sample_count = 0;

  // Signals: recording (baseline removed after preparation), its smoothed
  // derivative in amplitude units per ms, and the time axis.
  Table<kMaxLeads, kMaxSamples> wave_table{};
  Table<kMaxLeads, kMaxSamples> deriv_table{};
  std::array<float, kMaxSamples> time_ms_list{};

  // Beats in the order the search found them (0.0: empty), and as whole ms
  // sorted latest first, rebuilt at every redraw.
  std::array<float, kMaxRows> beat_found_list{};
  std::array<std::int32_t, kMaxRows> beat_ms_list{};

  std::int32_t selected_beat_ms = 0;
  std::int32_t window_start_ms = 0;

  // Results: times in ms per lead and beat row (0.0: empty).
  Table<kMaxLeads, kMaxRows> at_ms_table{};
  Table<kMaxLeads, kMaxRows> rt_ms_table{};
  std::int32_t at_beat_count = 0;
  std::int32_t rt_beat_count = 0;

  // Recognition ranges in ms relative to a beat.
  std::int32_t at_from = 0;
  std::int32_t at_to = 0;
  std::int32_t rt_from = 0;
  std::int32_t rt_to = 0;

  // Drawing frame, in normalised chart coordinates.
  float frame_x0 = 0.0f;
  float frame_x1 = 0.0f;
  float frame_y0 = 0.0f;
  float frame_y1 = 0.0f;
  float frame_ymid = 0.0f;
  float xscale_4000 = 0.0f;
  float amp_max = 0.0f;
  float yscale = 0.0f;

  // Drawing buffers.
  std::array<float, kOverviewPoints> plot_x{};
  std::array<float, kOverviewPoints> plot_y{};
  std::int16_t curve_n = 0;
  Table<3, kExcerptPoints> win3_table{};
  std::int16_t mark_n = 0;
  std::array<float, 2> mark_x{};
  std::array<float, 2> mark_y{};
  std::int16_t mark2_n = 0;
  std::array<float, 2> mark2_x{};
  std::array<float, 2> mark2_y{};

  // Buffers of the local cubic fit of the signal preparation: one second of
  // one lead, and every output of the fit (only the coefficients are used).
  struct FitBuffers {
    std::array<float, kBlockSamples> fit_x{};
    std::array<float, kBlockSamples> fit_y{};
    float intercept = 0.0f;
    std::array<float, 3> trapl_b{};
    std::array<float, 3> coef_se{};
    std::array<float, kMaxSamples> residual{};
    std::array<float, 9> fit_summary{};
    std::array<float, 5> xy_summary{};
    std::array<float, 3> mult_corr{};
    std::int32_t status = 0;
  } fit;

  // 1-based access: lead 1..20, sample 1..30000, row 1..200.
  float& wave(int lead, int sample) { return wave_table[lead - 1][sample - 1]; }
  float wave(int lead, int sample) const { return wave_table[lead - 1][sample - 1]; }
  float& deriv(int lead, int sample) { return deriv_table[lead - 1][sample - 1]; }
  float deriv(int lead, int sample) const { return deriv_table[lead - 1][sample - 1]; }
  float& time_ms(int i) { return time_ms_list[i - 1]; }
  float& beat_found(int k) { return beat_found_list[k - 1]; }
  std::int32_t& beat_ms(int k) { return beat_ms_list[k - 1]; }
  float& at_ms(int lead, int row) { return at_ms_table[lead - 1][row - 1]; }
  float& rt_ms(int lead, int row) { return rt_ms_table[lead - 1][row - 1]; }
  float& win3(int column, int i) { return win3_table[column - 1][i - 1]; }
};

}  // namespace telmor
