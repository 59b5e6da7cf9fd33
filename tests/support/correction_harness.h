// Drives a correction pass through the scripted layer and keeps what the
// chart showed at every mouse wait.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "correction/mark_correction.h"
#include "support/pass_record.h"
#include "support/scripted_layer.h"

namespace telmor::test {

inline constexpr std::uint32_t kRed = 0x0000FF;
inline constexpr std::uint32_t kYellow = 0x00FFFF;
inline constexpr std::uint32_t kBlueRgb = 0xF00000;
inline constexpr std::uint32_t kCyanRgb = 0xFFFF00;
inline constexpr const char* kAtInstruction = "左ボタンAT変更、右＝次へ、早右＝前へ";
inline constexpr const char* kRtInstruction = "左ボタンRT変更、右＝次へ、早右＝前へ";
inline constexpr const char* kTableFullLine = "表が一杯です。これ以上追加できません。";

// The chart as the user saw it while the pass waited for a click.
struct Screen {
  std::vector<std::string> lines;
  std::vector<Segment> segments;
  Cursor cursor = Cursor::arrow;
  int mask = 0;
};

class RecordingLayer : public ScriptedLayer {
 public:
  std::vector<Screen> screens;
  std::vector<Segment> all_segments;  // across clears

  MouseEvent wait_mouse_event(int mask) override {
    screens.push_back({chart_lines, segments, cursor, mask});
    cursor = Cursor::arrow;  // so each screen shows whether the cross was set again
    return ScriptedLayer::wait_mouse_event(mask);
  }
  void line_to(std::int16_t x, std::int16_t y) override {
    ScriptedLayer::line_to(x, y);
    all_segments.push_back(segments.back());
  }
};

struct CorrectionPass : ::testing::Test {
  RecordingLayer layer;
  std::unique_ptr<RunRecord> record = std::make_unique<RunRecord>();
  DrawingState drawing;

  void SetUp() override { set_up_small_pass(*record, drawing); }

  void recording(int leads, int seconds) {
    record->lead_count = leads;
    record->record_seconds = seconds;
    record->sample_count = seconds * 1000;
  }
  void left(int x) { layer.mouse_input.push_back({kLeftPress, static_cast<std::int16_t>(x), 120}); }
  void right(int times = 1) {
    for (int k = 0; k < times; ++k) layer.mouse_input.push_back({kRightPress, 10, 120});
  }
  void key(PassKey k) { layer.mouse_input.push_back({kPassKey, 0, 0, k}); }
  // A physical right double-click: the press, then the double-click.
  void double_right() {
    right();
    layer.mouse_input.push_back({kRightDouble, 10, 120});
  }

  // True when the pass came to its end, false when the clicks ran out first.
  bool run(MarkKind kind = MarkKind::at) {
    try {
      correct_marks(layer, *record, drawing, kind);
      return true;
    } catch (const InputClosed&) {
      return false;
    }
  }

  std::vector<std::string> captions() const {
    std::vector<std::string> c;
    for (const Screen& s : layer.screens) c.push_back(s.lines.empty() ? "" : s.lines.front());
    return c;
  }
  // Columns of the marks (rows 50 to 250) in colour, in drawing order.
  static std::vector<int> marks(const Screen& screen, std::uint32_t colour = kRed) {
    std::vector<int> x;
    for (const Segment& s : screen.segments) {
      if (s.colour == colour && s.y1 == 50 && s.y2 == 250 && s.x1 == s.x2) x.push_back(s.x1);
    }
    return x;
  }
  // Distinct pixel rows touched by the segments in colour.
  static std::vector<int> rows(const Screen& screen, std::uint32_t colour) {
    std::vector<int> y;
    for (const Segment& s : screen.segments) {
      if (s.colour != colour) continue;
      y.push_back(s.y1);
      y.push_back(s.y2);
    }
    std::sort(y.begin(), y.end());
    y.erase(std::unique(y.begin(), y.end()), y.end());
    return y;
  }
  std::vector<float> at_column(int lead, int rows_shown) {
    std::vector<float> t;
    for (int r = 1; r <= rows_shown; ++r) t.push_back(record->at_ms(lead, r));
    return t;
  }
};

}  // namespace telmor::test
