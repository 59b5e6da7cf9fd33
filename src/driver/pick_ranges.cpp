// d: pick a beat on the overview, then click the four range bounds into a
// one-second window of leads 1 to 3 around it; and the ranges suggested from
// the recording, shown in that window to take or click over.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/number_text.h"
#include "console/curve_drawing.h"
#include "console/line_builder.h"
#include "console/reply_read.h"
#include "driver/range_notes.h"
#include "driver/recognition_commands.h"
#include "driver/selintvl.h"
#include "record/text_rules.h"
#include "timing/mark_figures.h"
#include "timing/range_suggestion.h"

namespace telmor {
namespace {

constexpr int kWindowPoints = kExcerptPoints;
constexpr int kBeatPosition = 200;  // the picked beat's position in the window
constexpr std::string_view kConfirm = "これでいいですか? <y/n>";

bool rejected(WindowLayer& layer) {
  layer.chart_write(kConfirm);
  return is_no(read_reply(layer, Window::chart));
}

void mark(WindowLayer& layer, DrawingState& d, float x) {
  d.mark_x = {x, x};
  gpl2(layer, d.mark_n, d.mark_x.data(), d.mark_y.data());
}

void mark2(WindowLayer& layer, DrawingState& d, float x) {
  d.mark2_x = {x, x};
  gpl2(layer, d.mark2_n, d.mark2_x.data(), d.mark2_y.data());
}

// The beat of BEAT_MS nearest to overview time t; every entry takes part,
// the zeros after the last beat too, and the earlier entry (the later beat)
// wins a tie. Keeps the previous pick when nothing is nearer than 4000 ms.
void pick_nearest_beat(const RunRecord& r, BeatPick& pick, int t) {
  long best = 4000;
  for (int p = 1; p <= kMaxRows; ++p) {
    const long d = std::labs(static_cast<long>(r.beat_ms(p)) - t);
    if (d < best) {
      best = d;
      pick.selected_beat_ms = r.beat_ms(p);
    }
  }
}

// Sample of the waveform matrix, zero outside it.
float wave_or_zero(const RunRecord& r, int lead, long sample) {
  if (sample < 1 || sample > kMaxSamples) return 0.0f;
  return r.wave_table[lead - 1][sample - 1];
}

// Leads 1 to 3 over each other about one zero line; here a positive value
// lies below it.
void draw_window(WindowLayer& layer, const RunRecord& r, DrawingState& d, int start_ms,
                 float x_step) {
  for (int k = 1; k <= 3; ++k) {
    for (int i = 1; i <= kWindowPoints; ++i)
      d.win3(k, i) = wave_or_zero(r, k, static_cast<long>(start_ms) + i);
  }
  for (int k = 1; k <= 3; ++k) {
    for (int i = 1; i <= kWindowPoints; ++i) {
      d.plot_x[i - 1] = x_step * r.time_ms(i) + d.frame_x0;
      d.plot_y[i - 1] = clamp_to_chart(d.yscale * d.win3(k, i) + d.frame_ymid);
    }
    gpl(layer, d.curve_n, d.plot_x.data(), d.plot_y.data());
  }
  mark(layer, d, x_step * static_cast<float>(kBeatPosition) + d.frame_x0);
  layer.show_time_axis({TimeAxis::Kind::whole_steps, start_ms, d.frame_x0, x_step,
                        start_ms + kWindowPoints, d.yscale});
}

// How the beat pick ended: accepted, answered n, or refused by the range check.
enum class Pick { done, rejected, refused };

Pick pick_beat(WindowLayer& layer, const RunRecord& r, DrawingState& d, BeatPick& pick) {
  layer.chart_write("選択する波形の線の近くをClick");
  const float x = selintvl(layer);
  mark(layer, d, x);
  if (rejected(layer)) return Pick::rejected;

  pick_nearest_beat(r, pick, steps_from(x, d.frame_x0, d.xscale_4000));
  // Also keeps the window inside the waveform matrix.
  if (pick.selected_beat_ms > 3600 || pick.selected_beat_ms <= 200) {
    // The redraw clears the chart at once: the status bar keeps the line.
    constexpr std::string_view kRefused = "エラー、200から3600msecの範囲にしてください。";
    layer.chart_write(kRefused);
    layer.show_note(kRefused);
    return Pick::refused;
  }
  layer.console_write(LineBuilder().text("選択した点（msec）").number(pick.selected_beat_ms));
  pick.window_start_ms = pick.selected_beat_ms - kBeatPosition;
  return Pick::done;
}

void pick_ranges(WindowLayer& layer, RunRecord& r, DrawingState& d, int start_ms) {
  const float x_step = (d.frame_x1 - d.frame_x0) / 1000.0f;
  float xa1, xa2, xr1, xr2;
  do {
    layer.chart_clear();
    layer.chart_write(LineBuilder().text("selected time").number(start_ms));
    draw_window(layer, r, d, start_ms, x_step);

    layer.chart_write("AT認識の開始点をClick !");
    xa1 = selintvl(layer);
    mark(layer, d, xa1);
    layer.chart_write("同　　　終了点をClick!");
    xa2 = selintvl(layer);
    mark2(layer, d, xa2);
    layer.chart_write("RT認識の開始点をClick !");
    xr1 = selintvl(layer);
    mark(layer, d, xr1);
    layer.chart_write("同　　　終了点をClick!");
    xr2 = selintvl(layer);
    mark2(layer, d, xr2);
  } while (rejected(layer));

  // Stored as clicked: order and distance from the beat are not checked.
  r.at_from = steps_from(xa1, d.frame_x0, x_step) - kBeatPosition;
  r.at_to = steps_from(xa2, d.frame_x0, x_step) - kBeatPosition;
  r.rt_from = steps_from(xr1, d.frame_x0, x_step) - kBeatPosition;
  r.rt_to = steps_from(xr2, d.frame_x0, x_step) - kBeatPosition;
  if (const std::string note = reversed_range_note(r); !note.empty()) layer.show_note(note);
}

// The ranges the recording's own waves suggest, as the analysis core
// suggests them for the batch: from the beats, every lead's derivative and
// RT's (the one derivative in legacy), whose fits reach their half width.
std::optional<RangeBounds> suggested_ranges(const RunRecord& r) {
  std::vector<int> beats;
  for (const std::int32_t b : r.beat_ms_list) {
    if (b != 0) beats.push_back(b);
  }
  std::sort(beats.begin(), beats.end());
  const auto samples = static_cast<std::size_t>(std::clamp(r.sample_count, 0, kMaxSamples));
  RangeEvidence e;
  for (int lead = 1; lead <= std::clamp(r.lead_count, 0, kMaxLeads); ++lead) {
    const auto l = static_cast<std::size_t>(lead - 1);
    e.at_deriv.emplace_back(r.deriv_table[l].data(), samples);
    e.rt_deriv.emplace_back(r.rt_table()[l].data(), samples);
    e.at_noise.push_back(derivative_noise(e.at_deriv.back()));
    e.rt_noise.push_back(derivative_noise(e.rt_deriv.back()));
  }
  e.beats = beats;
  const bool legacy = r.estimator == Estimator::legacy;
  e.margin = r.rt_margin_ms + (legacy ? r.smooth_points : r.rt_smooth_points);
  const SuggestedRanges found = suggest_ranges(e);
  if (!found.found) return std::nullopt;
  return RangeBounds{found.at_from, found.at_to, found.rt_from, found.rt_to};
}

// The four bounds drawn where d's clicks would have put them.
void draw_bounds(WindowLayer& layer, DrawingState& d, const RangeBounds& b, float x_step) {
  const auto x = [&](std::int32_t ms) { return x_step * static_cast<float>(ms + kBeatPosition) + d.frame_x0; };
  mark(layer, d, x(b.at_from));
  mark2(layer, d, x(b.at_to));
  mark(layer, d, x(b.rt_from));
  mark2(layer, d, x(b.rt_to));
}

}  // namespace

Resume suggest_recognition_ranges(WindowLayer& layer, RunRecord& r, DrawingState& d, BeatPick& pick) {
  const std::optional<RangeBounds> suggested = suggested_ranges(r);
  if (!suggested) {
    layer.show_note("認識範囲を提案できませんでした（はっきりした波のある誘導がありません）");
    return Resume::menu;
  }
  // d's window around the beat d picked, or the first d could pick.
  std::int32_t beat = pick.selected_beat_ms;
  for (int p = kMaxRows; p >= 1 && !(beat > 200 && beat <= 3600); --p) beat = r.beat_ms(p);
  const bool shown = beat > 200 && beat <= 3600;
  const int start_ms = beat - kBeatPosition;
  const float x_step = (d.frame_x1 - d.frame_x0) / 1000.0f;
  if (shown) {
    layer.chart_clear();
    layer.chart_write("認識範囲の提案: AT " + format_integer(suggested->at_from) + "〜" +
                      format_integer(suggested->at_to) + " ms、RT " + format_integer(suggested->rt_from) + "〜" +
                      format_integer(suggested->rt_to) + " ms");
    draw_window(layer, r, d, start_ms, x_step);
    draw_bounds(layer, d, *suggested, x_step);
  }
  switch (layer.ask_suggested_ranges(*suggested)) {
    case RangeAnswer::accept:
      r.at_from = suggested->at_from;
      r.at_to = suggested->at_to;
      r.rt_from = suggested->rt_from;
      r.rt_to = suggested->rt_to;
      layer.show_note("提案された認識範囲にしました。次の c から使われます");
      break;
    case RangeAnswer::click:
      if (shown) {
        pick.selected_beat_ms = beat;
        pick.window_start_ms = start_ms;
        pick_ranges(layer, r, d, start_ms);
      }
      break;
    case RangeAnswer::cancel:
      layer.show_note("認識範囲は変えていません");
      break;
  }
  return shown ? Resume::redraw : Resume::menu;
}

Resume pick_recognition_ranges(WindowLayer& layer, RunRecord& r, DrawingState& d,
                               BeatPick& pick) {
  switch (pick_beat(layer, r, d, pick)) {
    case Pick::rejected:
      return Resume::menu;  // the pick's marker stays on the overview
    case Pick::refused:
      return Resume::redraw;
    case Pick::done:
      break;
  }
  pick_ranges(layer, r, d, pick.window_start_ms);
  return Resume::redraw;
}

}  // namespace telmor
